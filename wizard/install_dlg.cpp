#include "wizard/install_dlg.h"

#include "app/install_app.h"
#include "app/languages.h"
#include "support/app_services.h"
#include "support/message_box.h"
#include "wizard/about_dlg.h"

#include <algorithm>

namespace {

constexpr int IDC_SIDE_BACKGROUND = 1005;
constexpr int IDC_SEPARATOR = 1002;

constexpr UINT kPageTemplates[wizard::kPageCount] = {
    CDlgStart::IDD, CDlgMode::IDD, CDlgPath::IDD, CDlgShortcut::IDD, CDlgInstall::IDD, CDlgEnd::IDD,
};

int Width(const RECT& rect) { return rect.right - rect.left; }
int Height(const RECT& rect) { return rect.bottom - rect.top; }

} // namespace

std::wstring CInstallDlg::AboutEntryText()
{
    std::wstring text = FormatLocalized(1003, {GetInstallerTitle(false)});
    if (text.empty())
        return text;
    // A right-to-left menu shows the ellipsis on the reading side; no accelerator there.
    if (IsRightToLeft(GetLanguageState().index))
        return L"..." + text;
    return L"&" + text + L"...";
}

BOOL CInstallDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(GetInstallerTitle(true));

    if (HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
        if (const std::wstring about = AboutEntryText(); !about.empty()) {
            ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
        ::DeleteMenu(systemMenu, SC_MAXIMIZE, MF_BYCOMMAND);
        ::DeleteMenu(systemMenu, SC_SIZE, MF_BYCOMMAND);
    }
    if (const auto& icon = GetAppServices().icon) {
        if (HICON large = icon())
            ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
    }

    if (!CreatePages()) {
        // A page the program cannot build (a damaged resource, no memory): say so and leave
        // rather than show a wizard with a hole in it.
        error_box(::GetLastError());
        EndDialog(IDCANCEL);
        return TRUE;
    }
    LayOutPages();
    UpdateAllTexts();
    SetActivePage(wizard::kStartPage);
    if (GetInstallApp().m_nInstallMode == ModeNewer) {
        // Nothing to install over a newer version: only Exit leads anywhere, so it takes the
        // focus and the default that a disabled Next would leave to nobody.
        EnableDlgItem(IDOK, false);
        FocusDefaultButton(IDCANCEL);
    }
    return FALSE; // the focus is placed
}

void CInstallDlg::FocusDefaultButton(int id)
{
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(id)), TRUE);
    ::SendMessageW(m_hWnd, DM_SETDEFID, static_cast<WPARAM>(id), 0);
}

bool CInstallDlg::CreatePages()
{
    m_pages = {&m_dlgStart, &m_dlgMode, &m_dlgPath, &m_dlgShortcut, &m_dlgInstall, &m_dlgEnd};
    for (int index = 0; index < wizard::kPageCount; ++index) {
        if (!m_pages[index]->Create(kPageTemplates[index], this))
            return false;
    }
    return true;
}

void CInstallDlg::LayOutPages()
{
    // The page area: right of the side picture's strip, above the separator.
    RECT area{};
    ::GetClientRect(m_hWnd, &area);
    area.left = GetChildRect(GetDlgItem(IDC_SIDE_BACKGROUND)).right;
    area.bottom = GetChildRect(GetDlgItem(IDC_SEPARATOR)).top;

    // Every page at the area's corner; the area grows to hold the largest.
    RECT united = area;
    for (CDialog* page : m_pages) {
        RECT rect{};
        ::GetWindowRect(page->GetSafeHwnd(), &rect);
        ::SetWindowPos(page->GetSafeHwnd(), nullptr, united.left, united.top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        const RECT placed{united.left, united.top, united.left + Width(rect), united.top + Height(rect)};
        ::UnionRect(&united, &united, &placed);
    }
    const int dx = Width(united) - Width(area);
    const int dy = Height(united) - Height(area);

    RECT frame{};
    ::GetWindowRect(m_hWnd, &frame);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, Width(frame) + dx, Height(frame) + dy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);

    for (int index = 0; index < wizard::kPageCount; ++index) {
        HWND page = m_pages[index]->GetSafeHwnd();
        RECT rect{};
        ::GetWindowRect(page, &rect);
        ::MoveWindow(page, united.left, united.top, Width(united), Height(united), FALSE);
        StretchPage(index, Width(united) - Width(rect), Height(united) - Height(rect));
    }

    OffsetChild(IDC_SIDE_BACKGROUND, 0, 0, 0, dy);
    OffsetChild(IDC_SEPARATOR, 0, dy, dx, 0);
    for (int button : {IDC_BACK, IDOK, IDCANCEL})
        OffsetChild(button, dx, dy, 0, 0);
}

void CInstallDlg::StretchPage(int index, int dw, int dh)
{
    switch (index) {
    case wizard::kStartPage: m_dlgStart.Stretch(dw, dh); break;
    case wizard::kModePage: m_dlgMode.Stretch(dw, dh); break;
    case wizard::kPathPage: m_dlgPath.Stretch(dw, dh); break;
    case wizard::kShortcutPage: m_dlgShortcut.Stretch(dw, dh); break;
    case wizard::kInstallPage: m_dlgInstall.Stretch(dw, dh); break;
    case wizard::kEndPage: m_dlgEnd.Stretch(dw, dh); break;
    default: break;
    }
}

void CInstallDlg::SetPageTexts(int index)
{
    switch (index) {
    case wizard::kStartPage: m_dlgStart.SetTexts(); break;
    case wizard::kModePage: m_dlgMode.SetTexts(); break;
    case wizard::kPathPage: m_dlgPath.SetTexts(); break;
    case wizard::kShortcutPage: m_dlgShortcut.SetTexts(); break;
    case wizard::kInstallPage: m_dlgInstall.SetTexts(); break;
    case wizard::kEndPage: m_dlgEnd.SetTexts(); break;
    default: break;
    }
}

bool CInstallDlg::SetActivePage(int index)
{
    if (index < 0 || index >= wizard::kPageCount)
        return false; // no page there: stay where we are
    if (m_nCurrentPage >= 0) {
        CDialog* current = m_pages[m_nCurrentPage];
        if (!current->UpdateData(true))
            return false;
        current->ShowWindow(SW_HIDE);
    }
    // After the page is saved: the method page may just have changed the method.
    const CInstallApp& app = GetInstallApp();
    const int target = wizard::PageAfterSkipping(index, m_nCurrentPage, app.m_bCustomMode);
    if (target != m_nCurrentPage)
        m_pages[target]->UpdateData(false);
    m_nCurrentPage = target;
    m_pages[target]->ShowWindow(SW_SHOW);
    UpdateButtonTexts();

    const wizard::ButtonStates states = wizard::ButtonStatesFor(m_nCurrentPage, app.m_bInstallDone);
    EnableDlgItem(IDC_BACK, states.backEnabled);
    EnableDlgItem(IDOK, states.nextEnabled);
    FocusDefaultButton(states.focusOnNext ? IDOK : IDCANCEL);
    return true;
}

void CInstallDlg::UpdateButtonTexts()
{
    const wizard::ButtonStates states = wizard::ButtonStatesFor(m_nCurrentPage, GetInstallApp().m_bInstallDone);
    SetDlgItemText(IDOK, states.nextLabel == wizard::NextLabel::Install ? LoadLocalized(1007)
                                                                         : LoadLocalized(1006) + L"  >");
    SetDlgItemText(IDC_BACK, L"<  " + LoadLocalized(1005));
    SetDlgItemText(IDCANCEL, states.exitLabel == wizard::ExitLabel::Exit ? LoadLocalized(1004) : LoadLocalized(1002));
}

void CInstallDlg::UpdateAllTexts()
{
    SetWindowText(GetInstallerTitle(true));
    if (HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
        const std::wstring about = AboutEntryText();
        ::ModifyMenuW(systemMenu, IDM_ABOUTBOX, MF_BYCOMMAND | MF_STRING, IDM_ABOUTBOX, about.c_str());
    }
    UpdateButtonTexts();
    for (int index = 0; index < wizard::kPageCount; ++index)
        SetPageTexts(index);
}

void CInstallDlg::OnOK()
{
    // Enter reaches here even while Next is disabled (a newer version installed, a run going on).
    if (!::IsWindowEnabled(GetDlgItem(IDOK)))
        return;
    CInstallApp& app = GetInstallApp();
    if (m_nCurrentPage != wizard::kInstallPage || app.m_bInstallDone) {
        SetActivePage(m_nCurrentPage + 1);
        return;
    }
    for (int button : {IDC_BACK, IDOK, IDCANCEL})
        EnableDlgItem(button, false);
    app.m_bInstallDone = m_dlgInstall.RunInstallation();
    SetActivePage(m_nCurrentPage);
    EnableDlgItem(IDCANCEL, true);
}

void CInstallDlg::OnBack()
{
    SetActivePage(m_nCurrentPage - 1);
}

void CInstallDlg::OnCancel()
{
    // Escape and the close box arrive here too; while Exit is disabled (during the run) they
    // must not end the wizard.
    if (!::IsWindowEnabled(GetDlgItem(IDCANCEL)))
        return;
    const CInstallApp& app = GetInstallApp();
    if (wizard::ExitNeedsConfirmation(app.m_bInstallDone, app.m_nInstallMode, m_nCurrentPage) &&
        AfxMessageBox(LoadLocalized(1110), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    EndDialog(app.m_bInstallDone ? IDOK : IDCANCEL);
}

bool CInstallDlg::OnCommand(WORD id, WORD notifyCode, HWND /*control*/)
{
    if (id == IDC_BACK && notifyCode == BN_CLICKED) {
        OnBack();
        return true;
    }
    return false;
}

bool CInstallDlg::OnSysCommand(UINT id)
{
    if ((id & 0xFFF0) != IDM_ABOUTBOX)
        return false;
    CAboutDlg about;
    about.DoModal(m_hWnd);
    return true;
}

void CInstallDlg::OnInitMenuPopup(HMENU menu, bool isSystemMenu)
{
    if (!isSystemMenu)
        return;
    const bool minimized = ::IsIconic(m_hWnd) != FALSE;
    ::EnableMenuItem(menu, SC_MINIMIZE, MF_BYCOMMAND | (minimized ? MF_GRAYED : MF_ENABLED));
    ::EnableMenuItem(menu, SC_RESTORE, MF_BYCOMMAND | (minimized ? MF_ENABLED : MF_GRAYED));
}

void CInstallDlg::OnGetMinMaxInfo(MINMAXINFO& info)
{
    // Maximizing by other means than the removed menu command keeps the window as it is: the
    // maximized rectangle is the restored one, given relative to the window's monitor.
    HMONITOR monitor = ::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO monitorInfo{};
    monitorInfo.cbSize = sizeof(monitorInfo);
    if (monitor == nullptr || !::GetMonitorInfoW(monitor, &monitorInfo))
        return;
    RECT normal{};
    if (!::IsIconic(m_hWnd) && !::IsZoomed(m_hWnd)) {
        ::GetWindowRect(m_hWnd, &normal);
    } else {
        // The placement is in workspace coordinates, which start at the work area's corner.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        if (!::GetWindowPlacement(m_hWnd, &placement))
            return;
        normal = placement.rcNormalPosition;
        ::OffsetRect(&normal, monitorInfo.rcWork.left - monitorInfo.rcMonitor.left,
                     monitorInfo.rcWork.top - monitorInfo.rcMonitor.top);
    }
    info.ptMaxSize = {Width(normal), Height(normal)};
    info.ptMaxPosition = {normal.left - monitorInfo.rcMonitor.left, normal.top - monitorInfo.rcMonitor.top};
}

INT_PTR CInstallDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SYSCOMMAND:
        if (OnSysCommand(static_cast<UINT>(wParam))) {
            ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        return FALSE;
    case WM_INITMENUPOPUP:
        // The system has set its own item states before notifying: ours come on top.
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), HIWORD(lParam) != 0);
        return FALSE;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
        ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, 0);
        return TRUE;
    default:
        return CDialog::WindowProc(message, wParam, lParam);
    }
}
