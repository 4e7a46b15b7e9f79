#include "support/error_text.h"

#include "framework/unique_resource.h"
#include "support/resource_lookup.h"

#include <utility>

namespace {

constexpr DWORD kFail = static_cast<DWORD>(E_FAIL);

bool FormatSystemMessage(DWORD code, WORD languageId, std::wstring& text)
{
    vt::unique_hlocal buffer;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code,
        languageId, reinterpret_cast<LPWSTR>(buffer.put()), 0, nullptr);
    if (length == 0 || !buffer)
        return false;
    text.assign(static_cast<const wchar_t*>(buffer.get()), length);
    return true;
}

} // namespace

std::wstring without_trailing_line_breaks(std::wstring text)
{
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n'))
        text.pop_back();
    return text;
}

std::wstring system_error_text(DWORD code, WORD languageId)
{
    std::wstring text;
    bool found = FormatSystemMessage(code, languageId, text);
    // The message exists, but not in that language: let the system choose one.
    if (!found && ::GetLastError() == ERROR_RESOURCE_LANG_NOT_FOUND)
        found = FormatSystemMessage(code, 0, text);
    if (found)
        return without_trailing_line_breaks(std::move(text));
    if (code == kFail)
        return L"Error";
    return system_error_text(kFail, languageId);
}

std::wstring hresult_text(DWORD code)
{
    if ((code & kCustomerCodeBit) == 0)
        return system_error_text(code, 0);
    if ((code & kStringIdCodeBits) == kStringIdCodeBits) {
        if (std::wstring text = load_resource_string(code & 0xFFFF); !text.empty())
            return text;
    }
    return system_error_text(kFail, 0);
}
