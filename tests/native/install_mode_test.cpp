#include "app/install_mode.h"

#include "app/product_identity.h"

#include <gtest/gtest.h>

TEST(InstallMode, InstalledVersionDecidesTheMode)
{
    const struct {
        std::optional<std::uint64_t> installed;
        InstallMode mode;
    } cases[] = {
        {0x0004000500000001u, ModeSame},   // 4.5.0.1, the version this installer carries
        {0x0004000500000002u, ModeNewer},  // 4.5.0.2
        {0x0004000600000000u, ModeNewer},  // 4.6.0.0
        {0x0005000000000000u, ModeNewer},  // 5.0.0.0
        {0x0004000500000000u, ModeUpdate}, // 4.5.0.0
        {0x0004000400090009u, ModeUpdate}, // 4.4.9.9
        {0x00040004FFFFFFFFu, ModeUpdate}, // 4.4.65535.65535: low words never outweigh a high one
        {0x0004000500010000u, ModeNewer},  // 4.5.1.0
        {0, ModeUpdate},                   // a version resource that says 0.0.0.0
        {std::nullopt, ModeSame},          // no readable version resource
    };
    for (const auto& [installed, mode] : cases)
        EXPECT_EQ(ModeForInstalledVersion(installed), mode)
            << "installed " << (installed ? testing::PrintToString(*installed) : "without a version");
}

TEST(InstallMode, NumbersAreTheContract)
{
    EXPECT_EQ(ModeNewer, -1);
    EXPECT_EQ(ModeFresh, 0);
    EXPECT_EQ(ModeSame, 1);
    EXPECT_EQ(ModeUpdate, 2);
}
