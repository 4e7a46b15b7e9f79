#pragma once
// Paths as the installation shows them, passes them on a command line and takes them apart, each
// within a MAX_PATH buffer as the shell's path functions need.
#include <optional>
#include <string>

// `path` as the shell quotes it for a command line: in double quotes only when it holds a blank.
// Nothing when the quoted path would not fit a MAX_PATH buffer.
std::optional<std::wstring> QuotedPath(const std::wstring& path);

// The same for showing: a path too long for its quotes is shown as it is.
std::wstring DisplayedPath(const std::wstring& path);

// The folder that holds `path`: the path without its last element. Nothing when there is no
// element to remove or the path does not fit the buffer.
std::optional<std::wstring> FolderOf(const std::wstring& path);
