#pragma once
// Page 5, shown after a successful installation: the result and how to leave.
#include "framework/window.h"

class CDlgEnd : public CDialog {
public:
    static constexpr UINT IDD = 137;

    CDlgEnd() noexcept : CDialog(IDD) {}

    void SetTexts();
    void Stretch(int dw, int dh);

protected:
    void DoDataExchange(CDataExchange& exchange) override;
};
