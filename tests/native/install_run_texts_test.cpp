#include "engine/error_code_text.h"
#include "engine/progress_percent.h"
#include "package/compress_error.h"

#include <gtest/gtest.h>

#include <system_error>

TEST(ErrorCodeText, NamesTheCategoryAndTheValue)
{
    const struct {
        std::error_code error;
        const wchar_t* text;
    } cases[] = {
        {{32, std::system_category()}, L"1:00000020"},
        {{static_cast<int>(0x8007000eu), std::system_category()}, L"1:8007000E"},
        {{28, std::generic_category()}, L"2:0000001C"},
        {make_error_code(invalid_checksum), L"3"},
        {make_error_code(invalid_package), L"4"},
        {make_error_code(decompression_error), L"6"},
        {make_error_code(std::io_errc::stream), L"7"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorCodeText(c.error), c.text) << c.error.message();
}

TEST(ProgressPercent, RoundsHalfUpAndKeeps100ForTheEnd)
{
    const struct {
        std::uint64_t position, total;
        int percent;
    } cases[] = {
        {0, 1000, 0},
        {4, 1000, 0},
        {5, 1000, 1},      // half a percent rounds up
        {994, 1000, 99},
        {995, 1000, 99},   // would round to 100 with bytes still to write
        {999, 1000, 99},
        {1000, 1000, 100},
        {199'999'999, 200'000'000, 99}, // one byte short of a large total
        {0, 0, 100},       // nothing to write is done
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgressPercent(c.position, c.total), c.percent) << c.position << " of " << c.total;
}
