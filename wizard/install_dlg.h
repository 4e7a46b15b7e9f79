#pragma once
// The installer's wizard: the only top-level window, built from template 102.
// TODO(wizard): the six pages, their sequence, the localized button labels, the exit
// confirmation and the About entry replace this frame, which shows the empty wizard with its
// three buttons and lets the user leave.
#include "app/localized_window.h"
#include "framework/window.h"

class CInstallDlg : public CDialog, public LocalizedWindow {
public:
    static constexpr UINT IDD = 102;
    static constexpr int IDC_BACK = 3;

    CInstallDlg() noexcept : CDialog(IDD) {}

    void UpdateAllTexts() override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
};
