#include "framework/win_app.h"

#include "framework/window.h"

#include <filesystem>

namespace {
CWinApp* g_currentApp = nullptr;
} // namespace

std::wstring AfxGetProgramFileStem()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).stem().wstring();
}

CWinApp::CWinApp(const wchar_t* appName)
    : m_hInstance(::GetModuleHandleW(nullptr))
{
    g_currentApp = this;
    SetAppName(appName != nullptr ? std::wstring(appName) : AfxGetProgramFileStem());
}

CWinApp::~CWinApp()
{
    if (g_currentApp == this)
        g_currentApp = nullptr;
}

int CWinApp::Run()
{
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return ExitInstance();
}

void CWinApp::SetAppName(std::wstring name)
{
    m_appName = std::move(name);
    m_pszAppName = m_appName.c_str();
}

int CWinApp::DoMessageBox(const std::wstring& text, UINT type) const
{
    return ::MessageBoxW(AfxGetSafeOwner(), text.c_str(), m_pszAppName, type);
}

CWinApp* AfxGetApp() noexcept { return g_currentApp; }

int AfxMessageBox(const std::wstring& text, UINT type)
{
    if (CWinApp* app = AfxGetApp())
        return app->DoMessageBox(text, type);
    return ::MessageBoxW(nullptr, text.c_str(), nullptr, type);
}

HWND AfxGetSafeOwner(HWND* rootOwner) noexcept
{
    if (rootOwner != nullptr)
        *rootOwner = nullptr;
    HWND window = nullptr;
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd != nullptr)
        window = app->m_pMainWnd->GetSafeHwnd();
    if (window == nullptr)
        window = ::GetActiveWindow();
    if (window == nullptr)
        return nullptr;
    HWND root = ::GetAncestor(window, GA_ROOTOWNER);
    if (root == nullptr)
        root = window;
    if (rootOwner != nullptr)
        *rootOwner = root;
    return ::GetLastActivePopup(root);
}

BOOL CWinApp::PreTranslateMessage(MSG* message)
{
    HWND main = m_pMainWnd != nullptr ? m_pMainWnd->GetSafeHwnd() : nullptr;
    return main != nullptr && ::IsDialogMessageW(main, message);
}
