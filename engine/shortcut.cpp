#include "engine/shortcut.h"

#include "engine/path_text.h"
#include "framework/unique_resource.h"

#include <shlobj.h>
#include <shlwapi.h>

bool CreateShortcut(const std::wstring& target, const std::wstring& folder, const std::optional<std::wstring>& name,
                    std::wstring* linkPath)
{
    if (folder.size() >= MAX_PATH)
        return false;
    const std::optional<std::wstring> workingFolder = FolderOf(target);
    if (!workingFolder)
        return false; // a bare root, or a path beyond the buffer: no folder to start the program in

    std::wstring shortcutName;
    if (name) {
        shortcutName = *name;
    } else {
        wchar_t fileName[MAX_PATH] = {};
        const std::wstring targetName = ::PathFindFileNameW(target.c_str());
        targetName.copy(fileName, MAX_PATH - 1);
        ::PathRemoveExtensionW(fileName);
        shortcutName = fileName;
    }

    wchar_t link[MAX_PATH] = {};
    folder.copy(link, folder.size());
    if (shortcutName.size() >= MAX_PATH || !::PathAppendW(link, shortcutName.c_str()))
        return false;
    const std::wstring linkFile = std::wstring(link) + L".lnk";
    if (linkFile.size() >= MAX_PATH)
        return false;

    vt::unique_com_init com;
    const HRESULT initialized = com.initialize(COINIT_APARTMENTTHREADED);
    if (initialized != S_OK && initialized != S_FALSE)
        return false;
    vt::com_ptr<IShellLinkW> shellLink;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  shellLink.put_void())))
        return false;
    // Neither result matters: a shortcut whose target is not yet resolvable is still saved.
    shellLink->SetPath(target.c_str());
    shellLink->SetWorkingDirectory(workingFolder->c_str());
    vt::com_ptr<IPersistFile> file;
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, file.put_void())) ||
        FAILED(file->Save(linkFile.c_str(), TRUE)))
        return false;
    if (linkPath != nullptr)
        *linkPath = linkFile;
    return true;
}
