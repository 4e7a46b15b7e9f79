#pragma once
// Page 2 (custom method only): the installation folder, which can be changed only when the
// product is not installed yet.
#include "framework/window.h"

#include <string>

class CDlgPath : public CDialog {
public:
    static constexpr UINT IDD = 133;

    CDlgPath() noexcept : CDialog(IDD) {}

    void SetTexts();
    void Stretch(int dw, int dh);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;

private:
    void OnBrowse();

    std::wstring m_strFolder;
};
