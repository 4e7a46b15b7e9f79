#include "app/file_version_info.h"

#include "app/languages.h"
#include "app/product_identity.h"
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

TEST(FileVersionInfo, ReadsTheInstallersVersionResource)
{
    const std::wstring path = testsupport::InstallerPath();
    ASSERT_TRUE(std::filesystem::exists(path)) << "the installer is built beside the tests";
    const FileVersionInfo installer(path);
    ASSERT_TRUE(installer.HasFixedInfo());
    EXPECT_EQ(installer.GetFileVersion(), PackFileVersion(2, 4, 0, 1));
    EXPECT_EQ(installer.GetFileFlags(), 0u);
    ASSERT_EQ(installer.translations(), std::vector<std::wstring>{L"040004b0"});

    const struct {
        const wchar_t* key;
        const wchar_t* value;
    } strings[] = {
        {L"ProductName", L"Install"},
        {L"ProductVersion", L"2.04"},
        {L"FileVersion", L"2.4.0.1"},
        {L"FileDescription", L"Installeur Ostrel 4.05"},
        {L"CompanyName", L"Vantor & Lind"},
        {L"InternalName", L"Install"},
        {L"OriginalFilename", L"InstallOstrel4.05.exe"},
        {L"ApplicationId", L"Ostrel4"},
        {L"applicationid", L"Ostrel4"}, // keys are case-insensitive
        {L"LegalTrademarks", L""},      // absent keys read empty
    };
    for (const auto& [key, value] : strings)
        EXPECT_EQ(installer.GetString(key), value) << "key " << testing::PrintToString(std::wstring(key));

    EXPECT_EQ(installer.GetDisplayVersion(), L"Install 2.04");
}

TEST(FileVersionInfo, FileWithoutVersionResourceReadsEmpty)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() / testsupport::UniqueName(L"plain.txt");
    std::ofstream(path) << "not a program";
    const FileVersionInfo plain(path.wstring());
    std::filesystem::remove(path);

    EXPECT_FALSE(plain.HasFixedInfo());
    EXPECT_EQ(plain.GetFileVersion(), 0u);
    EXPECT_EQ(plain.GetFileFlags(), 0u);
    EXPECT_TRUE(plain.translations().empty());
    EXPECT_EQ(plain.GetString(L"ProductName"), L"");
    EXPECT_EQ(plain.GetDisplayVersion(), L"");

    const FileVersionInfo missing(L"C:\\no such folder\\no such file.exe");
    EXPECT_FALSE(missing.HasFixedInfo());
    EXPECT_EQ(missing.GetString(L"ProductName"), L"");
}

TEST(FileVersionInfo, OnlyUnicodeTranslationsGiveStrings)
{
    // This test program carries a resource translated for code page 1252 only, with the
    // debug, private-build and patched flags of which the mask keeps the first two.
    const FileVersionInfo program = FileVersionInfo::OfProgram();
    ASSERT_TRUE(program.HasFixedInfo());
    EXPECT_EQ(program.GetFileVersion(), PackFileVersion(1, 2, 3, 4));
    EXPECT_EQ(program.GetFileFlags(), static_cast<DWORD>(VS_FF_DEBUG | VS_FF_PRIVATEBUILD));
    EXPECT_TRUE(program.translations().empty());
    EXPECT_EQ(program.GetString(L"ProductName"), L"");
    EXPECT_EQ(program.GetDisplayVersion(), L" \u2013 Private \u2013 Debug");
}

TEST(FileVersionInfo, PreReleaseReadsBetaOutsideFrench)
{
    const std::wstring path = (std::filesystem::path(testsupport::ProgramFolder()) / L"prerelease_fixture.exe").wstring();
    const FileVersionInfo fixture(path);
    ASSERT_EQ(fixture.GetFileFlags(), static_cast<DWORD>(VS_FF_PRERELEASE));
    const int previous = GetLanguageState().index;
    SetLanguage(kFrench);
    EXPECT_EQ(fixture.GetDisplayVersion(), L"Fixture b\u00eata 1.0 b\u00eata 2");
    SetLanguage(kGerman);
    EXPECT_EQ(fixture.GetDisplayVersion(), L"Fixture b\u00eata 1.0 beta 2") << "only the last \"b\u00eata\" changes";
    SetLanguage(previous);
}
