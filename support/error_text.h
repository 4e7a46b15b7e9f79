#pragma once
// Text for people from error codes: the system's message table, and the program's own codes
// that carry a string id.
#include <windows.h>

#include <string>

// The system's text for a Windows error or status code, without trailing line breaks; the
// text of E_FAIL (or "Error") when the system has none.
std::wstring system_error_text(DWORD code, WORD languageId = 0);

// Codes with the customer bit (29) and bit 27 set carry a string id in their low word; the
// customer bit alone marks a code of ours without a text.
inline constexpr DWORD kCustomerCodeBit = 0x20000000;
inline constexpr DWORD kStringIdCodeBits = kCustomerCodeBit | 0x08000000;
constexpr DWORD MakeStringIdCode(WORD stringId) noexcept
{
    return 0x80000000 | kStringIdCodeBits | stringId;
}

// `text` without the carriage returns and line feeds at its end.
std::wstring without_trailing_line_breaks(std::wstring text);

// The text of an extended status code: the string it carries, or the system's text.
std::wstring hresult_text(DWORD code);
