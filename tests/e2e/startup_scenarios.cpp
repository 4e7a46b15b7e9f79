// Whole-installer scenarios of start-up: each runs in a fresh Wine prefix of its own
// (run-scenario), starts the real installer and drives it through its windows.
#include "tests/e2e/scenario_steps.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

std::string Narrow(const std::wstring& text)
{
    return testing::PrintToString(text);
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
    RunningProduct product;
    ASSERT_TRUE(product.WaitRunning()) << "the stand-in product did not start";

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
    ASSERT_EQ(product.End(), std::optional<DWORD>(0));
    Click(box, IDRETRY);
    HWND wizard = WaitForWindow(installer.id(), kDialogClass, kWizardCaption);
    ASSERT_NE(wizard, nullptr) << "Retry after the product ended shows the wizard";
    ExitWizard(installer, wizard);
}
