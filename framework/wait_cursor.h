#pragma once
// The hourglass while a long step runs on the window thread. A plain SetCursor lasts only until
// the mouse moves; so while any CWaitCursor lives, the framework's dialogs answer WM_SETCURSOR
// with the hourglass too (window.cpp).
#include <windows.h>

class CWaitCursor {
public:
    CWaitCursor() noexcept
    {
        ++s_active;
        m_previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    }
    ~CWaitCursor()
    {
        --s_active;
        ::SetCursor(s_active > 0 ? ::LoadCursorW(nullptr, IDC_WAIT) : m_previous);
    }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    static bool Active() noexcept { return s_active > 0; }

private:
    inline static int s_active = 0;
    HCURSOR m_previous = nullptr;
};
