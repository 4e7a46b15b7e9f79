#pragma once
// Raw lookup of string and data resources by id, without the language step of LoadLocalized:
// first in the language's resource module, then in the program itself.
#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>

// The string resource with this id, or empty when there is none.
std::wstring load_resource_string(UINT id);

// The bytes of a data resource, or nothing when it is missing, empty or cannot be locked. The
// bytes belong to the module and stay valid for the life of the process.
std::optional<std::span<const std::byte>> find_resource_data(const wchar_t* type, const wchar_t* name);
