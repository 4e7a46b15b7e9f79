#pragma once
// Owners for the GDI state that text measurement borrows: a window's device context and an
// object selected into it, each given back in its destructor.
#include <windows.h>

#include <string_view>

namespace vt {

class window_dc {
public:
    explicit window_dc(HWND window) noexcept : m_window(window), m_dc(::GetDC(window)) {}
    window_dc(const window_dc&) = delete;
    window_dc& operator=(const window_dc&) = delete;
    ~window_dc()
    {
        if (m_dc != nullptr)
            ::ReleaseDC(m_window, m_dc);
    }
    HDC get() const noexcept { return m_dc; }
    explicit operator bool() const noexcept { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};

class selected_object {
public:
    selected_object(HDC dc, HGDIOBJ object) noexcept : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    selected_object(const selected_object&) = delete;
    selected_object& operator=(const selected_object&) = delete;
    ~selected_object()
    {
        if (m_previous != nullptr && m_previous != HGDI_ERROR)
            ::SelectObject(m_dc, m_previous);
    }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// The width of `text` in pixels as `dc` draws it; 0 when it cannot be measured.
inline int TextWidth(HDC dc, std::wstring_view text) noexcept
{
    SIZE size{};
    if (!::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size))
        return 0;
    return size.cx;
}

// The font a window draws its text with (WM_GETFONT); null means the system font.
inline HFONT WindowFont(HWND window) noexcept
{
    return reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
}

} // namespace vt
