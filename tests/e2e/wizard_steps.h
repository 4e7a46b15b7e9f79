#pragma once
// Steps through the wizard's pages, for the whole-installer scenarios.
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

namespace e2e {

inline constexpr int kBackButton = 3;
inline constexpr int kStatusLine = 1003;
inline constexpr int kInformationText = 1016;
inline constexpr int kLanguageList = 1023;
inline constexpr int kFastMethod = 1018;
inline constexpr int kCustomMethod = 1019;
inline constexpr int kFolderEdit = 1007;
inline constexpr int kFolderPrompt = 1009;
inline constexpr int kBrowseButton = 1006;
inline constexpr int kMenuShortcut = 1011;
inline constexpr int kDesktopShortcut = 1010;
inline constexpr int kInstallLog = 1015;

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
