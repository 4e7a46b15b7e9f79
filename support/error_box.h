#pragma once
#include <windows.h>

#include <string>

// The system's text for a Windows error or status code, without its trailing line breaks.
std::wstring system_error_text(DWORD code, WORD languageId = 0);

// Shows the text of `code` with a warning icon and an OK button, captioned with the application
// name.
void error_box(DWORD code);
