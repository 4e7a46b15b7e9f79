#include "engine/log_banner.h"

#include <gtest/gtest.h>

TEST(LogBanner, DashCounts)
{
    const struct {
        const char* name;
        int available;
        bool hasText;
        int textWidth, dashWidth;
        int left, right;
    } cases[] = {
        {"a full line of dashes", 400, false, 0, 4, 100, 0},
        {"a partial dash is dropped", 403, false, 0, 4, 100, 0},
        {"an even count splits evenly", 400, true, 100, 5, 30, 30},
        {"the odd dash goes to the right", 400, true, 95, 5, 30, 31},
        {"room for exactly one dash puts it on the right", 105, true, 100, 5, 0, 1},
        {"a title wider than the box gives no dashes", 100, true, 150, 5, 0, 0},
        {"a title that leaves less than a dash gives none", 100, true, 97, 5, 0, 0},
        {"a box with no room at all", -2, false, 0, 5, 0, 0},
        {"an unmeasurable dash gives none", 400, true, 100, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const BannerDashes dashes = ComputeBannerDashes(c.available, c.hasText, c.textWidth, c.dashWidth);
        EXPECT_EQ(dashes.left, c.left) << c.name;
        EXPECT_EQ(dashes.right, c.right) << c.name;
    }
}

TEST(LogBanner, Line)
{
    EXPECT_EQ(BannerLine(L"Options", {2, 3}), L"-- Options ---");
    EXPECT_EQ(BannerLine(L"", {4, 0}), L"----");
    EXPECT_EQ(BannerLine(L"Options", {0, 0}), L" Options ");
}
