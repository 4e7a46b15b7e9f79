#pragma once
// Page 1: the fast method (the default folder and shortcuts) or the custom one.
#include "framework/window.h"

class CDlgMode : public CDialog {
public:
    static constexpr UINT IDD = 136;

    CDlgMode() noexcept : CDialog(IDD) {}

    void SetTexts();
    void Stretch(int dw, int dh);

protected:
    void DoDataExchange(CDataExchange& exchange) override;

private:
    int m_nMethod = -1; // the checked radio button: 0 fast, 1 custom
};
