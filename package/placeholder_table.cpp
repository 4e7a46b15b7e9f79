#include "package/placeholder_table.h"

#include <array>

namespace {

// CSIDL values of the Windows shell, written out so that the table is the same on every host.
enum csidl : int {
    CsidlPersonal = 0x05,
    CsidlDesktopDirectory = 0x10,
    CsidlCommonDesktopDirectory = 0x19,
    CsidlAppData = 0x1A,
    CsidlCommonAppData = 0x23,
    CsidlWindows = 0x24,
    CsidlSystem = 0x25,
    CsidlProgramFiles = 0x26,
    CsidlProgramFilesCommon = 0x2B,
    CsidlCommonDocuments = 0x2E,
};

using enum placeholder_base;

constexpr std::array<placeholder, 13> kPlaceholders{{
    {L"<InstallPath>", installation},
    // The sample folder's desktop (with the user's desktop as fallback) when it is relative;
    // only that combined folder is shared.
    {L"<SamplePath>", sample, CsidlCommonDesktopDirectory, CsidlDesktopDirectory, true},
    {L"<ProgramFiles>", special, CsidlProgramFiles},
    {L"<ProgramCommon>", special, CsidlProgramFilesCommon},
    {L"<CommonData>", special, CsidlCommonAppData, CsidlAppData, true},
    {L"<UserData>", special, CsidlAppData},
    {L"<CommonDocuments>", special, CsidlCommonDocuments, CsidlPersonal, true},
    {L"<Documents>", special, CsidlPersonal},
    {L"<CommonDesktop>", special, CsidlCommonDesktopDirectory, CsidlDesktopDirectory, true},
    {L"<Desktop>", special, CsidlDesktopDirectory},
    {L"<WinDir>", special, CsidlWindows},
    {L"<System>", special, CsidlSystem},
    {L"<Temporary>", temporary},
}};

} // namespace

std::span<const placeholder> placeholder_table() noexcept
{
    return kPlaceholders;
}

std::optional<placeholder> find_placeholder(std::wstring_view element) noexcept
{
    for (const placeholder& row : kPlaceholders)
        if (row.name == element)
            return row;
    return std::nullopt;
}
