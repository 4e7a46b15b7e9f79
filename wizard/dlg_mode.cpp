#include "wizard/dlg_mode.h"

#include "app/install_app.h"
#include "app/languages.h"
#include "framework/data_exchange.h"
#include "wizard/page_status.h"

namespace {
constexpr int IDC_METHOD_GROUP = 1021;
constexpr int IDC_FAST = 1018;
constexpr int IDC_CUSTOM = 1019;
} // namespace

void CDlgMode::DoDataExchange(CDataExchange& exchange)
{
    CInstallApp& app = GetInstallApp();
    if (!exchange.m_bSaveAndValidate)
        m_nMethod = app.m_bCustomMode ? 1 : 0;
    DDX_Radio(exchange, IDC_FAST, m_nMethod);
    if (exchange.m_bSaveAndValidate)
        app.m_bCustomMode = m_nMethod == 1;
}

void CDlgMode::SetTexts()
{
    SetDlgItemText(IDC_METHOD_GROUP, LoadLocalized(1015));
    SetDlgItemText(IDC_FAST, LoadLocalized(1016));
    SetDlgItemText(IDC_CUSTOM, LoadLocalized(1017));
    SetDlgItemText(IDC_STATUS, NextInvitation());
}

void CDlgMode::Stretch(int dw, int dh)
{
    OffsetChild(IDC_METHOD_GROUP, 0, 0, dw, 0);
    OffsetChild(IDC_FAST, 0, 0, dw, 0);
    OffsetChild(IDC_CUSTOM, 0, 0, dw, 0);
    OffsetChild(IDC_STATUS, 0, dh, dw, 0);
}
