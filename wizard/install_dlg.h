#pragma once
// The installer's wizard: the only top-level window. It hosts the six pages as child dialogs,
// one shown at a time to the right of the side picture, and owns the navigation: which page
// comes next, what the three buttons say and allow, and when leaving needs a confirmation.
#include "app/localized_window.h"
#include "engine/dlg_install.h"
#include "framework/window.h"
#include "wizard/dlg_end.h"
#include "wizard/dlg_mode.h"
#include "wizard/dlg_path.h"
#include "wizard/dlg_shortcut.h"
#include "wizard/dlg_start.h"
#include "wizard/page_sequence.h"

#include <array>
#include <string>

class CInstallDlg : public CDialog, public LocalizedWindow {
public:
    static constexpr UINT IDD = 102;
    static constexpr int IDC_BACK = 3;
    static constexpr UINT IDM_ABOUTBOX = 0x0010;

    CInstallDlg() noexcept : CDialog(IDD) {}

    // Leaves the current page (which may refuse) and shows page `index`, passing over the
    // pages that the fast method skips.
    bool SetActivePage(int index);
    void UpdateButtonTexts();
    void UpdateAllTexts() override;

    int GetActiveIndex() const noexcept { return m_nCurrentPage; }

    // The About entry of the system menu in the current language; empty when there is none.
    static std::wstring AboutEntryText();

protected:
    INT_PTR WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;

private:
    bool CreatePages();
    void LayOutPages();
    void StretchPage(int index, int dw, int dh);
    void SetPageTexts(int index);
    void FocusDefaultButton(int id);
    void OnBack();
    bool OnSysCommand(UINT id);
    void OnInitMenuPopup(HMENU menu, bool isSystemMenu);
    void OnGetMinMaxInfo(MINMAXINFO& info);

    CDlgStart m_dlgStart;
    CDlgMode m_dlgMode;
    CDlgPath m_dlgPath;
    CDlgShortcut m_dlgShortcut;
    CDlgInstall m_dlgInstall;
    CDlgEnd m_dlgEnd;
    std::array<CDialog*, wizard::kPageCount> m_pages{};
    int m_nCurrentPage = -1;
};
