#pragma once
// One small owning type per handle kind, each closed in its destructor; the invalid value is
// part of the type, so an owner cannot confuse NULL with INVALID_HANDLE_VALUE.
#include <windows.h>
#include <objbase.h>

#include <utility>

namespace vt {

template <typename Traits>
class unique_any {
public:
    using pointer = typename Traits::type;

    unique_any() noexcept : value_(Traits::invalid()) {}
    explicit unique_any(pointer value) noexcept : value_(value) {}
    unique_any(unique_any&& other) noexcept : value_(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    ~unique_any() { reset(); }

    pointer get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

    pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }
    void reset(pointer value = Traits::invalid()) noexcept
    {
        pointer old = std::exchange(value_, value);
        if (old != Traits::invalid())
            Traits::close(old);
    }
    // For out-parameters: closes what is held and hands out the slot.
    pointer* put() noexcept
    {
        reset();
        return &value_;
    }

private:
    pointer value_;
};

struct handle_traits {
    using type = HANDLE;
    static HANDLE invalid() noexcept { return nullptr; }
    static void close(HANDLE handle) noexcept { ::CloseHandle(handle); }
};
struct hfile_traits {
    using type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE handle) noexcept { ::CloseHandle(handle); }
};
struct hkey_traits {
    using type = HKEY;
    static HKEY invalid() noexcept { return nullptr; }
    static void close(HKEY key) noexcept { ::RegCloseKey(key); }
};
struct hlocal_traits {
    using type = HLOCAL;
    static HLOCAL invalid() noexcept { return nullptr; }
    static void close(HLOCAL memory) noexcept { ::LocalFree(memory); }
};
struct cotaskmem_string_traits {
    using type = PWSTR;
    static PWSTR invalid() noexcept { return nullptr; }
    static void close(PWSTR text) noexcept { ::CoTaskMemFree(text); }
};
struct hmodule_traits {
    using type = HMODULE;
    static HMODULE invalid() noexcept { return nullptr; }
    static void close(HMODULE module) noexcept { ::FreeLibrary(module); }
};

using unique_handle = unique_any<handle_traits>;            // events, mutexes, semaphores, processes
using unique_hfile = unique_any<hfile_traits>;              // CreateFileW results
using unique_hkey = unique_any<hkey_traits>;
using unique_hlocal = unique_any<hlocal_traits>;            // LocalAlloc / FormatMessage / security blocks
using unique_cotaskmem_string = unique_any<cotaskmem_string_traits>;
using unique_hmodule = unique_any<hmodule_traits>;          // LoadLibrary results only

// Runs a one-off clean-up when the scope ends, on every path.
template <typename Function>
class scope_exit {
public:
    explicit scope_exit(Function function) noexcept : function_(std::move(function)) {}
    scope_exit(const scope_exit&) = delete;
    scope_exit& operator=(const scope_exit&) = delete;
    ~scope_exit() { function_(); }

private:
    Function function_;
};

} // namespace vt
