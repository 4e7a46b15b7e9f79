// Whole-installer scenarios of start-up: each runs in a fresh Wine prefix of its own
// (run-scenario), starts the real installer and drives it through its windows.
#include "tests/e2e/driver.h"
#include "tests/e2e/installer_paths.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

std::string Narrow(const std::wstring& text)
{
    return testing::PrintToString(text);
}

// Closes the wizard with its Exit button and expects the framework's exit status 0.
void ExitWizard(Program& installer, HWND wizard)
{
    ASSERT_TRUE(IsControlEnabled(wizard, IDCANCEL));
    Click(wizard, IDCANCEL);
    EXPECT_EQ(installer.WaitForExit(), std::optional<DWORD>(0));
}

} // namespace

TEST(Startup, ShowsTheWizard)
{
    Program installer = Program::Start(InstallerPath());
    HWND wizard = WaitForWindow(installer.id(), kDialogClass, kWizardCaption);
    ASSERT_NE(wizard, nullptr) << "no window captioned " << Narrow(kWizardCaption);
    for (int button : {IDOK, IDCANCEL, 3})
        EXPECT_NE(::GetDlgItem(wizard, button), nullptr) << "button " << button;
    ExitWizard(installer, wizard);
}

TEST(Startup, SecondInstallerEndsWithTheBusyText)
{
    Program first = Program::Start(InstallerPath());
    HWND wizard = WaitForWindow(first.id(), kDialogClass, kWizardCaption);
    ASSERT_NE(wizard, nullptr);

    Program second = Program::Start(InstallerPath());
    HWND box = WaitForMessageBox(second.id());
    ASSERT_NE(box, nullptr) << "the second installer shows no box";
    EXPECT_EQ(MessageBoxText(box), SystemErrorText(ERROR_BUSY));
    EXPECT_EQ(FindTopLevelWindow(second.id(), kDialogClass, kWizardCaption), nullptr);
    Click(box, IDOK);
    EXPECT_EQ(second.WaitForExit(), std::optional<DWORD>(0));

    EXPECT_FALSE(first.HasEnded());
    EXPECT_TRUE(::IsWindowVisible(wizard)) << "the first installer keeps its wizard";
    ExitWizard(first, wizard);
}

TEST(Startup, RunningProductMustBeClosedFirst)
{
    const std::wstring readyName = testsupport::UniqueName(L"holder-ready");
    const std::wstring releaseName = testsupport::UniqueName(L"holder-release");
    vt::unique_handle ready = testsupport::CreateNamedEvent(readyName);
    vt::unique_handle release = testsupport::CreateNamedEvent(releaseName);
    Program product = Program::Start(CounterHolderPath(), L"Ostrel4 " + readyName + L" " + releaseName);
    ASSERT_EQ(::WaitForSingleObject(ready.get(), kTimeout), WAIT_OBJECT_0) << "the stand-in product did not start";

    const std::wstring closeText = L"You should close 'Ostrel' before continuing Installation.";
    {
        Program installer = Program::Start(InstallerPath());
        HWND box = WaitForMessageBox(installer.id());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), closeText);
        EXPECT_EQ(WindowText(box), kWizardCaption) << "the box carries the installer title";
        EXPECT_NE(::GetDlgItem(box, IDRETRY), nullptr);
        EXPECT_NE(::GetDlgItem(box, IDCANCEL), nullptr);

        // Retry while the product still runs asks again.
        Click(box, IDRETRY);
        ASSERT_TRUE(WaitUntilGone(box));
        box = WaitForMessageBox(installer.id());
        ASSERT_NE(box, nullptr) << "Retry with the product running must ask again";
        EXPECT_EQ(MessageBoxText(box), closeText);

        Click(box, IDCANCEL);
        // A wizard would keep the process alive: ending on its own means none was shown.
        EXPECT_EQ(installer.WaitForExit(), std::optional<DWORD>(0));
    }

    Program installer = Program::Start(InstallerPath());
    HWND box = WaitForMessageBox(installer.id());
    ASSERT_NE(box, nullptr);
    ::SetEvent(release.get());
    ASSERT_EQ(product.WaitForExit(), std::optional<DWORD>(0));
    Click(box, IDRETRY);
    HWND wizard = WaitForWindow(installer.id(), kDialogClass, kWizardCaption);
    ASSERT_NE(wizard, nullptr) << "Retry after the product ended shows the wizard";
    ExitWizard(installer, wizard);
}
