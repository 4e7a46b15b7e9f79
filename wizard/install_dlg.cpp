#include "wizard/install_dlg.h"

#include "app/languages.h"
#include "support/app_services.h"

void CInstallDlg::UpdateAllTexts()
{
    SetWindowText(GetInstallerTitle(true));
    ::SetDlgItemTextW(m_hWnd, IDOK, (LoadLocalized(1006) + L"  >").c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_BACK, (L"<  " + LoadLocalized(1005)).c_str());
    ::SetDlgItemTextW(m_hWnd, IDCANCEL, LoadLocalized(1002).c_str());
}

BOOL CInstallDlg::OnInitDialog()
{
    UpdateAllTexts();
    if (const auto& icon = GetAppServices().icon) {
        if (HICON large = icon())
            ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
    }
    // No page exists yet to go to or back to: only Exit leads anywhere.
    EnableDlgItem(IDOK, false);
    EnableDlgItem(IDC_BACK, false);
    ::SendMessageW(m_hWnd, DM_SETDEFID, IDCANCEL, 0);
    ::SetFocus(GetDlgItem(IDCANCEL));
    return FALSE; // the focus is set
}

void CInstallDlg::OnOK()
{
    // Enter with the disabled Next button: there is no next page yet.
}
