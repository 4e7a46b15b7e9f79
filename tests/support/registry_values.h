#pragma once
// Registry values under HKEY_LOCAL_MACHINE as the tests read them back: in the 32-bit view,
// with their type and raw bytes.
#include "framework/unique_resource.h"

#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace testsupport {

struct RegistryValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    bool operator==(const RegistryValue& other) const { return type == other.type && data == other.data; }
};

inline bool RegistryKeyExists(const std::wstring& keyName)
{
    vt::unique_hkey key;
    return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, key.put()) ==
           ERROR_SUCCESS;
}

inline std::optional<RegistryValue> ReadRegistryValue(const std::wstring& keyName, const std::wstring& valueName)
{
    vt::unique_hkey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.put()) !=
        ERROR_SUCCESS)
        return std::nullopt;
    RegistryValue value;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(size);
    if (::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &value.type, value.data.data(), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(size);
    return value;
}

// Every value of a key, by name; empty when the key does not exist.
inline std::map<std::wstring, RegistryValue> ReadRegistryValues(const std::wstring& keyName)
{
    std::map<std::wstring, RegistryValue> values;
    vt::unique_hkey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, key.put()) !=
        ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];
        DWORD nameLength = 16384;
        DWORD type = 0;
        DWORD size = 0;
        if (::RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        if (auto value = ReadRegistryValue(keyName, std::wstring(name, nameLength)))
            values.emplace(std::wstring(name, nameLength), std::move(*value));
    }
    return values;
}

inline RegistryValue RegistryText(const std::wstring& text)
{
    RegistryValue value{REG_SZ, std::vector<BYTE>((text.size() + 1) * sizeof(wchar_t), 0)};
    std::copy(reinterpret_cast<const BYTE*>(text.data()), reinterpret_cast<const BYTE*>(text.data() + text.size()),
              value.data.begin());
    return value;
}

inline RegistryValue RegistryNumber(DWORD number)
{
    RegistryValue value{REG_DWORD, std::vector<BYTE>(sizeof(number))};
    std::copy(reinterpret_cast<const BYTE*>(&number), reinterpret_cast<const BYTE*>(&number + 1), value.data.begin());
    return value;
}

// Writes a value, creating its key; throws when it cannot.
inline void WriteRegistryValue(const std::wstring& keyName, const std::wstring& valueName, const RegistryValue& value)
{
    vt::unique_hkey key;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY,
                          nullptr, key.put(), nullptr) != ERROR_SUCCESS ||
        ::RegSetValueExW(key.get(), valueName.c_str(), 0, value.type, value.data.data(),
                         static_cast<DWORD>(value.data.size())) != ERROR_SUCCESS)
        throw std::runtime_error("cannot write a registry value for a test");
}

} // namespace testsupport
