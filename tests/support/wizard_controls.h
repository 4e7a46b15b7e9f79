#pragma once
// The wizard's control ids, commands and default texts as its tests see them, written out here
// rather than taken from the installer's headers: the tests must not share what they check.
#include <windows.h>

#include <string>

namespace testsupport {

inline constexpr int kBackButton = 3;
inline constexpr int kStatusLine = 1003;
inline constexpr int kInformationText = 1016;
inline constexpr int kLanguageList = 1023;
inline constexpr int kFastMethod = 1018;
inline constexpr int kCustomMethod = 1019;
inline constexpr int kFolderEdit = 1007;
inline constexpr int kFolderPrompt = 1009;
inline constexpr int kBrowseButton = 1006;
inline constexpr int kMenuShortcut = 1011;
inline constexpr int kDesktopShortcut = 1010;
inline constexpr int kInstallLog = 1015;

// The About entry of the wizard's system menu.
inline constexpr UINT kAboutCommand = 0x0010;

inline const std::wstring kDefaultInstallFolder = L"C:\\Program Files\\Vantor & Lind\\Ostrel 4";
// The default Start-menu folder as the shortcut page shows it, relative to the Start menu.
inline const std::wstring kDefaultMenuText = L"Programs\\Vantor & Lind\\Ostrel 4";
inline const std::wstring kExitQuestion =
    L"Installation is not complete.\r\n\r\nDo you still confirm exit Installation ?";

} // namespace testsupport
