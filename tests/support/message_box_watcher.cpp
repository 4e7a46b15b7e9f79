#include "tests/support/message_box_watcher.h"

namespace testsupport {
namespace {

BOOL CALLBACK FindBox(HWND window, LPARAM found)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId == ::GetCurrentProcessId() && ::IsWindowVisible(window) && IsSystemMessageBox(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// The icon of the box: its static control in icon mode (the control's id differs between
// systems).
BOOL CALLBACK FindIcon(HWND control, LPARAM icon)
{
    wchar_t className[16] = {};
    ::GetClassNameW(control, className, 16);
    if (_wcsicmp(className, L"Static") == 0 && (::GetWindowLongPtrW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HICON*>(icon) = reinterpret_cast<HICON>(::SendMessageW(control, STM_GETICON, 0, 0));
        return FALSE;
    }
    return TRUE;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[2048] = {};
    ::GetWindowTextW(window, text, 2048);
    return text;
}

} // namespace

bool IsSystemMessageBox(HWND window)
{
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    return std::wstring(className) == L"#32770" && ::GetDlgItem(window, kMessageBoxTextId) != nullptr;
}

MessageBoxWatcher::MessageBoxWatcher(int answer, DWORD timeoutMilliseconds)
    : m_thread([this, answer, timeoutMilliseconds] {
          for (DWORD waited = 0; waited < timeoutMilliseconds && !m_stop; waited += 50) {
              HWND box = nullptr;
              ::EnumWindows(&FindBox, reinterpret_cast<LPARAM>(&box));
              if (box == nullptr) {
                  ::Sleep(50);
                  continue;
              }
              SeenMessageBox seen;
              seen.caption = TextOf(box);
              seen.text = TextOf(::GetDlgItem(box, kMessageBoxTextId));
              seen.owner = ::GetWindow(box, GW_OWNER);
              ::EnumChildWindows(box, &FindIcon, reinterpret_cast<LPARAM>(&seen.icon));
              m_seen = seen;
              ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
              return;
          }
      })
{
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    if (m_thread.joinable())
        m_thread.join();
}

const std::optional<SeenMessageBox>& MessageBoxWatcher::Seen()
{
    if (m_thread.joinable())
        m_thread.join();
    return m_seen;
}

const std::optional<SeenMessageBox>& MessageBoxWatcher::StopWatching()
{
    m_stop = true;
    return Seen();
}

} // namespace testsupport
