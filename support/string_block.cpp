#include "support/string_block.h"

#include <cstdint>
#include <cstring>

std::optional<std::u16string> string_block_entry(std::span<const std::byte> block, unsigned entry)
{
    size_t offset = 0;
    for (unsigned index = 0;; ++index) {
        std::uint16_t length = 0;
        if (block.size() - offset < sizeof(length))
            return std::nullopt;
        std::memcpy(&length, block.data() + offset, sizeof(length));
        offset += sizeof(length);
        const size_t bytes = size_t{length} * sizeof(char16_t);
        // Lengths come from the file: an entry that claims more than the block holds ends the walk.
        if (block.size() - offset < bytes)
            return std::nullopt;
        if (index == entry) {
            std::u16string text(length, u'\0');
            std::memcpy(text.data(), block.data() + offset, bytes);
            return text;
        }
        offset += bytes;
    }
}
