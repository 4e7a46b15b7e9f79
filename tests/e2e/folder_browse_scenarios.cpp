// Whole-installer scenarios of the Browse buttons: the folder and shortcut pages open the
// shell's folder browser, driven by selecting folders in its tree (Wine's dialog ignores typed
// text and returns the tree's selection, where Windows returns the folder of the edit box).
#include "tests/e2e/scenario_steps.h"
#include "tests/e2e/wizard_steps.h"
#include "tests/support/folder_dialog_driver.h"
#include "tests/support/shell_folders.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <filesystem>
#include <optional>

using namespace e2e;
using namespace testsupport;

namespace {

std::wstring MakeFolder(const std::wstring& path)
{
    std::filesystem::create_directories(path);
    SettleFolderTimes(path);
    return path;
}

// Presses Browse on `page` and waits for the folder browser titled `title`.
HWND OpenFolderBrowser(DWORD processId, HWND page, const std::wstring& title)
{
    Click(page, kBrowseButton);
    HWND dialog = WaitForFolderDialog(processId, title);
    EXPECT_NE(dialog, nullptr) << "no folder browser titled " << Utf8(title);
    return dialog;
}

// Presses Browse on `page`, checks the edit box's first text when `startShown` is given, selects
// `folder` in the dialog, checks that the edit box shows `shown`, and confirms with OK; whether
// the dialog came and went.
bool BrowseAndChoose(DWORD processId, HWND page, const std::wstring& title, const std::wstring& folder,
                     const std::wstring& shown, const std::optional<std::wstring>& startShown = std::nullopt)
{
    HWND dialog = OpenFolderBrowser(processId, page, title);
    if (dialog == nullptr)
        return false;
    if (startShown) {
        EXPECT_EQ(WaitForEditText(dialog, *startShown), *startShown) << "the starting folder";
    }
    const bool selected = SelectFolder(dialog, folder);
    EXPECT_TRUE(selected) << Utf8(folder);
    EXPECT_EQ(WaitForEditText(dialog, shown), shown) << "the edit box shows the choice with the product folder";
    ClickOk(dialog);
    return WaitUntilClosed(dialog);
}

} // namespace

TEST(FolderBrowse, FolderPageTakesTheChosenFolderWithTheProductFolder)
{
    const std::wstring apps = MakeFolder(L"C:\\Apps");
    const std::wstring named = MakeFolder(L"C:\\Tools\\ostrel 4");
    auto [installer, wizard] = StartWizard();
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(WalkCustomMethodTo(wizard, 2));
    HWND page = ActivePage(wizard);
    const std::wstring title = L"Select 'Ostrel' Installation Folder.";

    // The starting folder does not exist yet: the edit box shows it whole all the same.
    HWND dialog = OpenFolderBrowser(installer.id(), page, title);
    ASSERT_NE(dialog, nullptr);
    const std::wstring& start = kDefaultInstallFolder;
    EXPECT_EQ(WaitForEditText(dialog, start), start);
    ClickCancel(dialog);
    ASSERT_TRUE(WaitUntilClosed(dialog));
    EXPECT_EQ(Utf8(ControlText(page, kFolderEdit)), Utf8(start)) << "Cancel changes nothing";

    ASSERT_TRUE(BrowseAndChoose(installer.id(), page, title, apps, apps + L"\\Ostrel 4"));
    const std::wstring expected = RunningUnderWine() ? apps : apps + L"\\Ostrel 4";
    EXPECT_TRUE(WaitForControlText(page, kFolderEdit, expected, 10000)) << Utf8(ControlText(page, kFolderEdit));

    // A folder already named after the product gets nothing appended.
    ASSERT_TRUE(BrowseAndChoose(installer.id(), page, title, named, named));
    EXPECT_TRUE(WaitForControlText(page, kFolderEdit, named, 10000)) << Utf8(ControlText(page, kFolderEdit));

    // The choice is the setting: it comes back after leaving the page.
    ASSERT_EQ(Press(wizard, IDOK), 3);
    ASSERT_EQ(Press(wizard, kBackButton), 2);
    EXPECT_EQ(Utf8(ControlText(ActivePage(wizard), kFolderEdit)), Utf8(named));
    ExitWizard(installer, wizard);
}

TEST(FolderBrowse, ShortcutPageShowsTheMenuFolderRelativeToTheStartMenu)
{
    const std::wstring programs = ShellFolder(CSIDL_COMMON_PROGRAMS);
    ASSERT_FALSE(programs.empty());
    const std::wstring tools = MakeFolder(programs + L"\\Tools");
    auto [installer, wizard] = StartWizard();
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(WalkCustomMethodTo(wizard, 3));
    HWND page = ActivePage(wizard);
    const std::wstring title = L"Create a Shortcut in the following Menu:";

    // Relative to the Start menu, from the start.
    ASSERT_TRUE(BrowseAndChoose(installer.id(), page, title, tools, L"Programs\\Tools\\Ostrel 4",
                                kDefaultMenuText));

    const std::wstring expected = RunningUnderWine() ? L"Programs\\Tools" : L"Programs\\Tools\\Ostrel 4";
    EXPECT_TRUE(WaitForControlText(page, kFolderEdit, expected, 10000)) << Utf8(ControlText(page, kFolderEdit));
    // The page stored the absolute folder: the summary names it.
    ASSERT_EQ(Press(wizard, IDOK), 4);
    const std::wstring summary = ControlText(ActivePage(wizard), kInstallLog);
    const std::wstring absolute = RunningUnderWine() ? tools : tools + L"\\Ostrel 4";
    EXPECT_NE(summary.find(L"(Folder \"" + absolute + L"\")."), std::wstring::npos) << Utf8(summary);
    ExitWizard(installer, wizard);
}
