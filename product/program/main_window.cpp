#include "product/program/main_window.h"

namespace standin {
namespace {

constexpr wchar_t kWindowClass[] = L"OstrelStandInWindow";
constexpr int kTextId = 100;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        HWND text = ::CreateWindowExW(0, L"STATIC", L"This program stands in for the main program of Ostrel 4.",
                                      WS_CHILD | WS_VISIBLE | SS_LEFT, 16, 16, 400, 20, window,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)), creation->hInstance,
                                      nullptr);
        if (text == nullptr)
            return -1;
        ::SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return 0;
    }
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int RunMainWindow(HINSTANCE instance, const std::wstring& title, int showCommand)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    if (::RegisterClassExW(&windowClass) == 0)
        return 1;
    HWND window = ::CreateWindowExW(0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                    460, 120, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return 1;
    ::ShowWindow(window, showCommand);
    ::UpdateWindow(window);

    MSG message;
    BOOL received;
    while ((received = ::GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (received == -1)
            return 1;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace standin
