#pragma once
// Steps through the wizard's pages, for the whole-installer scenarios.
#include "tests/e2e/driver.h"
#include "tests/e2e/installer_paths.h"
#include "tests/support/wizard_controls.h"

namespace e2e {

using namespace testsupport;

// Which of the six pages a page window is, told by a control only that page has; -1 for none.
inline int PageIndexOf(HWND page)
{
    if (page == nullptr)
        return -1;
    if (::GetDlgItem(page, kLanguageList) != nullptr)
        return 0;
    if (::GetDlgItem(page, kFastMethod) != nullptr)
        return 1;
    if (::GetDlgItem(page, kFolderPrompt) != nullptr)
        return 2;
    if (::GetDlgItem(page, kMenuShortcut) != nullptr)
        return 3;
    if (::GetDlgItem(page, kInstallLog) != nullptr)
        return 4;
    if (::GetDlgItem(page, kInformationText) != nullptr)
        return 5;
    return -1;
}

// Presses a navigation button and waits for the page it leads to; that page's index, or -1
// when the page did not change.
inline int Press(HWND wizard, int button, DWORD timeout = 10000)
{
    HWND before = ActivePage(wizard);
    Click(wizard, button);
    return PageIndexOf(WaitForPageChange(wizard, before, timeout));
}

inline int CurrentPage(HWND wizard)
{
    return PageIndexOf(ActivePage(wizard));
}

// Chooses the custom (true) or fast method on the method page.
inline void ChooseMethod(HWND methodPage, bool custom)
{
    SetCheck(methodPage, custom ? kFastMethod : kCustomMethod, false);
    SetCheck(methodPage, custom ? kCustomMethod : kFastMethod, true);
}

// From the start page with the custom method up to `page`; whether every step arrived.
inline bool WalkCustomMethodTo(HWND wizard, int page)
{
    if (Press(wizard, IDOK) != 1)
        return false;
    ChooseMethod(ActivePage(wizard), true);
    for (int next = 2; next <= page; ++next) {
        if (Press(wizard, IDOK) != next)
            return false;
    }
    return true;
}

// The installer, started, and its wizard on the start page (null when it did not come).
struct StartedWizard {
    Program installer;
    HWND wizard = nullptr;
};

inline StartedWizard StartWizard(const std::wstring& installer = InstallerPath())
{
    StartedWizard started{Program::Start(installer)};
    started.wizard = WaitForWindow(started.installer.id(), kDialogClass, kWizardCaption);
    if (started.wizard != nullptr && CurrentPage(started.wizard) != 0)
        started.wizard = nullptr;
    return started;
}

// Every page window of the wizard, shown or hidden, by page index.
inline std::vector<HWND> AllPages(HWND wizard)
{
    std::vector<HWND> pages(6, nullptr);
    for (HWND child = ::GetWindow(wizard, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const int index = PageIndexOf(child);
        if (index >= 0)
            pages[static_cast<size_t>(index)] = child;
    }
    return pages;
}

} // namespace e2e
