#include "support/string_block.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A block of entries as the resource compiler writes them.
std::vector<std::byte> Block(const std::vector<std::u16string>& entries)
{
    std::vector<std::byte> bytes;
    for (const std::u16string& entry : entries) {
        const auto length = static_cast<std::uint16_t>(entry.size());
        const auto* raw = reinterpret_cast<const std::byte*>(&length);
        bytes.insert(bytes.end(), raw, raw + sizeof(length));
        const auto* text = reinterpret_cast<const std::byte*>(entry.data());
        bytes.insert(bytes.end(), text, text + entry.size() * sizeof(char16_t));
    }
    return bytes;
}

} // namespace

TEST(StringBlock, EntriesAreFoundByWalkingTheLengths)
{
    std::vector<std::u16string> entries(16);
    entries[0] = u"zero";
    entries[3] = u"three";
    entries[15] = u"fifteen \u00e9";
    const auto block = Block(entries);
    EXPECT_EQ(string_block_entry(block, 0), u"zero");
    EXPECT_EQ(string_block_entry(block, 1), u"");
    EXPECT_EQ(string_block_entry(block, 3), u"three");
    EXPECT_EQ(string_block_entry(block, 15), u"fifteen \u00e9");
    EXPECT_EQ(string_block_entry(block, 16), std::nullopt);
}

TEST(StringBlock, NeverReadsPastTheEndOfABrokenBlock)
{
    const auto whole = Block({u"abc", u"defgh"});
    struct Case {
        size_t size;
        unsigned entry;
        bool found;
    };
    const Case cases[] = {
        {0, 0, false}, {1, 0, false},           // not even a length
        {2, 0, false}, {7, 0, false},           // a length, but only part of the text
        {8, 0, true},  {8, 1, false},           // the first entry whole, then nothing
        {whole.size() - 1, 1, false}, {whole.size(), 1, true},
    };
    for (const Case& c : cases) {
        // A copy of exactly `size` bytes, so that a sanitizer sees any read beyond it.
        std::vector<std::byte> part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(c.size));
        EXPECT_EQ(string_block_entry(part, c.entry).has_value(), c.found) << c.size << " bytes, entry " << c.entry;
    }
    // A length that claims far more than the block holds.
    std::vector<std::byte> lying = Block({u"x"});
    lying[0] = std::byte{0xFF};
    lying[1] = std::byte{0xFF};
    EXPECT_EQ(string_block_entry(lying, 0), std::nullopt);
}
