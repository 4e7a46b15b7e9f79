#include "support/message_box.h"

#include "app/languages.h"
#include "support/app_services.h"
#include "support/error_text.h"

namespace {

constexpr UINT kIconBits = 0xF0;
constexpr UINT kButtonBits = 0x0F;

HWND RootOwner(HWND window)
{
    HWND root = ::GetAncestor(window, GA_ROOTOWNER);
    return root != nullptr ? root : window;
}

BOOL CALLBACK FindCaptionedRoot(HWND window, LPARAM found)
{
    HWND root = RootOwner(window);
    if ((::GetWindowLongPtrW(root, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) {
        *reinterpret_cast<HWND*>(found) = root;
        return FALSE;
    }
    return TRUE;
}

// Gives the application its modeless windows and the disabled top-level window back when the
// box has closed, however it closed.
class ModalStateGuard {
public:
    explicit ModalStateGuard(HWND topLevel) : m_topLevel(topLevel) { SetModalState(false); }
    ~ModalStateGuard()
    {
        if (m_topLevel != nullptr)
            ::EnableWindow(m_topLevel, TRUE);
        SetModalState(true);
    }
    ModalStateGuard(const ModalStateGuard&) = delete;
    ModalStateGuard& operator=(const ModalStateGuard&) = delete;

private:
    static void SetModalState(bool enable)
    {
        if (const auto& modalState = GetAppServices().modalState)
            modalState(enable);
    }
    HWND m_topLevel;
};

} // namespace

UINT MessageBoxType(UINT type, bool rightToLeft) noexcept
{
    if ((type & kIconBits) == 0) {
        switch (type & kButtonBits) {
        case MB_OK:
        case MB_OKCANCEL:
            type |= MB_ICONWARNING;
            break;
        case MB_YESNOCANCEL:
        case MB_YESNO:
            type |= MB_ICONQUESTION;
            break;
        default:
            break;
        }
    }
    if (rightToLeft)
        type |= MB_RTLREADING;
    return type;
}

bool ReadsRightToLeft(HWND owner)
{
    if (owner != nullptr)
        return (::GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
    return IsRightToLeft(DefaultLanguage(0));
}

HWND owner_window()
{
    HWND root = nullptr;
    if (HWND active = ::GetActiveWindow())
        root = RootOwner(active);
    else
        ::EnumThreadWindows(::GetCurrentThreadId(), &FindCaptionedRoot, reinterpret_cast<LPARAM>(&root));
    if (root == nullptr)
        return nullptr;
    HWND popup = ::GetLastActivePopup(root);
    return popup != nullptr ? popup : root;
}

int message_box(const wchar_t* text, UINT type)
{
    const AppServices& services = GetAppServices();
    OwnerWindows windows;
    if (services.owner)
        windows = services.owner();
    else
        windows.owner = owner_window();

    ModalStateGuard modalState(windows.topLevel);
    // The box re-enables its owner when it closes; the owner must be enabled for the focus to
    // come back to it.
    if (windows.owner != nullptr && windows.owner != windows.topLevel)
        ::EnableWindow(windows.owner, TRUE);

    const std::wstring caption = services.caption ? services.caption() : std::wstring();
    return ::MessageBoxW(windows.owner, text != nullptr ? text : L"", caption.c_str(),
                         MessageBoxType(type, ReadsRightToLeft(windows.owner)));
}

void error_box(DWORD code)
{
    message_box(hresult_text(code), MB_ICONWARNING);
}
