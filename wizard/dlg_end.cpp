#include "wizard/dlg_end.h"

#include "app/install_app.h"
#include "app/languages.h"
#include "framework/data_exchange.h"
#include "wizard/page_status.h"

namespace {
constexpr int IDC_RESULT = 1016;
} // namespace

void CDlgEnd::DoDataExchange(CDataExchange& exchange)
{
    if (!exchange.m_bSaveAndValidate && GetInstallApp().m_bInstallDone)
        SetDlgItemText(IDC_RESULT, LoadLocalized(1120));
}

void CDlgEnd::SetTexts()
{
    SetDlgItemText(IDC_RESULT, L"");
    SetDlgItemText(IDC_STATUS, FormatLocalized(1107, {LoadLocalized(1004)}));
}

void CDlgEnd::Stretch(int dw, int dh)
{
    OffsetChild(IDC_RESULT, 0, 0, dw, dh);
    OffsetChild(IDC_STATUS, 0, dh, dw, 0);
}
