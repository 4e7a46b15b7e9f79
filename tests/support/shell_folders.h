#pragma once
// The shell's special folders as the tests ask for them: directly, not through the installer's
// own lookup.
#include <windows.h>
#include <shlobj.h>

#include <string>

namespace testsupport {

// A special folder's path without a trailing backslash (the shells differ there); empty when
// the shell has none.
inline std::wstring ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    std::wstring folder = path;
    if (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

} // namespace testsupport
