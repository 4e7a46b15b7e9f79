#pragma once
// The security entry points of the system, resolved one by one from advapi32.dll at first use,
// so that a missing entry point is an ordinary error of the operation that needs it rather than a
// program that does not start.
//
// Failures of the security helpers travel as HRESULT values thrown as integers: a failing call
// gives HRESULT_FROM_WIN32 of its last error, exhausted memory E_OUTOFMEMORY, a module that cannot
// be loaded E_UNEXPECTED, a missing entry point E_NOTIMPL.
#include <windows.h>

#include <system_error>

// Finds advapi32.dll (already loaded; else from the system's default folders; else by the default
// search order), looks up `name` and stores its address in `slot`. Nothing to do when `slot`
// already holds one. Throws E_UNEXPECTED or E_NOTIMPL.
void ResolveAdvapi(FARPROC& slot, const char* name);

// The same for an entry point of another system module.
void ResolveSystemEntry(FARPROC& slot, const wchar_t* module, const char* name);

// Throws HRESULT_FROM_WIN32(GetLastError()), or E_FAIL when the call left no error.
[[noreturn]] void ThrowLastErrorHresult();

// The system error an HRESULT stands for: the Win32 code of a facility-Win32 value, else the
// HRESULT itself (the system's message table knows both).
std::error_code SystemErrorOfHresult(HRESULT error) noexcept;

// One entry point, typed by its declaration in the system headers:
//   inline SystemEntry<decltype(::GetAce)> GetAce{"GetAce"};
//   GetAce.Call(acl, index, &ace);       // throws when it cannot be resolved
template <typename Function>
class SystemEntry {
public:
    constexpr explicit SystemEntry(const char* name, const wchar_t* module = nullptr) noexcept
        : m_name(name), m_module(module)
    {
    }

    Function* Resolve()
    {
        if (m_module == nullptr)
            ResolveAdvapi(m_slot, m_name);
        else
            ResolveSystemEntry(m_slot, m_module, m_name);
        return reinterpret_cast<Function*>(reinterpret_cast<void*>(m_slot));
    }

    // For entry points whose absence has a fallback.
    bool Available() noexcept
    {
        try {
            Resolve();
            return true;
        } catch (HRESULT) {
            return false;
        }
    }

    template <typename... Arguments>
    auto Call(Arguments... arguments)
    {
        return Resolve()(arguments...);
    }

    // Calls an entry point that reports failure by returning FALSE; throws the last error.
    template <typename... Arguments>
    void Check(Arguments... arguments)
    {
        if (!Resolve()(arguments...))
            ThrowLastErrorHresult();
    }

private:
    const char* m_name;
    const wchar_t* m_module;
    FARPROC m_slot = nullptr; // kept for the rest of the process's life
};
