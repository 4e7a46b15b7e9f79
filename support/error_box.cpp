// TODO(error reporting): the string ids carried in customer status codes, the 1815 and E_FAIL
// fallbacks, and the owner, modal-state and reading-order rules of message_box replace this
// first version, which shows the system's own text only.
#include "support/error_box.h"

#include "framework/unique_resource.h"
#include "framework/win_app.h"

std::wstring system_error_text(DWORD code, WORD languageId)
{
    vt::unique_hlocal buffer;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code,
        languageId, reinterpret_cast<LPWSTR>(buffer.put()), 0, nullptr);
    std::wstring text;
    if (length > 0)
        text.assign(static_cast<const wchar_t*>(buffer.get()), length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n'))
        text.pop_back();
    return text.empty() ? L"Error" : text;
}

void error_box(DWORD code)
{
    AfxMessageBox(system_error_text(code), MB_ICONWARNING | MB_OK);
}
