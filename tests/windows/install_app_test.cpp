#include "app/install_app.h"

#include "app/product_identity.h"
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace {

std::wstring TempPath()
{
    wchar_t path[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, path);
    return path;
}

// In a child whose TMP and TEMP name a long folder: prints "<result>|<error text>|<folder>".
int ChooseTempFolderRole(const std::vector<std::wstring>&)
{
    CInstallApp app;
    app.m_strTempFolder = L"previous";
    std::wstring error;
    const bool chosen = app.ChooseTempFolder(error);
    std::printf("%d|%ls|%ls", chosen ? 1 : 0, error.c_str(), app.m_strTempFolder.c_str());
    return 0;
}
const bool registered = testsupport::RegisterRole(L"choose-temp-folder", &ChooseTempFolderRole);

} // namespace

TEST(CInstallApp, SettingsBeforeStartUp)
{
    CInstallApp app;
    EXPECT_EQ(app.m_nInstallMode, ModeFresh);
    EXPECT_FALSE(app.m_bMenuShortcut);
    EXPECT_FALSE(app.m_bDesktopShortcut);
    EXPECT_FALSE(app.m_bCustomMode);
    EXPECT_FALSE(app.m_bInstallDone);
    EXPECT_EQ(app.m_nInstalledVersion, 0u);
    EXPECT_FALSE(app.m_instanceMutex.owned());
    EXPECT_EQ(g_productId, 0x0504u);
    EXPECT_EQ(AfxGetApp(), &app);
}

TEST(CInstallApp, GetInstallModeCopiesTheVersionOnlyForNewerAndUpdate)
{
    const struct {
        InstallMode mode;
        bool copies;
    } cases[] = {{ModeNewer, true}, {ModeFresh, false}, {ModeSame, false}, {ModeUpdate, true}};
    CInstallApp app;
    app.m_strInstalledVersion = L"4.04";
    for (const auto& [mode, copies] : cases) {
        app.m_nInstallMode = mode;
        EXPECT_EQ(app.GetInstallMode(), mode);
        std::wstring text = L"untouched";
        EXPECT_EQ(app.GetInstallMode(&text), mode);
        EXPECT_EQ(text, copies ? L"4.04" : L"untouched") << "mode " << mode;
    }
}

TEST(CInstallApp, ChooseTempFolderNamesAFreshPrivateFolder)
{
    CInstallApp app;
    std::wstring error;
    ASSERT_TRUE(app.ChooseTempFolder(error)) << testing::PrintToString(error);
    const std::filesystem::path first = app.m_strTempFolder;
    EXPECT_EQ(first.parent_path().wstring() + L"\\", TempPath()) << "directly in the temporary folder";
    const std::wregex name(L"vantor_\\{[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}\\}");
    EXPECT_TRUE(std::regex_match(first.filename().wstring(), name)) << first.filename().string();
    EXPECT_FALSE(std::filesystem::exists(first)) << "the folder is only named, not created";

    ASSERT_TRUE(app.ChooseTempFolder(error));
    EXPECT_NE(app.m_strTempFolder, first.wstring());
    EXPECT_TRUE(error.empty());
}

TEST(CInstallApp, ChooseTempFolderRefusesATooLongTemporaryFolder)
{
    std::wstring longFolder = L"C:\\";
    while (longFolder.size() <= 250)
        longFolder += L"long folder name\\";
    testsupport::ChildProcess child(L"choose-temp-folder", {}, {{L"TMP", longFolder}, {L"TEMP", longFolder}});
    ASSERT_EQ(child.Wait(), 0u) << child.output();
    const std::regex expected("0\\|[0-9a-f]{8} \\(GetTempPath\\)\\|previous");
    EXPECT_TRUE(std::regex_match(child.output(), expected)) << child.output();
}
