#include "tools/packer/utf16.h"

#include <cstdint>

std::optional<std::wstring> utf16_from_utf8(std::string_view text)
{
    std::wstring units;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        std::uint32_t code = 0;
        if (lead < 0x80) {
            length = 1, code = lead;
        } else if (lead >= 0xC2 && lead < 0xE0) {
            length = 2, code = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            length = 3, code = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            length = 4, code = lead & 0x07u;
        } else {
            return std::nullopt;
        }
        if (i + length > text.size())
            return std::nullopt;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0u) != 0x80u)
                return std::nullopt;
            code = (code << 6) | (next & 0x3Fu);
        }
        // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
        const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || (code >= 0xD800 && code < 0xE000) || code > 0x10FFFF)
            return std::nullopt;
        if (code >= 0x10000) {
            code -= 0x10000;
            units += static_cast<wchar_t>(0xD800 + (code >> 10));
            units += static_cast<wchar_t>(0xDC00 + (code & 0x3FFu));
        } else {
            units += static_cast<wchar_t>(code);
        }
        i += length;
    }
    return units;
}
