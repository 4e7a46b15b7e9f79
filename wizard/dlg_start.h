#pragma once
// Page 0: what is about to happen, the legal notice, and the language the installer speaks.
#include "framework/controls.h"

#include <string>

class CDlgStart : public CDialog {
public:
    static constexpr UINT IDD = 132;

    CDlgStart() noexcept : CDialog(IDD) {}
    // The list's window goes before the image list it draws from.
    ~CDlgStart() override { DestroyWindow(); }

    void SetTexts();
    void Stretch(int dw, int dh);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;

private:
    void AddLanguage(int position, int index, const std::wstring& name);
    void OnLanguageChanged();

    CComboBoxEx m_languages;
    CImageList m_flags;
};
