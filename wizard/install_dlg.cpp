#include "wizard/install_dlg.h"

#include "app/languages.h"
#include "support/app_services.h"

BOOL CInstallDlg::OnInitDialog()
{
    SetWindowText(GetInstallerTitle(true));
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
