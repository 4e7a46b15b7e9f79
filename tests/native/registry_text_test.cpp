#include "app/registry_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The bytes of `units` as the registry stores UTF-16 (little-endian), cut to `size` bytes
// when given.
std::vector<std::byte> Bytes(std::u16string_view units, std::optional<std::size_t> size = std::nullopt)
{
    std::vector<std::byte> bytes;
    for (const char16_t unit : units) {
        bytes.push_back(static_cast<std::byte>(unit & 0xFF));
        bytes.push_back(static_cast<std::byte>(unit >> 8));
    }
    if (size)
        bytes.resize(*size);
    return bytes;
}

} // namespace

TEST(RegistryText, StringDataIsTakenOnlyWhenFinished)
{
    using namespace std::string_view_literals;
    const std::u16string_view path = u"C:\\Program Files\\Vantor & Lind\\Ostrel 4\\Ostrel.exe\0"sv;
    const struct {
        const char* what;
        std::uint32_t type;
        std::vector<std::byte> data;
        std::optional<std::u16string> text;
    } cases[] = {
        {"REG_SZ", kRegistryString, Bytes(path), u"C:\\Program Files\\Vantor & Lind\\Ostrel 4\\Ostrel.exe"},
        {"REG_EXPAND_SZ kept literal", kRegistryExpandString, Bytes(u"%SystemRoot%\\Ostrel.exe\0"sv),
         u"%SystemRoot%\\Ostrel.exe"},
        {"non-ASCII", kRegistryString, Bytes(u"C:\\Donn\u00e9es\\\u6587\\Ostrel.exe\0"sv),
         u"C:\\Donn\u00e9es\\\u6587\\Ostrel.exe"},
        {"empty string", kRegistryString, Bytes(u"\0"sv), u""},
        {"embedded NUL ends the text", kRegistryString, Bytes(u"C:\\a.exe\0C:\\b.exe\0"sv), u"C:\\a.exe"},
        {"two NULs at the end", kRegistryString, Bytes(u"C:\\a.exe\0\0"sv), u"C:\\a.exe"},
        {"odd size", kRegistryString, Bytes(path, path.size() * 2 + 1), std::nullopt},
        {"odd size ending in a zero byte", kRegistryString, Bytes(u"C:\\a.exe\0"sv, 17), std::nullopt},
        {"no NUL at the end", kRegistryString, Bytes(u"C:\\a.exe"sv), std::nullopt},
        {"NUL only inside", kRegistryString, Bytes(u"C:\\a.exe\0C:\\b.exe"sv), std::nullopt},
        {"no data", kRegistryString, {}, std::nullopt},
        {"a single zero byte", kRegistryString, {std::byte{0}}, std::nullopt},
        {"REG_NONE", 0, Bytes(path), std::nullopt},
        {"REG_BINARY", 3, Bytes(path), std::nullopt},
        {"REG_DWORD", 4, Bytes(u"\x0001\0"sv), std::nullopt},
        {"REG_MULTI_SZ", 7, Bytes(u"C:\\a.exe\0\0"sv), std::nullopt},
    };
    for (const auto& [what, type, data, text] : cases)
        EXPECT_EQ(RegistryText(type, data), text) << what;
}
