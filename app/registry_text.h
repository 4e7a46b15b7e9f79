#pragma once
// The text of a registry string value, from the bytes the registry returned. Portable, so that
// the checks of untrusted value data are tested on the host too.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The registry's type codes of the two string types read as text (REG_SZ, REG_EXPAND_SZ).
inline constexpr std::uint32_t kRegistryString = 1;
inline constexpr std::uint32_t kRegistryExpandString = 2;

// The text of value data of `type`: REG_SZ and REG_EXPAND_SZ are taken literally (variables are
// not expanded), up to their first NUL. Other types, data of odd size and data that does
// not end with a NUL character count as absent: anyone may have written the value, and such
// data is not a string the writer finished.
std::optional<std::u16string> RegistryText(std::uint32_t type, std::span<const std::byte> data);
