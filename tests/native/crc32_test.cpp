#include "package/crc32.h"

#include <gtest/gtest.h>

#include <string_view>

TEST(Crc32, CheckValuesOfIsoHdlc)
{
    const struct {
        std::string_view input;
        std::uint32_t crc;
    } cases[] = {
        {"123456789", 0xCBF43926u}, // the catalogue's check value
        {"", 0x00000000u},
        {"a", 0xE8B7BE43u},
        {std::string_view("\0\0\0\0", 4), 0x2144DF1Cu},
    };
    for (const auto& c : cases)
        EXPECT_EQ(compute_crc32(c.input.data(), c.input.size()), c.crc) << testing::PrintToString(c.input);
}

TEST(Crc32, RunningCrcOverPiecesEqualsTheWhole)
{
    const std::string_view text = "The quick brown fox jumps over the lazy dog";
    for (std::size_t split = 0; split <= text.size(); ++split) {
        std::uint32_t running = crc32_initial;
        running = crc32_update(running, text.data(), split);
        running = crc32_update(running, text.data() + split, text.size() - split);
        EXPECT_EQ(crc32_final(running), 0x414FA339u) << "split at " << split;
    }
}
