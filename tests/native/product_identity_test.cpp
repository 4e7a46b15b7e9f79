#include "app/product_identity.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(ProductIdentity, NamesTheCarriedProduct)
{
    EXPECT_EQ(ProductDisplayName(kOstrel4ProductId), L"Ostrel 4");
    EXPECT_EQ(ProductDisplayName(0x0504), L"Ostrel 4");
    EXPECT_EQ(GetProductName(true), L"Ostrel");
    EXPECT_EQ(GetProductName(false), L"Ostrel 4.05");
}

TEST(ProductIdentity, UnknownProductIdIsALogicError)
{
    for (unsigned id : {0x0000u, 0x0503u, 0x0505u, 0x0405u, 0xFFFFu}) {
        try {
            ProductDisplayName(id);
            ADD_FAILURE() << "no error for product id " << std::hex << id;
        } catch (const std::logic_error& error) {
            EXPECT_STREQ(error.what(), "logic error") << "product id " << std::hex << id;
        }
    }
}

TEST(ProductIdentity, PackedVersionsCompareAsNumbers)
{
    EXPECT_EQ(kProductVersion, 0x0004000500000001u);
    EXPECT_EQ(PackFileVersion(0x00040005u, 0x00000001u), kProductVersion);
    // Each field outranks every later one, whatever their values.
    EXPECT_LT(PackFileVersion(4, 5, 0, 1), PackFileVersion(4, 5, 0, 2));
    EXPECT_LT(PackFileVersion(4, 5, 0xFFFF, 0xFFFF), PackFileVersion(4, 6, 0, 0));
    EXPECT_LT(PackFileVersion(3, 0xFFFF, 0xFFFF, 0xFFFF), PackFileVersion(4, 0, 0, 0));
    EXPECT_EQ(PackFileVersion(0xFFFF, 0, 0, 0), 0xFFFF000000000000u);
}

TEST(ProductIdentity, VersionTextAndRegistryNames)
{
    EXPECT_EQ(FileVersionText(kProductVersion), L"4.5.0.1");
    EXPECT_EQ(FileVersionText(PackFileVersion(65535, 0, 10, 65535)), L"65535.0.10.65535");
    g_productId = kOstrel4ProductId;
    EXPECT_EQ(UninstallKeyName(), L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ostrel 4");
    EXPECT_EQ(MakerKeyName(), L"Software\\Vantor & Lind");
    EXPECT_EQ(ProgramPathValueName(), L"Ostrel 4 Path");
}
