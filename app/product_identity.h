#pragma once
// Everything that names the product comes from these constants and two small functions.
#include <cstdint>
#include <string>

inline constexpr wchar_t kMakerName[] = L"Vantor & Lind";
inline constexpr wchar_t kProductName[] = L"Ostrel";
inline constexpr wchar_t kProductVersionText[] = L"4.05";

// Product family in the high byte, major version in the low byte.
inline constexpr unsigned kOstrel4ProductId = 0x0504;

// The product this installer carries; 0 until the application object's constructor sets it.
extern unsigned g_productId;

// A file version a.b.c.d packed as a << 48 | b << 32 | c << 16 | d, so that versions compare as
// plain numbers. The two halves are the version resource's most and least significant words.
constexpr std::uint64_t PackFileVersion(std::uint32_t mostSignificant, std::uint32_t leastSignificant)
{
    return (std::uint64_t{mostSignificant} << 32) | leastSignificant;
}
constexpr std::uint64_t PackFileVersion(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d)
{
    return PackFileVersion((std::uint32_t{a} << 16) | b, (std::uint32_t{c} << 16) | d);
}

inline constexpr std::uint64_t kProductVersion = PackFileVersion(4, 5, 0, 1);

// The display name of one product of the maker's line ("Ostrel 4" for kOstrel4ProductId).
// Throws std::logic_error for an identifier this installer does not know.
std::wstring ProductDisplayName(unsigned productId);

// "Ostrel" with nameOnly, otherwise "Ostrel 4.05".
std::wstring GetProductName(bool nameOnly);

// Where the product is registered, under HKEY_LOCAL_MACHINE (32-bit view).
inline constexpr wchar_t kUninstallKeyParent[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// The product's entry in the list of installed programs: kUninstallKeyParent\"Ostrel 4".
std::wstring UninstallKeyName();
// The maker's own key, "Software\Vantor & Lind", and its value naming the installed program.
std::wstring MakerKeyName();
std::wstring ProgramPathValueName();

// A packed file version as its four numbers, "4.5.0.1".
std::wstring FileVersionText(std::uint64_t packed);
