#include "wizard/dlg_start.h"

#include "app/install_app.h"
#include "app/languages.h"
#include "app/product_identity.h"
#include "framework/data_exchange.h"
#include "framework/gdi.h"
#include "framework/unique_resource.h"
#include "wizard/page_status.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

constexpr int IDC_LANGUAGE_LABEL = 1022;
constexpr int IDC_LANGUAGES = 1023;
constexpr int IDC_LEGAL_NOTICE = 1020;
constexpr int IDC_INFORMATION = 1016;

// The languages the page offers, in the order of the list.
constexpr int kOfferedLanguages[] = {kFrench, kEnglish, kGerman, kSpanish};

// Room for the flag and the margins around an item's text in the dropped-down list.
constexpr int kItemPadding = 30;

} // namespace

BOOL CDlgStart::OnInitDialog()
{
    CDialog::OnInitDialog();

    // With a mask, so that whatever of a cell a flag leaves free shows the list's background.
    m_flags.Create(18, 12, ILC_COLOR24 | ILC_MASK, 8, 1);
    m_languages.SetImageList(m_flags);

    int selected = -1;
    std::vector<std::wstring> names;
    for (int position = 0; position < static_cast<int>(std::size(kOfferedLanguages)); ++position) {
        const int index = kOfferedLanguages[position];
        names.push_back(LanguageDisplayName(index));
        AddLanguage(position, index, names.back());
        if (index == GetLanguageState().index)
            selected = position;
    }

    // The closed list may be narrower than the longest name: the dropped list is not.
    HWND combo = m_languages.GetComboBoxCtrl();
    if (const vt::window_dc dc(combo != nullptr ? combo : m_languages.GetSafeHwnd()); dc) {
        const vt::selected_object font(dc.get(), vt::WindowFont(m_hWnd));
        int droppedWidth = 0;
        for (const std::wstring& name : names)
            droppedWidth = std::max(droppedWidth, vt::TextWidth(dc.get(), name) + kItemPadding);
        m_languages.SetDroppedWidth(droppedWidth);
    }

    m_languages.SetCurSel(selected);
    return TRUE;
}

void CDlgStart::AddLanguage(int position, int index, const std::wstring& name)
{
    // Loaded at 16 x 12; the image list draws it into its 18 x 12 cell and keeps its own copy.
    int image = -1;
    if (const vt::unique_hicon flag(static_cast<HICON>(
            ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(GetLanguageInfo(index).flagIcon), IMAGE_ICON,
                         16, 12, 0)));
        flag)
        image = m_flags.Add(flag.get());

    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM;
    item.iItem = position;
    item.pszText = const_cast<wchar_t*>(name.c_str());
    item.iImage = image;
    item.iSelectedImage = image;
    item.lParam = index;
    m_languages.InsertItem(item);
}

void CDlgStart::DoDataExchange(CDataExchange& exchange)
{
    DDX_Control(exchange, IDC_LANGUAGES, m_languages);
}

void CDlgStart::SetTexts()
{
    CInstallApp& app = GetInstallApp();
    std::wstring installedVersion;
    const int mode = app.GetInstallMode(&installedVersion);
    const std::wstring product = GetProductName(false);
    const std::wstring next = LoadLocalized(1006);
    const std::wstring cancel = LoadLocalized(1002);

    std::wstring information;
    std::wstring status;
    switch (mode) {
    case ModeSame:
        information = FormatLocalized(1102, {product}) + L"\r\n" + LoadLocalized(1104);
        status = FormatLocalized(1105, {next, cancel});
        break;
    case ModeUpdate:
        information = FormatLocalized(1101, {installedVersion, product});
        status = FormatLocalized(1106, {next});
        break;
    case ModeNewer:
        information = FormatLocalized(1100, {product}) + L"\r\n" + FormatLocalized(1103, {installedVersion});
        status = FormatLocalized(1107, {cancel});
        break;
    case ModeFresh:
    default:
        information = FormatLocalized(1100, {product});
        status = FormatLocalized(1106, {next});
        break;
    }
    SetDlgItemText(IDC_LANGUAGE_LABEL, LoadLocalized(1014));
    SetDlgItemText(IDC_LEGAL_NOTICE, LoadLocalized(1109));
    SetDlgItemText(IDC_INFORMATION, information);
    SetDlgItemText(IDC_STATUS, status);
}

void CDlgStart::Stretch(int dw, int dh)
{
    OffsetChild(IDC_LANGUAGES, 0, 0, dw, 0);
    OffsetChild(IDC_LEGAL_NOTICE, 0, 0, dw, 0);
    OffsetChild(IDC_INFORMATION, 0, 0, dw, dh);
    OffsetChild(IDC_STATUS, 0, dh, dw, 0);
}

bool CDlgStart::OnCommand(WORD id, WORD notifyCode, HWND /*control*/)
{
    if (id == IDC_LANGUAGES && notifyCode == CBN_SELCHANGE) {
        OnLanguageChanged();
        return true;
    }
    return false;
}

void CDlgStart::OnLanguageChanged()
{
    const int position = m_languages.GetCurSel();
    if (position < 0)
        return;
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_LPARAM;
    item.iItem = position;
    if (!m_languages.GetItem(item))
        return;
    GetInstallApp().ChangeLanguage(static_cast<int>(item.lParam));
}
