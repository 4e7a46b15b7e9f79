#include "engine/dlg_install.h"

#include "app/install_app.h"
#include "app/languages.h"
#include "app/product_identity.h"
#include "engine/log_banner.h"
#include "framework/data_exchange.h"
#include "framework/gdi.h"

#include <shlwapi.h>

namespace {

constexpr int IDC_LOG = 1015;
constexpr int IDC_PROGRESS = 1014;
constexpr int IDC_STATUS = 1003;
constexpr wchar_t kLineBreak[] = L"\r\n";

// A path as the system quotes it for a command line: in quotes only when it holds a blank.
std::wstring QuotedPath(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH] = {};
    if (path.size() + 2 >= MAX_PATH)
        return path; // no room for the quotes: shown as it is
    path.copy(buffer, path.size());
    ::PathQuoteSpacesW(buffer);
    return buffer;
}

} // namespace

BOOL CDlgInstall::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_progress.SetRange(0, 100);
    m_progress.ShowWindow(SW_HIDE);
    return TRUE;
}

void CDlgInstall::DoDataExchange(CDataExchange& exchange)
{
    DDX_Control(exchange, IDC_LOG, m_editLog);
    DDX_Control(exchange, IDC_PROGRESS, m_progress);
    // Before a successful installation every visit shows the options as they are now; after
    // it the page keeps its transcript.
    if (!exchange.m_bSaveAndValidate && !GetInstallApp().m_bInstallDone)
        WriteSummary();
}

void CDlgInstall::WriteSummary()
{
    const CInstallApp& app = GetInstallApp();
    m_editLog.SetWindowText(L"");
    AppendLog(FormatLocalized(1100, {GetProductName(false)}) + kLineBreak);
    AppendLog(LoadLocalized(1122), true);
    AppendLog(FormatLocalized(1123, {QuotedPath(app.m_strInstallFolder)}) + kLineBreak);
    if (app.m_bMenuShortcut)
        AppendLog(FormatLocalized(1124, {QuotedPath(app.m_strMenuFolder)}) + kLineBreak);
    if (app.m_bDesktopShortcut)
        AppendLog(LoadLocalized(1125) + kLineBreak);
    m_editLog.LineScroll(-m_editLog.GetFirstVisibleLine()); // back to the first line
}

void CDlgInstall::SetTexts()
{
    SetDlgItemText(IDC_STATUS, FormatLocalized(1108, {LoadLocalized(1007)}));
}

void CDlgInstall::Stretch(int dw, int dh)
{
    OffsetChild(IDC_LOG, 0, 0, dw, dh);
    OffsetChild(IDC_PROGRESS, 0, dh, dw, 0);
    OffsetChild(IDC_STATUS, 0, dh, dw, 0);
}

void CDlgInstall::AppendLog(std::wstring text, bool banner)
{
    if (text.empty() || banner) {
        RECT client{};
        ::GetClientRect(m_editLog.GetSafeHwnd(), &client);
        const DWORD margins = m_editLog.GetMargins();
        const int available = static_cast<int>(client.right - client.left) - LOWORD(margins) - HIWORD(margins) - 2;

        BannerDashes dashes;
        if (const vt::window_dc dc(m_editLog.GetSafeHwnd()); dc) {
            const vt::selected_object font(dc.get(), vt::WindowFont(m_hWnd));
            const int textWidth = text.empty() ? 0 : vt::TextWidth(dc.get(), L" " + text + L" ");
            dashes = ComputeBannerDashes(available, !text.empty(), textWidth, vt::TextWidth(dc.get(), L"-"));
        }
        text = BannerLine(text, dashes) + kLineBreak;
    }
    const int end = m_editLog.GetWindowTextLength();
    m_editLog.SetSel(end, end, true);
    m_editLog.ReplaceSel(text);
    m_editLog.LineScroll(1);
}

bool CDlgInstall::RunInstallation()
{
    // TODO(engine): the installation run. Until it exists, say so where the run would report.
    const std::wstring text = L"Installation is not available in this build.";
    AppendLog(L"", true);
    AppendLog(text + kLineBreak);
    SetDlgItemText(IDC_STATUS, text);
    return false;
}
