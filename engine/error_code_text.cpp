#include "engine/error_code_text.h"

#include "package/compress_error.h"

#include <cwchar>

namespace {

std::wstring Hexadecimal(const wchar_t* kind, int value)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"%ls:%08X", kind, static_cast<unsigned>(value));
    return text;
}

} // namespace

std::wstring ErrorCodeText(const std::error_code& error)
{
    if (error.category() == std::system_category())
        return Hexadecimal(L"1", error.value());
    if (error.category() == std::generic_category())
        return Hexadecimal(L"2", error.value());
    if (error.category() == compress_category())
        return std::to_wstring(error.value());
    return L"7";
}
