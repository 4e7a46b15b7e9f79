#pragma once
// Page 3 (custom method only): the Start-menu and desktop shortcuts and the Start-menu folder,
// shown relative to the Start menu and changed only through the folder browser.
#include "framework/window.h"

#include <string>

class CDlgShortcut : public CDialog {
public:
    static constexpr UINT IDD = 134;

    CDlgShortcut() noexcept : CDialog(IDD) {}

    void SetTexts();
    void Stretch(int dw, int dh);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;

private:
    void OnMenuShortcutClicked();
    void OnBrowse();

    int m_nDesktopCheck = 0;
    int m_nMenuCheck = 0;
    std::wstring m_strMenuText;
    std::wstring m_strStartMenuRoot;
};
