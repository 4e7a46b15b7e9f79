#include "wizard/dlg_path.h"

#include "app/install_app.h"
#include "app/languages.h"
#include "app/product_identity.h"
#include "framework/data_exchange.h"
#include "wizard/folder_browser.h"
#include "wizard/page_status.h"

namespace {
constexpr int IDC_FOLDER_GROUP = 1008;
constexpr int IDC_PROMPT = 1009;
constexpr int IDC_FOLDER = 1007;
constexpr int IDC_BROWSE = 1006;
constexpr int kMaxFolderChars = MAX_PATH;
} // namespace

BOOL CDlgPath::OnInitDialog()
{
    CDialog::OnInitDialog();
    // An installed product stays where it is: its folder is shown, selectable, not changeable.
    if (GetInstallApp().m_nInstallMode != ModeFresh) {
        EnableDlgItem(IDC_PROMPT, false);
        EnableDlgItem(IDC_BROWSE, false);
        ::SendMessageW(GetDlgItem(IDC_FOLDER), EM_SETREADONLY, TRUE, 0);
    }
    return TRUE;
}

void CDlgPath::DoDataExchange(CDataExchange& exchange)
{
    CInstallApp& app = GetInstallApp();
    if (!exchange.m_bSaveAndValidate)
        m_strFolder = app.m_strInstallFolder;
    DDX_Text(exchange, IDC_FOLDER, m_strFolder);
    DDV_MaxChars(exchange, m_strFolder, kMaxFolderChars);
    // Taken as typed: the folder need not exist, the installation creates it.
    if (exchange.m_bSaveAndValidate)
        app.m_strInstallFolder = m_strFolder;
}

void CDlgPath::SetTexts()
{
    SetDlgItemText(IDC_FOLDER_GROUP, LoadLocalized(1010));
    SetDlgItemText(IDC_PROMPT, FormatLocalized(1111, {GetProductName(true)}));
    SetDlgItemText(IDC_BROWSE, LoadLocalized(1008));
    SetDlgItemText(IDC_STATUS, NextInvitation());
}

void CDlgPath::Stretch(int dw, int dh)
{
    OffsetChild(IDC_FOLDER_GROUP, 0, 0, dw, 0);
    OffsetChild(IDC_PROMPT, 0, 0, dw, 0);
    OffsetChild(IDC_FOLDER, 0, 0, dw, 0);
    OffsetChild(IDC_BROWSE, dw, 0, 0, 0);
    OffsetChild(IDC_STATUS, 0, dh, dw, 0);
}

bool CDlgPath::OnCommand(WORD id, WORD notifyCode, HWND /*control*/)
{
    if (id == IDC_BROWSE && notifyCode == BN_CLICKED) {
        OnBrowse();
        return true;
    }
    return false;
}

void CDlgPath::OnBrowse()
{
    // A folder typed by hand becomes the starting point; a refused text keeps the old one.
    UpdateData(true);
    CInstallApp& app = GetInstallApp();
    std::wstring baseFolder = app.m_strInstallFolder;
    const std::wstring title = FormatLocalized(1111, {GetProductName(true)});
    const std::wstring chosen = BrowseForFolder(baseFolder, ProductDisplayName(g_productId), title);
    if (chosen.empty())
        return; // cancelled, or the browser has said why it failed
    app.m_strInstallFolder = chosen;
    UpdateData(false);
}
