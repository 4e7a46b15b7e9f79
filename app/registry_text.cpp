#include "app/registry_text.h"

#include <cstring>

std::optional<std::u16string> RegistryText(std::uint32_t type, std::span<const std::byte> data)
{
    if (type != kRegistryString && type != kRegistryExpandString)
        return std::nullopt;
    if (data.size() % sizeof(char16_t) != 0 || data.size() < sizeof(char16_t))
        return std::nullopt;
    std::u16string text(data.size() / sizeof(char16_t), u'\0');
    std::memcpy(text.data(), data.data(), data.size());
    if (text.back() != u'\0')
        return std::nullopt;
    // Text after an embedded NUL is dropped: the Win32 calls that take the text stop there, so
    // keeping it would make comparisons see a path the file system never sees.
    text.resize(text.find(u'\0'));
    return text;
}
