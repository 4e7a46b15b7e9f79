// Whole-installer scenarios of the installation modes: the program-path value of a previous
// installation points at a fixture program of a chosen version, and the wizard follows the mode
// that start-up derives from it.
#include "tests/e2e/scenario_steps.h"
#include "tests/e2e/wizard_steps.h"
#include "tests/fixtures/installed_programs.h"

#include <gtest/gtest.h>

#include <optional>

using namespace e2e;

namespace {

// Where an installation records its main program: under the maker's key, 32-bit view.
void RecordInstalledProgram(const std::optional<std::wstring>& path)
{
    vt::unique_hkey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Vantor & Lind", 0, nullptr, 0,
                                KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    if (!path) {
        ::RegDeleteValueW(key.get(), L"Ostrel 4 Path");
        return;
    }
    ASSERT_EQ(::RegSetValueExW(key.get(), L"Ostrel 4 Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path->c_str()),
                               static_cast<DWORD>((path->size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

const std::wstring kFreshInformation = L"'Ostrel 4.05' Installation.";
const std::wstring kContinueStatus = L"Click on 'Next' to continue.";

} // namespace

TEST(InstallModes, StartPageTextsFollowTheInstalledVersion)
{
    const struct {
        const char* name;
        std::optional<std::wstring> program; // nothing: no value recorded
        std::wstring information;
        std::wstring status;
        bool nextEnabled;
        ExitQuestion question;
    } cases[] = {
        {"no installation", std::nullopt, kFreshInformation, kContinueStatus, true, ExitQuestion::Expected},
        {"a stale program path", L"C:\\Program Files\\Vantor & Lind\\Ostrel 4\\Ostrel.exe", kFreshInformation,
         kContinueStatus, true, ExitQuestion::Expected},
        {"the same version", testsupport::InstalledProgramFixture(L"4.5.0.1"),
         L"'Ostrel 4.05' is already installed.\r\nDo you confirm Reinstallation ?",
         L"Click on 'Next' to continue or on 'Cancel' to exit Installation.", true, ExitQuestion::NotExpected},
        {"a program without version", testsupport::InstalledProgramFixture(L"unversioned"),
         L"'Ostrel 4.05' is already installed.\r\nDo you confirm Reinstallation ?",
         L"Click on 'Next' to continue or on 'Cancel' to exit Installation.", true, ExitQuestion::NotExpected},
        {"a newer build", testsupport::InstalledProgramFixture(L"4.5.0.2"),
         L"'Ostrel 4.05' Installation.\r\nA more recent Version (Ostrel 4.05 SP1) is already installed.",
         L"Click on 'Cancel' to exit Installation.", false, ExitQuestion::NotExpected},
        {"a newer version", testsupport::InstalledProgramFixture(L"4.6.0.0"),
         L"'Ostrel 4.05' Installation.\r\nA more recent Version (Ostrel 4.06) is already installed.",
         L"Click on 'Cancel' to exit Installation.", false, ExitQuestion::NotExpected},
        {"an older pre-release", testsupport::InstalledProgramFixture(L"4.5.0.0-beta"),
         L"Update from 'Ostrel 4.05 beta' to 'Ostrel 4.05'.", kContinueStatus, true, ExitQuestion::Expected},
        {"an older version", testsupport::InstalledProgramFixture(L"4.4.9.9"),
         L"Update from 'Ostrel 4.04' to 'Ostrel 4.05'.", kContinueStatus, true, ExitQuestion::Expected},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordInstalledProgram(c.program);
        StartedWizard started = StartWizard();
        ASSERT_NE(started.wizard, nullptr);
        HWND startPage = ActivePage(started.wizard);
        EXPECT_EQ(Utf8(ControlText(startPage, kInformationText)), Utf8(c.information));
        EXPECT_EQ(Utf8(ControlText(startPage, kStatusLine)), Utf8(c.status));
        EXPECT_EQ(IsControlEnabled(started.wizard, IDOK), c.nextEnabled);
        EXPECT_EQ(Utf8(ControlText(started.wizard, IDCANCEL)), "Cancel");
        // The focus and the default go to Exit only when Next cannot be used.
        const WORD defaultButton = LOWORD(::SendMessageW(started.wizard, DM_GETDEFID, 0, 0));
        EXPECT_EQ(defaultButton, c.nextEnabled ? IDOK : IDCANCEL);
        ExitWizard(started.installer, started.wizard, c.question);
    }
}

TEST(InstallModes, SameVersionAsksBeforeLeavingOnlyAfterTheStartPage)
{
    RecordInstalledProgram(testsupport::InstalledProgramFixture(L"4.5.0.1"));
    StartedWizard started = StartWizard();
    ASSERT_NE(started.wizard, nullptr);
    ASSERT_EQ(Press(started.wizard, IDOK), 1);
    Click(started.wizard, IDCANCEL);
    HWND box = WaitForMessageBox(started.installer.id());
    ASSERT_NE(box, nullptr) << "leaving a reinstallation after the start page asks";
    EXPECT_EQ(Utf8(MessageBoxText(box)),
              Utf8(L"Installation is not complete.\r\n\r\nDo you still confirm exit Installation ?"));
    Click(box, IDNO);
    ASSERT_TRUE(WaitUntilGone(box));
    ASSERT_EQ(Press(started.wizard, kBackButton), 0);
    ExitWizard(started.installer, started.wizard, ExitQuestion::NotExpected);
}

TEST(InstallModes, AnInstalledProductKeepsItsFolder)
{
    RecordInstalledProgram(testsupport::InstalledProgramFixture(L"4.4.9.9"));
    StartedWizard started = StartWizard();
    ASSERT_NE(started.wizard, nullptr);
    ASSERT_TRUE(WalkCustomMethodTo(started.wizard, 2));
    HWND page = ActivePage(started.wizard);
    HWND edit = ::GetDlgItem(page, kFolderEdit);
    EXPECT_TRUE(::GetWindowLongW(edit, GWL_STYLE) & ES_READONLY) << "the folder cannot be changed";
    EXPECT_TRUE(::IsWindowEnabled(edit)) << "but can still be selected and copied";
    EXPECT_FALSE(IsControlEnabled(page, kFolderPrompt));
    EXPECT_FALSE(IsControlEnabled(page, kBrowseButton));
    // Until the previous removal log is read, the folder is the default one.
    EXPECT_EQ(Utf8(ControlText(page, kFolderEdit)), "C:\\Program Files\\Vantor & Lind\\Ostrel 4");
    ASSERT_EQ(Press(started.wizard, IDOK), 3) << "the read-only folder is accepted as it is";
    ExitWizard(started.installer, started.wizard);
}
