#pragma once
#include <optional>
#include <string>

// `path` as the shell quotes it for a command line: in double quotes only when it holds a blank.
// Nothing when the quoted path would not fit a MAX_PATH buffer.
std::optional<std::wstring> QuotedPath(const std::wstring& path);

// The same for showing: a path too long for its quotes is shown as it is.
std::wstring DisplayedPath(const std::wstring& path);
