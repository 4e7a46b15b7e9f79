#pragma once
// The about box of the frame's system menu: the installer's own name, version and copyright.
#include "framework/window.h"

class CAboutDlg : public CDialog {
public:
    static constexpr UINT IDD = 100;

    CAboutDlg() noexcept : CDialog(IDD) {}

protected:
    BOOL OnInitDialog() override;
};
