#include "wizard/dlg_shortcut.h"

#include "app/install_app.h"
#include "app/languages.h"
#include "app/product_identity.h"
#include "framework/data_exchange.h"
#include "package/folder_placeholders.h"
#include "wizard/folder_browser.h"
#include "wizard/page_status.h"

#include <shlobj.h>

#include <filesystem>

namespace {

constexpr int IDC_MENU_GROUP = 1012;
constexpr int IDC_MENU_SHORTCUT = 1011;
constexpr int IDC_MENU_FOLDER = 1007;
constexpr int IDC_BROWSE = 1006;
constexpr int IDC_DESKTOP_SHORTCUT = 1010;
constexpr int kMaxFolderChars = MAX_PATH;

// The common Start menu, or the user's own when there is no common one.
std::wstring StartMenuRoot()
{
    std::wstring root = shell_folder_path(CSIDL_COMMON_STARTMENU);
    return !root.empty() ? root : shell_folder_path(CSIDL_STARTMENU);
}

// The menu folder of a shown text: the root and the text joined; a whole path stays as it is.
std::wstring MenuFolderFor(const std::wstring& root, const std::wstring& text)
{
    if (text.empty())
        return root;
    return (std::filesystem::path(root) / text).wstring();
}

} // namespace

BOOL CDlgShortcut::OnInitDialog()
{
    m_strStartMenuRoot = StartMenuRoot();
    CDialog::OnInitDialog();
    OnMenuShortcutClicked();
    return TRUE;
}

void CDlgShortcut::DoDataExchange(CDataExchange& exchange)
{
    CInstallApp& app = GetInstallApp();
    if (!exchange.m_bSaveAndValidate) {
        m_nDesktopCheck = app.m_bDesktopShortcut ? 1 : 0;
        m_nMenuCheck = app.m_bMenuShortcut ? 1 : 0;
        m_strMenuText = m_strStartMenuRoot.empty() ? app.m_strMenuFolder
                                                    : FolderTextBelow(m_strStartMenuRoot, app.m_strMenuFolder);
    }
    DDX_Check(exchange, IDC_DESKTOP_SHORTCUT, m_nDesktopCheck);
    DDX_Check(exchange, IDC_MENU_SHORTCUT, m_nMenuCheck);
    DDX_Text(exchange, IDC_MENU_FOLDER, m_strMenuText);
    DDV_MaxChars(exchange, m_strMenuText, kMaxFolderChars);
    if (exchange.m_bSaveAndValidate) {
        app.m_bDesktopShortcut = m_nDesktopCheck != 0;
        app.m_bMenuShortcut = m_nMenuCheck != 0;
        // Kept whether or not the shortcut is wanted, so that checking it again finds it.
        app.m_strMenuFolder = MenuFolderFor(m_strStartMenuRoot, m_strMenuText);
    }
}

void CDlgShortcut::SetTexts()
{
    SetDlgItemText(IDC_MENU_GROUP, LoadLocalized(1009));
    SetDlgItemText(IDC_MENU_SHORTCUT, LoadLocalized(1112));
    SetDlgItemText(IDC_BROWSE, LoadLocalized(1008));
    SetDlgItemText(IDC_DESKTOP_SHORTCUT, LoadLocalized(1113));
    SetDlgItemText(IDC_STATUS, NextInvitation());
}

void CDlgShortcut::Stretch(int dw, int dh)
{
    OffsetChild(IDC_MENU_GROUP, 0, 0, dw, 0);
    OffsetChild(IDC_MENU_SHORTCUT, 0, 0, dw, 0);
    OffsetChild(IDC_MENU_FOLDER, 0, 0, dw, 0);
    OffsetChild(IDC_DESKTOP_SHORTCUT, 0, 0, dw, 0);
    OffsetChild(IDC_BROWSE, dw, 0, 0, 0);
    OffsetChild(IDC_STATUS, 0, dh, dw, 0);
}

bool CDlgShortcut::OnCommand(WORD id, WORD notifyCode, HWND /*control*/)
{
    if (notifyCode != BN_CLICKED)
        return false;
    if (id == IDC_MENU_SHORTCUT) {
        OnMenuShortcutClicked();
        return true;
    }
    if (id == IDC_BROWSE) {
        OnBrowse();
        return true;
    }
    return false;
}

void CDlgShortcut::OnMenuShortcutClicked()
{
    const bool checked = ::SendMessageW(GetDlgItem(IDC_MENU_SHORTCUT), BM_GETCHECK, 0, 0) == BST_CHECKED;
    EnableDlgItem(IDC_MENU_FOLDER, checked);
    EnableDlgItem(IDC_BROWSE, checked);
}

void CDlgShortcut::OnBrowse()
{
    UpdateData(true);
    CInstallApp& app = GetInstallApp();
    std::wstring baseFolder = app.m_strMenuFolder;
    std::wstring relative;
    const std::wstring chosen =
        BrowseForMenuFolder(baseFolder, ProductDisplayName(g_productId), LoadLocalized(1112), &relative);
    if (chosen.empty())
        return;
    m_strMenuText = relative;
    app.m_strMenuFolder = chosen;
    UpdateData(false);
}
