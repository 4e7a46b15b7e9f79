#pragma once
// CWinApp: the program's one application object. Its constructor makes it the current
// application; wWinMain (win_main.cpp) calls InitInstance and ends the process with the
// framework's default exit status when that returns FALSE.
#include <windows.h>

#include <string>

class CWnd;

class CWinApp {
public:
    // appName null: the application name is the program file's name without extension.
    explicit CWinApp(const wchar_t* appName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    virtual BOOL InitInstance() { return TRUE; }
    // The message loop, run only when InitInstance returns TRUE.
    virtual int Run();
    virtual int ExitInstance() { return 0; }
    // Offered every message a loop of the program's own takes from the queue, before it is
    // dispatched; true when consumed. The main window's dialog keys (Tab, Enter, Escape, mnemonics)
    // are handled here, as the modal dialog's own loop would.
    virtual BOOL PreTranslateMessage(MSG* message);
    // Enables or disables the application's modeless windows while a modal box is shown; this
    // program has none besides the children of its dialogs, which their owner covers.
    virtual void EnableModeless(bool /*enable*/) {}

    // Replaces m_pszAppName; the caption of every later framework message box.
    void SetAppName(std::wstring name);

    // The framework message box: owned by the safe owner, captioned with m_pszAppName.
    int DoMessageBox(const std::wstring& text, UINT type) const;

    const wchar_t* m_pszAppName = nullptr;
    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;

private:
    std::wstring m_appName;
};

CWinApp* AfxGetApp() noexcept;
// The running program's file name without folder and extension.
std::wstring AfxGetProgramFileStem();
int AfxMessageBox(const std::wstring& text, UINT type = MB_OK);

// The window that should own a message box: the last active pop-up of the main window's (or,
// without one, the active window's) root owner, or null. With `rootOwner`, also that root.
HWND AfxGetSafeOwner(HWND* rootOwner = nullptr) noexcept;
