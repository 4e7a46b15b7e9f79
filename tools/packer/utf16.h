#pragma once
#include <optional>
#include <string>
#include <string_view>

// UTF-8 text as UTF-16 code units, one per wchar_t (the package's string form on every host);
// none when the text is not valid UTF-8.
std::optional<std::wstring> utf16_from_utf8(std::string_view text);

