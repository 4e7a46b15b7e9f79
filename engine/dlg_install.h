#pragma once
// Page 4: what is about to be installed, the installation's transcript and progress, and the
// installation run itself.
#include "framework/controls.h"
#include "package/notification.h"

#include <istream>
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

    // Runs the whole installation; true when the product is in place. On false, everything the
    // run changed has been undone.
    bool RunInstallation();

    // Dispatches what waits in the thread's queue, so that the wizard repaints between files.
    static void PumpMessages();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;

private:
    friend class InstallationCallback;

    void WriteSummary();
    // The status line under the progress bar, which every page has under the same id.
    HWND StatusLine() const;
    void SetStatus(const std::wstring& text);
    // Steps of the run that may fail; each reports its own line.
    bool Extract();
    void CreateShortcuts();
    bool Register();
    void SaveRemovalLog();

    // The extraction's notifications.
    notification::result OnStarted(std::istream& package);
    notification::result OnFileStarted(const package_entry& entry);
    notification::result OnFileFinished(const package_entry& entry);
    notification::result OnProgress(std::uint64_t position, std::uint64_t total);
    notification::result OnFailed(const std::error_code& error);

    CEdit m_editLog;
    CProgressCtrl m_progress;
    std::wstring m_strProgramPath;
    std::wstring m_strUninstallerPath;
};
