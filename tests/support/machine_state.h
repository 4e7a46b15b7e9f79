#pragma once
// Changes of what the test prefix holds machine-wide (registry values under HKEY_LOCAL_MACHINE,
// files beside the test programs), each undone by its owner's destructor, and the lock that keeps
// test processes running side by side in the same prefix from seeing each other's changes.
#include "framework/unique_resource.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// Held for the life of a test that changes the machine-wide state others might read: ctest runs
// the tests of one program in parallel processes, all in the same prefix.
class MachineStateLock {
public:
    MachineStateLock()
        : m_mutex(::CreateMutexW(nullptr, FALSE, L"Global\\OstrelTests.MachineState"))
    {
        if (!m_mutex)
            throw std::runtime_error("cannot create the machine-state test lock");
        // An abandoned lock belonged to a test process that ended without its destructors; the
        // state it changed is whatever it left, which the guards of this test overwrite.
        const DWORD wait = ::WaitForSingleObject(m_mutex.get(), 120000);
        if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED)
            throw std::runtime_error("the machine-state test lock was not released within two minutes");
    }
    ~MachineStateLock() { ::ReleaseMutex(m_mutex.get()); }
    MachineStateLock(const MachineStateLock&) = delete;
    MachineStateLock& operator=(const MachineStateLock&) = delete;

private:
    vt::unique_handle m_mutex;
};

// The bytes of a registry string: `text` with its terminating NUL, as RegSetValueExW stores it.
inline std::vector<BYTE> RegistryStringBytes(std::wstring_view text)
{
    std::vector<BYTE> bytes((text.size() + 1) * sizeof(wchar_t), 0);
    std::copy(reinterpret_cast<const BYTE*>(text.data()), reinterpret_cast<const BYTE*>(text.data() + text.size()),
              bytes.begin());
    return bytes;
}

// Sets (or, with no data, removes) a value of a key under HKEY_LOCAL_MACHINE in the 32-bit view,
// and puts back what was there before when destroyed: the previous value, or no value, and no
// key when the guard created it.
class RegistryValueGuard {
public:
    // Stores the first `storedSize` bytes of `data` (all when not given). The rest stays in the
    // buffer the registry call gets, so that a test decides what follows the stored bytes: some
    // registries look one character past the data of a string value for its NUL.
    RegistryValueGuard(std::wstring keyName, std::wstring valueName, std::optional<std::vector<BYTE>> data,
                       DWORD type = REG_SZ, std::optional<DWORD> storedSize = std::nullopt)
        : m_keyName(std::move(keyName)), m_valueName(std::move(valueName))
    {
        if (data && storedSize && *storedSize > data->size())
            throw std::invalid_argument("the stored size exceeds the data");
        DWORD disposition = 0;
        LSTATUS status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, m_keyName.c_str(), 0, nullptr, 0,
                                           KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, m_key.put(),
                                           &disposition);
        if (status != ERROR_SUCCESS)
            throw std::runtime_error("cannot create a registry key for a test");
        m_createdKey = disposition == REG_CREATED_NEW_KEY;
        SavePrevious();
        status = data ? ::RegSetValueExW(m_key.get(), m_valueName.c_str(), 0, type, data->data(),
                                         storedSize.value_or(static_cast<DWORD>(data->size())))
                      : ::RegDeleteValueW(m_key.get(), m_valueName.c_str());
        if (status != ERROR_SUCCESS && !(status == ERROR_FILE_NOT_FOUND && !data)) {
            Restore();
            throw std::runtime_error("cannot set a registry value for a test");
        }
    }
    // A REG_SZ or REG_EXPAND_SZ value holding `text`.
    static RegistryValueGuard Text(std::wstring keyName, std::wstring valueName, std::wstring_view text,
                                   DWORD type = REG_SZ)
    {
        return RegistryValueGuard(std::move(keyName), std::move(valueName), RegistryStringBytes(text), type);
    }
    ~RegistryValueGuard() { Restore(); }
    RegistryValueGuard(RegistryValueGuard&&) = default;
    RegistryValueGuard(const RegistryValueGuard&) = delete;
    RegistryValueGuard& operator=(const RegistryValueGuard&) = delete;

private:
    void SavePrevious()
    {
        DWORD size = 0;
        if (::RegQueryValueExW(m_key.get(), m_valueName.c_str(), nullptr, &m_previousType, nullptr, &size) !=
            ERROR_SUCCESS)
            return;
        std::vector<BYTE> previous(size);
        if (::RegQueryValueExW(m_key.get(), m_valueName.c_str(), nullptr, &m_previousType, previous.data(), &size) ==
            ERROR_SUCCESS) {
            previous.resize(size);
            m_previous = std::move(previous);
        }
    }
    void Restore() noexcept
    {
        if (!m_key)
            return; // moved from
        if (m_previous)
            ::RegSetValueExW(m_key.get(), m_valueName.c_str(), 0, m_previousType, m_previous->data(),
                             static_cast<DWORD>(m_previous->size()));
        else
            ::RegDeleteValueW(m_key.get(), m_valueName.c_str());
        m_key.reset();
        if (m_createdKey)
            ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, m_keyName.c_str(), KEY_WOW64_32KEY, 0);
    }

    std::wstring m_keyName;
    std::wstring m_valueName;
    vt::unique_hkey m_key;
    bool m_createdKey = false;
    DWORD m_previousType = REG_NONE;
    std::optional<std::vector<BYTE>> m_previous;
};

// A new empty file at `path`, removed when destroyed. Refuses to take over a file that exists.
class NewFileGuard {
public:
    explicit NewFileGuard(std::wstring path) : m_path(std::move(path))
    {
        vt::unique_hfile file(::CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            throw std::runtime_error("cannot create a new file for a test (does it exist already?)");
    }
    ~NewFileGuard() { ::DeleteFileW(m_path.c_str()); }
    NewFileGuard(const NewFileGuard&) = delete;
    NewFileGuard& operator=(const NewFileGuard&) = delete;

    const std::wstring& path() const noexcept { return m_path; }

private:
    std::wstring m_path;
};

} // namespace testsupport
