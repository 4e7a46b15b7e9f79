#pragma once
// Shortcut files (.lnk) read back and written through the shell's own link object.
#include "framework/unique_resource.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <optional>
#include <string>

namespace testsupport {

struct ShortcutContents {
    std::wstring target;
    std::wstring workingFolder;
};

// The target and working folder of the shortcut at `path`; nothing when it cannot be loaded.
inline std::optional<ShortcutContents> ReadShortcut(const std::wstring& path)
{
    vt::unique_com_init com;
    if (FAILED(com.initialize(COINIT_APARTMENTTHREADED)))
        return std::nullopt;
    vt::com_ptr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return std::nullopt;
    vt::com_ptr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) || FAILED(file->Load(path.c_str(), STGM_READ)))
        return std::nullopt;
    wchar_t target[MAX_PATH] = {};
    wchar_t folder[MAX_PATH] = {};
    // Raw path: the target as stored, without resolving a moved file.
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) ||
        FAILED(link->GetWorkingDirectory(folder, MAX_PATH)))
        return std::nullopt;
    return ShortcutContents{target, folder};
}

// Saves a shortcut to `target` at `path`, with the target's folder as working folder, as an
// older installation would have left it; whether it was saved.
inline bool WriteShortcut(const std::wstring& path, const std::wstring& target)
{
    vt::unique_com_init com;
    if (FAILED(com.initialize(COINIT_APARTMENTTHREADED)))
        return false;
    vt::com_ptr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return false;
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(target.substr(0, target.rfind(L'\\')).c_str());
    vt::com_ptr<IPersistFile> file;
    return SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.put_void())) &&
           SUCCEEDED(file->Save(path.c_str(), TRUE));
}

} // namespace testsupport
