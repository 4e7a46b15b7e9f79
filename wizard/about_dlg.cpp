#include "wizard/about_dlg.h"

#include "app/file_version_info.h"
#include "app/languages.h"

namespace {
constexpr int IDC_PRODUCT_LINE = 1019;
constexpr int IDC_COPYRIGHT_LINE = 1020;
} // namespace

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    std::wstring caption = LoadLocalized(1003);
    if (caption.empty())
        caption = GetWindowText();
    SetWindowText(FormatText(caption, {GetInstallerTitle(false)}));

    // The installer's own lines do not depend on the language.
    const FileVersionInfo program = FileVersionInfo::OfProgram();
    if (const std::wstring product = program.GetDisplayVersion(); !product.empty())
        SetDlgItemText(IDC_PRODUCT_LINE, product);
    if (const std::wstring copyright = program.GetString(L"LegalCopyright"); !copyright.empty())
        SetDlgItemText(IDC_COPYRIGHT_LINE, copyright);

    SetDlgItemText(IDOK, LoadLocalized(1001));
    return TRUE;
}
