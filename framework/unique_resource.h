#pragma once
// One small owning type per handle kind, each closed in its destructor; the invalid value is
// part of the type's traits, so a kind whose invalid value is INVALID_HANDLE_VALUE (file
// handles, find handles) gets traits of its own rather than being confused with NULL.
#include <windows.h>
#include <objbase.h>
#include <shtypes.h>

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

// Traits of a handle kind whose invalid value is null, closed by `Close`.
template <typename T, auto Close>
struct null_handle_traits {
    using type = T;
    static T invalid() noexcept { return nullptr; }
    static void close(T value) noexcept { Close(value); }
};
using unique_handle = unique_any<null_handle_traits<HANDLE, &::CloseHandle>>; // events, mutexes, processes
using unique_hkey = unique_any<null_handle_traits<HKEY, &::RegCloseKey>>;
using unique_hlocal = unique_any<null_handle_traits<HLOCAL, &::LocalFree>>;    // FormatMessage, security blocks
using unique_cotaskmem_string = unique_any<null_handle_traits<PWSTR, &::CoTaskMemFree>>;
using unique_pidl = unique_any<null_handle_traits<PIDLIST_ABSOLUTE, &::CoTaskMemFree>>; // shell item ids
using unique_hmodule = unique_any<null_handle_traits<HMODULE, &::FreeLibrary>>; // LoadLibrary results only
using unique_hicon = unique_any<null_handle_traits<HICON, &::DestroyIcon>>;      // not for LR_SHARED icons
using unique_hbitmap = unique_any<null_handle_traits<HBITMAP, &::DeleteObject>>;
using unique_hdc = unique_any<null_handle_traits<HDC, &::DeleteDC>>;             // CreateCompatibleDC results only

// File handles from CreateFile, whose invalid value is INVALID_HANDLE_VALUE, not null.
struct file_handle_traits {
    using type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE value) noexcept { ::CloseHandle(value); }
};
using unique_hfile = unique_any<file_handle_traits>;

// One initialization of COM on the calling thread, undone on the same thread. CoInitializeEx
// owes a CoUninitialize for S_FALSE (already initialized in that model) as much as for S_OK;
// a failure, RPC_E_CHANGED_MODE for a thread already in the other model included, owes none.
class unique_com_init {
public:
    unique_com_init() noexcept = default;
    unique_com_init(const unique_com_init&) = delete;
    unique_com_init& operator=(const unique_com_init&) = delete;
    ~unique_com_init() { reset(); }

    // Initializes COM in `model` unless this object already holds an initialization.
    HRESULT initialize(DWORD model) noexcept
    {
        if (m_initialized)
            return S_FALSE;
        const HRESULT result = ::CoInitializeEx(nullptr, model);
        m_initialized = SUCCEEDED(result);
        return result;
    }
    explicit operator bool() const noexcept { return m_initialized; }
    void reset() noexcept
    {
        if (std::exchange(m_initialized, false))
            ::CoUninitialize();
    }

private:
    bool m_initialized = false;
};

// One reference to a COM object, released by its owner.
template <typename Interface>
class com_ptr {
public:
    com_ptr() noexcept = default;
    com_ptr(const com_ptr&) = delete;
    com_ptr& operator=(const com_ptr&) = delete;
    ~com_ptr() { reset(); }

    Interface* get() const noexcept { return m_pointer; }
    Interface* operator->() const noexcept { return m_pointer; }
    explicit operator bool() const noexcept { return m_pointer != nullptr; }
    // The address for a call that hands out a new reference; the old one is released first.
    void** put_void() noexcept
    {
        reset();
        return reinterpret_cast<void**>(&m_pointer);
    }
    void reset() noexcept
    {
        if (Interface* pointer = std::exchange(m_pointer, nullptr))
            pointer->Release();
    }

private:
    Interface* m_pointer = nullptr;
};

} // namespace vt
