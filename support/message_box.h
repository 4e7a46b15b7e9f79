#pragma once
// Message boxes with the right owner, icon, reading order and caption, and the window that
// should own shell dialogs and boxes.
#include <windows.h>

#include <string>

// Shows `text` (null shows as empty) captioned with the application's title and returns the
// id of the button that closed the box. Without icon bits, OK and OK/Cancel boxes get the
// warning icon and Yes/No(/Cancel) boxes the question icon.
int message_box(const wchar_t* text, UINT type);
inline int message_box(const std::wstring& text, UINT type)
{
    return message_box(text.c_str(), type);
}

// The text of `code` (hresult_text) with the warning icon and an OK button.
void error_box(DWORD code);

// The calling thread's window to own a box or a shell dialog: the last active pop-up of the
// active window's root owner, or of the first captioned top-level window; null when none.
HWND owner_window();

// The type that message_box shows: the icon rule and the right-to-left rule applied.
UINT MessageBoxType(UINT type, bool rightToLeft) noexcept;
// Whether a box owned by `owner` reads right to left: as the owner is laid out, or without an
// owner, as the language picked from the user's own is written.
bool ReadsRightToLeft(HWND owner);
