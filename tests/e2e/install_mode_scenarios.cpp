// Whole-installer scenarios of the installation modes: the program-path value of a previous
// installation points at a fixture program of a chosen version, and the wizard follows the mode
// that start-up derives from it.
#include "tests/e2e/scenario_steps.h"
#include "tests/e2e/wizard_steps.h"
#include "tests/fixtures/installed_programs.h"
#include "tests/support/machine_state.h"

#include <gtest/gtest.h>

#include <optional>

using namespace e2e;

namespace {

// Where an installation records its main program, under the maker's key; with no path, no
// value. The previous state comes back when the guard goes.
testsupport::RegistryValueGuard RecordInstalledProgram(const std::optional<std::wstring>& path)
{
    return testsupport::RegistryValueGuard(L"Software\\Vantor & Lind", L"Ostrel 4 Path",
                                           path ? std::optional(testsupport::RegistryStringBytes(*path))
                                                : std::nullopt);
}

const std::wstring kFreshInformation = L"'Ostrel 4.05' Installation.";
const std::wstring kContinueStatus = L"Click on 'Next' to continue.";
const std::wstring kReinstallInformation = L"'Ostrel 4.05' is already installed.\r\nDo you confirm Reinstallation ?";
const std::wstring kReinstallStatus = L"Click on 'Next' to continue or on 'Cancel' to exit Installation.";
const std::wstring kExitOnlyStatus = L"Click on 'Cancel' to exit Installation.";

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
        {"a stale program path", kDefaultInstallFolder + L"\\Ostrel.exe", kFreshInformation,
         kContinueStatus, true, ExitQuestion::Expected},
        {"the same version", testsupport::InstalledProgramFixture(L"4.5.0.1"),
         kReinstallInformation, kReinstallStatus, true, ExitQuestion::NotExpected},
        {"a program without version", testsupport::InstalledProgramFixture(L"unversioned"),
         kReinstallInformation, kReinstallStatus, true, ExitQuestion::NotExpected},
        {"a newer build", testsupport::InstalledProgramFixture(L"4.5.0.2"),
         L"'Ostrel 4.05' Installation.\r\nA more recent Version (Ostrel 4.05 SP1) is already installed.",
         kExitOnlyStatus, false, ExitQuestion::NotExpected},
        {"a newer version", testsupport::InstalledProgramFixture(L"4.6.0.0"),
         L"'Ostrel 4.05' Installation.\r\nA more recent Version (Ostrel 4.06) is already installed.",
         kExitOnlyStatus, false, ExitQuestion::NotExpected},
        {"an older pre-release", testsupport::InstalledProgramFixture(L"4.5.0.0-beta"),
         L"Update from 'Ostrel 4.05 beta' to 'Ostrel 4.05'.", kContinueStatus, true, ExitQuestion::Expected},
        {"an older version", testsupport::InstalledProgramFixture(L"4.4.9.9"),
         L"Update from 'Ostrel 4.04' to 'Ostrel 4.05'.", kContinueStatus, true, ExitQuestion::Expected},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto recorded = RecordInstalledProgram(c.program);
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
    const auto recorded = RecordInstalledProgram(testsupport::InstalledProgramFixture(L"4.5.0.1"));
    StartedWizard started = StartWizard();
    ASSERT_NE(started.wizard, nullptr);
    ASSERT_EQ(Press(started.wizard, IDOK), 1);
    Click(started.wizard, IDCANCEL);
    HWND box = WaitForMessageBox(started.installer.id());
    ASSERT_NE(box, nullptr) << "leaving a reinstallation after the start page asks";
    EXPECT_EQ(Utf8(MessageBoxText(box)),
              Utf8(kExitQuestion));
    Click(box, IDNO);
    ASSERT_TRUE(WaitUntilGone(box));
    ASSERT_EQ(Press(started.wizard, kBackButton), 0);
    ExitWizard(started.installer, started.wizard, ExitQuestion::NotExpected);
}

TEST(InstallModes, AnInstalledProductKeepsItsFolder)
{
    const auto recorded = RecordInstalledProgram(testsupport::InstalledProgramFixture(L"4.4.9.9"));
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
    EXPECT_EQ(ControlText(page, kFolderEdit), kDefaultInstallFolder);
    ASSERT_EQ(Press(started.wizard, IDOK), 3) << "the read-only folder is accepted as it is";
    ExitWizard(started.installer, started.wizard);
}
