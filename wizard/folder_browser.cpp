#include "wizard/folder_browser.h"

#include "support/error_text.h"
#include "support/message_box.h"
#include "wizard/folder_path.h"

#include <shlwapi.h>

#include <cwchar>
#include <optional>

namespace {

// HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE): the text does not fit a path buffer.
constexpr DWORD kPathTooLong = 0x800700CE;

// The last error of a failed call; E_FAIL when the call left none, so that a failure never
// shows the text of success.
DWORD LastErrorCode()
{
    const DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? error : static_cast<DWORD>(E_FAIL);
}

// Whether any character is invalid in a path or a wildcard; separators are allowed.
bool HasUnusablePathCharacter(std::wstring_view text)
{
    for (wchar_t character : text) {
        const UINT type = ::PathGetCharTypeW(character);
        if (type == GCT_INVALID || (type & GCT_WILD) != 0)
            return true;
    }
    return false;
}

// The character classification counts ":" as a separator; in a full path it belongs only after
// the drive letter. Anywhere else it would name a stream or fail only during the installation.
bool HasStrayColon(std::wstring_view path)
{
    for (size_t index = 0; index < path.size(); ++index) {
        if (path[index] == L':' && index != 1)
            return true;
    }
    return false;
}

std::optional<std::wstring> FileSystemPath(PCIDLIST_ABSOLUTE item)
{
    wchar_t path[MAX_PATH] = {};
    if (item == nullptr || !::SHGetPathFromIDListW(item, path))
        return std::nullopt;
    return std::wstring(path);
}

bool IsDirectory(const wchar_t* path)
{
    const DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The path from folder `from` down to folder `to` as PathRelativePathTo gives it (".\Programs");
// nothing when `to` does not lie below `from` (another drive, or a path that climbs with ".."),
// or when either does not fit a path buffer. A climbing path would lose its ".." when
// canonicalized and then name another folder below `from`.
std::optional<std::wstring> RelativePathBetweenFolders(const std::wstring& from, const std::wstring& to)
{
    wchar_t relative[MAX_PATH] = {};
    if (!FitsPathBuffer(from.size()) || !FitsPathBuffer(to.size()) ||
        !::PathRelativePathToW(relative, from.c_str(), FILE_ATTRIBUTE_DIRECTORY, to.c_str(), FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    if (std::wstring_view(relative).substr(0, 2) == L"..")
        return std::nullopt;
    return std::wstring(relative);
}

// `path` with "." and ".." resolved, which also drops the leading ".\" of a relative path.
std::optional<std::wstring> Canonicalized(const std::wstring& path)
{
    wchar_t canonical[MAX_PATH] = {};
    if (!FitsPathBuffer(path.size()) || !::PathCanonicalizeW(canonical, path.c_str()))
        return std::nullopt;
    return std::wstring(canonical);
}

std::optional<std::wstring> CurrentDirectory()
{
    std::wstring directory(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data());
        if (length == 0)
            return std::nullopt;
        if (length < directory.size()) {
            directory.resize(length);
            return directory;
        }
        directory.resize(length); // the size it needs, terminator included
    }
}

// Makes a folder the process's current directory until the object goes, then restores the
// one before.
class CurrentDirectoryChange {
public:
    CurrentDirectoryChange() = default;
    CurrentDirectoryChange(const CurrentDirectoryChange&) = delete;
    CurrentDirectoryChange& operator=(const CurrentDirectoryChange&) = delete;
    ~CurrentDirectoryChange()
    {
        // Nothing better is left to do when the old directory has gone meanwhile.
        if (m_saved)
            ::SetCurrentDirectoryW(m_saved->c_str());
    }

    // 0, or the error code of the failure.
    DWORD Change(const std::wstring& folder)
    {
        std::optional<std::wstring> saved = CurrentDirectory();
        if (!saved)
            return LastErrorCode();
        if (!::SetCurrentDirectoryW(folder.c_str()))
            return LastErrorCode();
        m_saved = std::move(saved);
        return 0;
    }

private:
    std::optional<std::wstring> m_saved;
};

BOOL CALLBACK FindEditWindow(HWND window, LPARAM found)
{
    wchar_t className[8] = {};
    ::GetClassNameW(window, className, 8);
    if (::CompareStringOrdinal(className, -1, L"Edit", -1, TRUE) == CSTR_EQUAL) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::wstring FolderTextBelow(const std::wstring& root, const std::wstring& folder)
{
    const std::optional<std::wstring> relative = RelativePathBetweenFolders(root, folder);
    if (!relative)
        return folder;
    if (*relative == L"." || *relative == L".\\")
        return std::wstring(); // the root itself
    return Canonicalized(*relative).value_or(folder);
}

bool SameFolderName(std::wstring_view left, std::wstring_view right)
{
    if (left.empty() || right.empty())
        return left.empty() && right.empty();
    return ::CompareStringOrdinal(left.data(), static_cast<int>(left.size()), right.data(),
                                  static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

FolderBrowser::FolderBrowser(std::wstring title) : m_title(std::move(title)) {}

void FolderBrowser::SetRoot(int specialFolder)
{
    m_root.reset();
    m_rootParent.clear();
    PIDLIST_ABSOLUTE root = nullptr;
    if (SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, specialFolder, &root)))
        m_root.reset(root);
}

const std::wstring& FolderBrowser::RootParent()
{
    if (m_root && m_rootParent.empty()) {
        wchar_t parent[MAX_PATH] = {};
        if (::SHGetPathFromIDListW(m_root.get(), parent) && ::PathRemoveFileSpecW(parent))
            m_rootParent = parent;
    }
    return m_rootParent;
}

bool FolderBrowser::Run(const std::wstring& startingFolder, const std::wstring& subFolder)
{
    const HWND owner = owner_window();
    if (!m_com) {
        // A thread already in the multithreaded model gets RPC_E_CHANGED_MODE: the new-style
        // dialog fails there (it returns as if cancelled), so that is an error like any other.
        const HRESULT result = m_com.initialize(COINIT_APARTMENTTHREADED);
        if (FAILED(result))
            return ShowBrowseError(owner, static_cast<DWORD>(result));
    }
    m_followSelection = false;
    m_typedPathAccepted = false;
    Prepare(startingFolder, subFolder);

    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pidlRoot = m_root.get();
    info.lpszTitle = m_title.empty() ? nullptr : m_title.c_str();
    info.ulFlags = BIF_NEWDIALOGSTYLE | BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
    if (!m_subFolder.empty())
        info.ulFlags |= BIF_EDITBOX | BIF_VALIDATE;
    info.lpfn = &BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);
    const vt::unique_pidl chosen(::SHBrowseForFolderW(&info));
    m_editWindow = nullptr; // gone with the dialog
    if (!chosen)
        return false;

    const std::optional<std::wstring> chosenPath = FileSystemPath(chosen.get());
    if (!chosenPath)
        return false;
    // An accepted typed folder is the result: the dialog returns the tree's selection then.
    if (!m_typedPathAccepted)
        m_path = *chosenPath;
    return true;
}

void FolderBrowser::Prepare(const std::wstring& startingFolder, const std::wstring& subFolder)
{
    m_path.clear();
    if (FitsPathBuffer(startingFolder.size()) && !::PathIsRelativeW(startingFolder.c_str()))
        m_path = startingFolder;
    if (m_path.empty() && m_root)
        m_path = FileSystemPath(m_root.get()).value_or(std::wstring());
    if (!m_path.empty() && m_path.back() == L':' && FitsPathBuffer(m_path.size() + 1))
        m_path += L'\\';
    if (m_path.empty()) {
        vt::unique_cotaskmem_string documents;
        if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, documents.put())) &&
            FitsPathBuffer(std::wcslen(documents.get())))
            m_path = documents.get();
    }

    m_subFolder.clear();
    if (FitsPathBuffer(subFolder.size()) && !HasUnusablePathCharacter(subFolder))
        m_subFolder = subFolder;
    ApplySubFolder();
}

void FolderBrowser::ApplySubFolder()
{
    if (m_subFolder.empty())
        return;
    m_path = AppendSubFolder(m_path, m_subFolder, &SameFolderName);
    if (m_root && !RootParent().empty()) {
        const std::optional<std::wstring> relative = RelativePathBetweenFolders(RootParent(), m_path);
        if (const std::optional<std::wstring> canonical = relative ? Canonicalized(*relative) : std::nullopt)
            m_path = *canonical;
    }
}

std::wstring FolderBrowser::BaseOfPath() const
{
    return ::BaseOfPath(m_path, m_subFolder, &SameFolderName);
}

std::wstring FolderBrowser::RelativeResult()
{
    if (RootParent().empty())
        return m_path;
    return FolderTextBelow(RootParent(), m_path);
}

int CALLBACK FolderBrowser::BrowseCallback(HWND dialog, UINT message, LPARAM parameter, LPARAM data)
{
    auto* browser = reinterpret_cast<FolderBrowser*>(data);
    // No exception may cross the shell's frames; a failed step leaves the dialog as it is, and
    // a typed path that could not be checked keeps the dialog open.
    try {
        switch (message) {
        case BFFM_INITIALIZED:
            browser->OnInitialized(dialog);
            break;
        case BFFM_SELCHANGED:
            // The shell selects items while it builds the tree; only later changes count.
            if (browser->m_followSelection)
                browser->OnSelectionChanged(dialog, reinterpret_cast<PCIDLIST_ABSOLUTE>(parameter));
            break;
        case BFFM_VALIDATEFAILEDW:
            return browser->OnValidateFailed(reinterpret_cast<const wchar_t*>(parameter), dialog);
        default:
            break;
        }
    } catch (...) {
        return message == BFFM_VALIDATEFAILEDW ? 1 : 0;
    }
    return 0;
}

void FolderBrowser::OnInitialized(HWND dialog)
{
    m_followSelection = true;

    // With a root and a sub-folder the path is relative to the root's parent.
    std::wstring start = m_path;
    if (m_root && ::PathIsRelativeW(m_path.c_str())) {
        wchar_t combined[MAX_PATH] = {};
        const std::wstring& parent = RootParent();
        if (FitsPathBuffer(parent.size() + 1 + m_path.size()) && ::PathCombineW(combined, parent.c_str(), m_path.c_str()))
            start = combined;
        else
            start.clear();
    }

    // The starting folder may not exist yet: the tree opens on its nearest existing ancestor.
    std::wstring existing;
    if (!start.empty() && FitsPathBuffer(start.size())) {
        wchar_t folder[MAX_PATH] = {};
        start.copy(folder, start.size());
        do {
            if (IsDirectory(folder)) {
                existing = folder;
                break;
            }
        } while (::PathRemoveFileSpecW(folder));
    }
    if (!existing.empty()) {
        // Selecting notifies the change at once, which makes the path the ancestor with the
        // sub-folder applied; the starting folder itself stays the path, or a folder deeper
        // below the ancestor than the sub-folder reaches would be lost.
        const std::wstring startingPath = m_path;
        ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(existing.c_str()));
        ::SendMessageW(dialog, BFFM_SETEXPANDED, TRUE, reinterpret_cast<LPARAM>(existing.c_str()));
        m_path = startingPath;
    }

    if (!m_subFolder.empty())
        ::EnumChildWindows(dialog, &FindEditWindow, reinterpret_cast<LPARAM>(&m_editWindow));
    if (!existing.empty() && m_editWindow != nullptr)
        ShowPathInEditBox();
}

void FolderBrowser::OnSelectionChanged(HWND dialog, PCIDLIST_ABSOLUTE item)
{
    const std::optional<std::wstring> selected = FileSystemPath(item);
    if (selected) {
        m_path = *selected;
        ApplySubFolder();
    }
    // Without a file-system path the box keeps showing the previous path.
    if (m_editWindow != nullptr)
        ShowPathInEditBox();
    if (m_subFolder.empty())
        ::SendMessageW(dialog, BFFM_ENABLEOK, 0, selected ? TRUE : FALSE);
}

void FolderBrowser::ShowPathInEditBox() const
{
    ::SetWindowTextW(m_editWindow, m_path.c_str());
    ::SendMessageW(m_editWindow, EM_SETSEL, 0, -1);
}

int FolderBrowser::OnValidateFailed(const wchar_t* text, HWND owner)
{
    // The shell closes the dialog on 0 and keeps it open for another choice otherwise.
    return ValidateTypedPath(text, owner) ? 0 : 1;
}

bool FolderBrowser::ValidateTypedPath(const wchar_t* text, HWND owner)
{
    const std::wstring_view typed = text != nullptr ? text : L"";
    if (!FitsPathBuffer(typed.size()))
        return ShowBrowseError(owner, kPathTooLong);
    wchar_t folder[MAX_PATH] = {};
    typed.copy(folder, typed.size());
    ::PathRemoveBlanksW(folder);
    ::PathRemoveBackslashW(folder);
    if (std::wcslen(folder) == 2 && folder[1] == L':') {
        // D: names the drive's root, not its current directory. Removing leading blanks moved
        // the text without clearing what followed it: end the root explicitly.
        folder[2] = L'\\';
        folder[3] = L'\0';
    }
    if (folder[0] == L'\0') {
        const DWORD length = ::GetCurrentDirectoryW(MAX_PATH, folder);
        if (length == 0)
            return ShowBrowseError(owner, LastErrorCode());
        if (length >= MAX_PATH)
            return ShowBrowseError(owner, kPathTooLong);
    }

    // A relative text names a folder below the root's parent: it is qualified there.
    const std::wstring& rootParent = RootParent();
    wchar_t qualified[MAX_PATH] = {};
    bool isQualified = false;
    {
        CurrentDirectoryChange directory;
        if (!rootParent.empty()) {
            if (const DWORD error = directory.Change(rootParent))
                return ShowBrowseError(owner, error);
        }
        // Against the current directory only: PathSearchAndQualify tries SearchPath first,
        // which looks in the program's own folder and the system's folders before the current
        // directory, so "." or a name that exists there would qualify to a folder elsewhere.
        const DWORD length = ::GetFullPathNameW(folder, MAX_PATH, qualified, nullptr);
        isQualified = length > 0 && length < MAX_PATH;
    }
    const bool insideRootParent =
        rootParent.empty() || ::PathCommonPrefixW(rootParent.c_str(), qualified, nullptr) ==
                                  static_cast<int>(rootParent.size());
    if (!isQualified || !insideRootParent || HasUnusablePathCharacter(qualified) || HasStrayColon(qualified))
        return ShowBrowseError(owner, ERROR_BAD_PATHNAME);

    m_path = qualified;
    m_typedPathAccepted = true;
    return true;
}

bool FolderBrowser::ShowBrowseError(HWND owner, DWORD code)
{
    // A null caption is the system's default one.
    ::MessageBoxW(owner, system_error_text(code).c_str(), nullptr,
                  MessageBoxType(MB_OK | MB_ICONWARNING, ReadsRightToLeft(owner)));
    return false;
}

std::wstring BrowseForFolder(std::wstring& baseFolder, const std::wstring& subFolder, const std::wstring& title)
{
    FolderBrowser browser(title);
    if (!browser.Run(baseFolder, subFolder))
        return std::wstring();
    baseFolder = browser.BaseOfPath();
    return browser.path();
}

std::wstring BrowseForMenuFolder(std::wstring& baseFolder, const std::wstring& subFolder, const std::wstring& title,
                                 std::wstring* relativeResult)
{
    FolderBrowser browser(title);
    browser.SetRoot(CSIDL_COMMON_PROGRAMS);
    if (!browser.Run(baseFolder, subFolder))
        return std::wstring();
    baseFolder = browser.BaseOfPath();
    if (relativeResult != nullptr)
        *relativeResult = browser.RelativeResult();
    return browser.path();
}
