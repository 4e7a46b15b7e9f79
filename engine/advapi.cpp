#include "engine/advapi.h"

namespace {

// The module stays loaded for the rest of the process: resolved addresses point into it.
HMODULE SystemModule(const wchar_t* name)
{
    if (HMODULE loaded = ::GetModuleHandleW(name))
        return loaded;
    if (HMODULE loaded = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS))
        return loaded;
    // Systems without the safe search flags refuse it with ERROR_INVALID_PARAMETER.
    if (HMODULE loaded = ::LoadLibraryW(name))
        return loaded;
    throw static_cast<HRESULT>(E_UNEXPECTED);
}

} // namespace

void ResolveSystemEntry(FARPROC& slot, const wchar_t* module, const char* name)
{
    if (slot != nullptr)
        return;
    FARPROC address = ::GetProcAddress(SystemModule(module), name);
    if (address == nullptr)
        throw static_cast<HRESULT>(E_NOTIMPL);
    slot = address;
}

void ResolveAdvapi(FARPROC& slot, const char* name)
{
    ResolveSystemEntry(slot, L"advapi32.dll", name);
}

void ThrowLastErrorHresult()
{
    const DWORD error = ::GetLastError();
    throw static_cast<HRESULT>(error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error));
}

std::error_code SystemErrorOfHresult(HRESULT error) noexcept
{
    const int code = HRESULT_FACILITY(error) == FACILITY_WIN32 ? HRESULT_CODE(error) : static_cast<int>(error);
    return {code, std::system_category()};
}
