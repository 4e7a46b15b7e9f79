#include "support/app_services.h"

#include "framework/win_app.h"

namespace {

// The framework's safe owner for a message box: the last active pop-up of the main window's (or
// the active window's) root owner. That root is disabled while the box is shown when it is not
// the owner itself, since the box only disables its direct owner; the caller enables it again.
OwnerWindows DefaultOwner()
{
    OwnerWindows windows;
    HWND root = nullptr;
    windows.owner = AfxGetSafeOwner(&root);
    if (root != nullptr && root != windows.owner && ::IsWindowEnabled(root)) {
        ::EnableWindow(root, FALSE);
        windows.topLevel = root;
    }
    return windows;
}

std::wstring ExceptionText(const std::exception& error)
{
    const char* what = error.what();
    const int length = ::MultiByteToWideChar(CP_ACP, 0, what, -1, nullptr, 0);
    if (length <= 1)
        return {};
    std::wstring text(static_cast<size_t>(length - 1), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, what, -1, text.data(), length);
    return text;
}

} // namespace

AppServices& GetAppServices()
{
    static AppServices services;
    return services;
}

void InstallDefaultAppServices()
{
    AppServices& services = GetAppServices();
    services.resourceModule = [] { return ::GetModuleHandleW(nullptr); };
    services.owner = &DefaultOwner;
    services.modalState = [](bool enable) {
        if (CWinApp* app = AfxGetApp())
            app->EnableModeless(enable);
    };
    services.caption = []() -> std::wstring {
        CWinApp* app = AfxGetApp();
        return app != nullptr && app->m_pszAppName != nullptr ? app->m_pszAppName : L"";
    };
    services.icon = []() -> HICON {
        CWinApp* app = AfxGetApp();
        if (app == nullptr || app->m_pMainWnd == nullptr)
            return nullptr;
        return static_cast<HICON>(::LoadImageW(app->m_hInstance, MAKEINTRESOURCEW(128), IMAGE_ICON, 0, 0,
                                               LR_DEFAULTSIZE | LR_SHARED));
    };
    services.exceptionText = &ExceptionText;
}
