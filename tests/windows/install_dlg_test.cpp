// The wizard frame created in this process: what another process cannot read under Wine (the
// system menu) and the layout that the frame computes from its pages.
#include "wizard/install_dlg.h"

#include "app/install_app.h"
#include "app/languages.h"
#include "tests/support/wizard_controls.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>

namespace {

using namespace testsupport;

// The text of a control.
std::wstring DlgText(HWND window, int id)
{
    wchar_t text[256] = {};
    ::GetDlgItemTextW(window, id, text, 256);
    return text;
}

// The page of the frame that holds `control`; with `shownOnly`, only the shown one (by its
// style: the test's frame itself is never shown).
HWND PageWith(HWND frame, int control, bool shownOnly = false)
{
    for (HWND child = ::GetWindow(frame, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::GetDlgItem(child, control) != nullptr &&
            (!shownOnly || (::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) != 0))
            return child;
    }
    return nullptr;
}

std::wstring MenuItemText(HMENU menu, UINT id)
{
    wchar_t text[256] = {};
    if (::GetMenuStringW(menu, id, text, 256, MF_BYCOMMAND) == 0)
        return {};
    return text;
}

RECT ScreenRect(HWND window)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

// A frame over the application's settings, modeless so that the test can look at it; the
// language is restored afterwards.
class WizardFrame : public testing::Test {
protected:
    void SetUp() override
    {
        m_previousLanguage = GetLanguageState().index;
        SetLanguage(kEnglish);
        m_app.m_bMenuShortcut = true;
        m_app.m_bDesktopShortcut = true;
        m_app.m_strInstallFolder = L"C:\\Program Files\\Vantor & Lind\\Ostrel 4";
        m_app.m_pMainWnd = &m_frame;
        ASSERT_TRUE(m_frame.Create(CInstallDlg::IDD, nullptr));
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        SetLanguage(m_previousLanguage);
    }

    CInstallApp m_app;
    CInstallDlg m_frame;
    int m_previousLanguage = 0;
};

} // namespace

TEST_F(WizardFrame, SystemMenuHasTheAboutEntryAndNeitherMaximizeNorSize)
{
    HMENU menu = ::GetSystemMenu(m_frame.GetSafeHwnd(), FALSE);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(MenuItemText(menu, CInstallDlg::IDM_ABOUTBOX), L"&About 'Installer'...");
    const int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_EQ(::GetMenuItemID(menu, count - 1), CInstallDlg::IDM_ABOUTBOX) << "appended last";
    MENUITEMINFOW separator{};
    separator.cbSize = sizeof(separator);
    separator.fMask = MIIM_FTYPE;
    ASSERT_TRUE(::GetMenuItemInfoW(menu, count - 2, TRUE, &separator));
    EXPECT_TRUE(separator.fType & MFT_SEPARATOR) << "a separator before it";
    EXPECT_EQ(::GetMenuState(menu, SC_MAXIMIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_EQ(::GetMenuState(menu, SC_SIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_NE(::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1)) << "the rest stays";
}

TEST_F(WizardFrame, AboutEntryFollowsTheLanguageAndItsReadingOrder)
{
    SetLanguage(kGerman);
    m_frame.UpdateAllTexts();
    HMENU menu = ::GetSystemMenu(m_frame.GetSafeHwnd(), FALSE);
    const std::wstring german = MenuItemText(menu, CInstallDlg::IDM_ABOUTBOX);
    EXPECT_EQ(german, L"&" + FormatLocalized(1003, {LoadLocalized(1000)}) + L"...");
    EXPECT_NE(german, L"&About 'Installer'...");

    // Hebrew reads from right to left: the ellipsis goes in front, without an accelerator.
    SetLanguage(kHebrew);
    const std::wstring hebrew = CInstallDlg::AboutEntryText();
    ASSERT_GT(hebrew.size(), 3u);
    EXPECT_EQ(hebrew.substr(0, 3), L"...");
    EXPECT_EQ(hebrew.find(L'&'), std::wstring::npos);
    EXPECT_NE(hebrew.substr(hebrew.size() - 3), L"...");
    m_frame.UpdateAllTexts();
    EXPECT_EQ(MenuItemText(menu, CInstallDlg::IDM_ABOUTBOX), hebrew);
}

TEST_F(WizardFrame, PagesShareOneAreaRightOfThePictureAndAboveTheButtons)
{
    HWND frame = m_frame.GetSafeHwnd();
    const RECT strip = ScreenRect(::GetDlgItem(frame, 1005));
    const RECT separator = ScreenRect(::GetDlgItem(frame, 1002));
    const RECT next = ScreenRect(::GetDlgItem(frame, IDOK));
    const RECT exit = ScreenRect(::GetDlgItem(frame, IDCANCEL));
    RECT client{};
    ::GetClientRect(frame, &client);
    ::MapWindowPoints(frame, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);

    int pages = 0;
    std::optional<RECT> first;
    std::optional<LONG> statusTop;
    for (HWND child = ::GetWindow(frame, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[32] = {};
        ::GetClassNameW(child, className, 32);
        if (std::wstring(className) != L"#32770")
            continue;
        ++pages;
        const RECT page = ScreenRect(child);
        EXPECT_EQ(page.left, strip.right) << "page " << pages;
        EXPECT_EQ(page.top, client.top) << "page " << pages;
        EXPECT_EQ(page.bottom, separator.top) << "page " << pages;
        EXPECT_EQ(page.right, client.right) << "page " << pages;
        if (!first)
            first = page;
        EXPECT_TRUE(::EqualRect(&page, &*first)) << "page " << pages << " has the common size";
        // Every page's status line ends up at the same height (dialog units round to pixels
        // separately on each page, hence a pixel of play).
        const RECT status = ScreenRect(::GetDlgItem(child, kStatusLine));
        if (!statusTop)
            statusTop = status.top;
        EXPECT_NEAR(status.top, *statusTop, 1) << "page " << pages;
        EXPECT_LE(status.right, page.right) << "page " << pages;
    }
    EXPECT_EQ(pages, 6);
    EXPECT_LE(next.right, exit.left) << "Next left of Exit";
    EXPECT_LE(exit.right, client.right) << "Exit inside the window";
    EXPECT_GT(next.top, separator.bottom) << "buttons below the separator";
}

TEST_F(WizardFrame, MaximizingKeepsThePlaceAndSize)
{
    HWND frame = m_frame.GetSafeHwnd();
    const RECT before = ScreenRect(frame);
    MINMAXINFO info{};
    info.ptMaxSize = {4000, 3000};
    ::SendMessageW(frame, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMaxSize.x, before.right - before.left);
    EXPECT_EQ(info.ptMaxSize.y, before.bottom - before.top);
    EXPECT_EQ(info.ptMaxPosition.x, before.left);
    EXPECT_EQ(info.ptMaxPosition.y, before.top);
}

TEST_F(WizardFrame, StartsOnTheFirstPageWithBackDisabledAndNextTheDefault)
{
    HWND frame = m_frame.GetSafeHwnd();
    EXPECT_EQ(m_frame.GetActiveIndex(), 0);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(frame, CInstallDlg::IDC_BACK)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(frame, IDOK)));
    EXPECT_EQ(LOWORD(::SendMessageW(frame, DM_GETDEFID, 0, 0)), IDOK);
    EXPECT_EQ(DlgText(frame, IDOK), L"Next  >");
    EXPECT_EQ(DlgText(frame, CInstallDlg::IDC_BACK), L"<  Back");
    EXPECT_EQ(DlgText(frame, IDCANCEL), L"Cancel");
}

TEST_F(WizardFrame, DroppedLanguageListHoldsTheWidestNameAndItsFlag)
{
    HWND startPage = PageWith(m_frame.GetSafeHwnd(), kLanguageList);
    ASSERT_NE(startPage, nullptr);
    HWND list = ::GetDlgItem(startPage, kLanguageList);
    ASSERT_EQ(::SendMessageW(list, CB_GETCOUNT, 0, 0), 4);

    // Measured here independently: the page's font in a screen context.
    HDC dc = ::GetDC(nullptr);
    const HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(startPage, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (int language : {kFrench, kEnglish, kGerman, kSpanish}) {
        const std::wstring name = LanguageDisplayName(language);
        SIZE size{};
        ::GetTextExtentPoint32W(dc, name.c_str(), static_cast<int>(name.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    ::SelectObject(dc, previous);
    ::ReleaseDC(nullptr, dc);
    HWND combo = reinterpret_cast<HWND>(::SendMessageW(list, CBEM_GETCOMBOCONTROL, 0, 0));
    // Asked of the inner list, which draws the dropped part: Wine's extended list passes the
    // width on to it but does not answer the question itself.
    EXPECT_GE(::SendMessageW(combo, CB_GETDROPPEDWIDTH, 0, 0), widest + 30);
    EXPECT_EQ(::SendMessageW(list, CB_GETCURSEL, 0, 0), 1) << "English, the current language, is selected";
}

TEST_F(WizardFrame, AfterASuccessfulInstallationTheEndPageLeadsOnlyOut)
{
    HWND frame = m_frame.GetSafeHwnd();
    const auto page = [&](int control) { return PageWith(frame, control, true); };
    ASSERT_TRUE(m_frame.SetActivePage(4));
    HWND installPage = page(kInstallLog);
    ASSERT_NE(installPage, nullptr);
    const std::wstring summary = DlgText(installPage, kInstallLog);
    ASSERT_FALSE(summary.empty());

    // What the frame does once the run has succeeded: re-show the page without reloading it.
    m_app.m_bInstallDone = true;
    ASSERT_TRUE(m_frame.SetActivePage(4));
    EXPECT_EQ(DlgText(frame, IDOK), L"Next  >");
    EXPECT_EQ(DlgText(frame, IDCANCEL), L"Exit");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(frame, CInstallDlg::IDC_BACK)));

    ASSERT_TRUE(m_frame.SetActivePage(5));
    HWND endPage = page(kInformationText);
    ASSERT_NE(endPage, nullptr);
    EXPECT_EQ(DlgText(endPage, kInformationText), L"Installation is complete.");
    EXPECT_EQ(DlgText(endPage, kStatusLine), L"Click on 'Exit' to exit Installation.");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(frame, IDOK)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(frame, CInstallDlg::IDC_BACK)));
    EXPECT_EQ(LOWORD(::SendMessageW(frame, DM_GETDEFID, 0, 0)), IDCANCEL) << "Exit is the default";
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(frame, IDCANCEL)) << "and has the focus";

    // Back shows the transcript as it was, and Next leads to the end page again.
    ASSERT_TRUE(m_frame.SetActivePage(4));
    EXPECT_EQ(DlgText(installPage, kInstallLog), summary) << "the page is not reloaded after the installation";
    EXPECT_EQ(DlgText(frame, IDOK), L"Next  >");
    ASSERT_TRUE(m_frame.SetActivePage(5));
    EXPECT_EQ(DlgText(endPage, kInformationText), L"Installation is complete.");
}
