#pragma once
// Page 4: what is about to be installed, the installation's transcript and progress, and the
// installation run itself.
#include "framework/controls.h"

#include <string>

class CDlgInstall : public CDialog {
public:
    static constexpr UINT IDD = 135;

    CDlgInstall() noexcept : CDialog(IDD) {}

    void SetTexts();
    void Stretch(int dw, int dh);

    // Appends `text` to the transcript; an empty text or a banner becomes a line of its own,
    // centred between dashes that fill the box.
    void AppendLog(std::wstring text, bool banner = false);

    // Runs the whole installation; true when the product is in place.
    bool RunInstallation();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;

private:
    void WriteSummary();

    CEdit m_editLog;
    CProgressCtrl m_progress;
};
