// The demo's walk through the installer: starts it, opens the about box, then walks the custom
// method's pages up to the installation page, printing what each window shows and asking for a
// screenshot of each; then leaves with Exit and answers the question with Yes.
// Run as: ostrel_e2e --role demo-walk [snapshot folder [name prefix]]
#include "tests/e2e/driver.h"
#include "tests/e2e/installer_paths.h"
#include "tests/e2e/wizard_steps.h"
#include "tests/support/folder_dialog_driver.h"

#include <cstdio>

using namespace e2e;

namespace {

void PrintWindow(HWND window)
{
    std::printf("window \"%s\"\n", Utf8(WindowText(window)).c_str());
    for (const ControlInfo& control : Controls(window)) {
        if (!control.visible)
            continue;
        std::printf("  %5d %-14s %-8s \"%s\"\n", control.id, Utf8(control.className).c_str(),
                    control.enabled ? "enabled" : "disabled", Utf8(control.text).c_str());
    }
    std::fflush(stdout);
}

int DemoWalk(const std::vector<std::wstring>& arguments)
{
    const Snapshots snapshots(arguments.empty() ? std::nullopt : std::optional<std::wstring>(arguments[0]));
    const std::wstring prefix = arguments.size() > 1 ? arguments[1] : std::wstring();
    Program installer = Program::Start(InstallerPath());
    HWND wizard = WaitForDialog(installer.id());
    if (wizard == nullptr) {
        std::printf("no wizard appeared\n");
        if (HWND box = FindMessageBox(installer.id())) {
            std::printf("message box: \"%s\"\n", Utf8(MessageBoxText(box)).c_str());
            snapshots.Take(box, prefix + L"message-box");
        }
        return 1;
    }
    ::Sleep(500); // let the window paint before the first screenshot

    PostSysCommand(wizard, kAboutCommand);
    if (HWND about = WaitForOwnedDialog(wizard, 10000)) {
        ::Sleep(300);
        PrintWindow(about);
        snapshots.Take(about, prefix + L"about");
        Click(about, IDOK);
        WaitUntilGone(about);
    }

    // The custom method, so that every page up to the installation shows.
    HWND page = ActivePage(wizard);
    for (int number = 1; page != nullptr; ++number) {
        ::Sleep(500);
        PrintWindow(wizard);
        PrintWindow(page);
        snapshots.Take(wizard, prefix + L"page-" + std::to_wstring(number));
        if (HWND languages = ::GetDlgItem(page, kLanguageList)) {
            // The dropped-down list with every language's flag: a window of its own, below the
            // wizard's page, so the screenshot takes the wizard and the screen below it.
            ::SendMessageW(languages, CB_SHOWDROPDOWN, TRUE, 0);
            ::Sleep(500);
            RECT area{};
            ::GetWindowRect(wizard, &area);
            area.bottom += 60;
            snapshots.Take(area, prefix + L"language-list");
            ::SendMessageW(languages, CB_SHOWDROPDOWN, FALSE, 0);
        }
        if (::GetDlgItem(page, kBrowseButton) != nullptr && IsControlEnabled(page, kBrowseButton)) {
            Click(page, kBrowseButton);
            if (HWND browser = testsupport::WaitForFolderDialog(installer.id(), {}, 20000)) {
                ::Sleep(800);
                PrintWindow(browser);
                snapshots.Take(browser, prefix + L"browse-" + std::to_wstring(number));
                testsupport::ClickCancel(browser);
                testsupport::WaitUntilClosed(browser);
            }
        }
        if (PageIndexOf(page) == 1) {
            ChooseMethod(page, true);
            ::Sleep(200);
        }
        if (PageIndexOf(page) == 4 || !IsControlEnabled(wizard, IDOK))
            break; // the installation page: the walk does not install
        std::printf("pressing \"%s\"\n", Utf8(ControlText(wizard, IDOK)).c_str());
        Click(wizard, IDOK);
        page = WaitForPageChange(wizard, page, 10000);
    }
    std::printf("pressing \"%s\"\n", Utf8(ControlText(wizard, IDCANCEL)).c_str());
    Click(wizard, IDCANCEL);
    if (HWND box = WaitForMessageBox(installer.id(), 3000)) {
        std::printf("question: \"%s\"\n", Utf8(MessageBoxText(box)).c_str());
        snapshots.Take(box, prefix + L"exit-question");
        Click(box, IDYES);
    }
    const std::optional<DWORD> exitCode = installer.WaitForExit();
    if (!exitCode) {
        std::printf("the installer did not end\n");
        return 1;
    }
    std::printf("the installer ended with exit status %lu\n", *exitCode);
    return 0;
}

const bool registered = testsupport::RegisterRole(L"demo-walk", &DemoWalk);

} // namespace
