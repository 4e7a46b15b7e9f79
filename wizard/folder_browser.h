#pragma once
// The Browse buttons' folder dialog: the shell's folder browser with the product's sub-folder
// appended to the choice and shown live in its edit box, a starting folder opened in the tree,
// an optional root (the common Programs menu, shown relative to the Start menu), and typed
// folders that do not exist yet accepted after a check.
#include "framework/unique_resource.h"

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <string_view>

// `folder` as a text relative to `root` ("Programs\\Vantor & Lind\\Ostrel 4"): empty for the root
// itself; `folder` unchanged when it does not lie below the root (another drive, or beside it)
// or does not fit a path buffer, so that joining the text to the root gives `folder` back.
std::wstring FolderTextBelow(const std::wstring& root, const std::wstring& folder);

// Path components compared as the file system compares names: ordinally, ignoring the case of
// every letter (CompareStringOrdinal).
bool SameFolderName(std::wstring_view left, std::wstring_view right);

// One browse: created, optionally rooted, run once, read, destroyed on the thread that ran it.
class FolderBrowser {
public:
    explicit FolderBrowser(std::wstring title);
    FolderBrowser(const FolderBrowser&) = delete;
    FolderBrowser& operator=(const FolderBrowser&) = delete;

    // Limits the tree to a special folder (a CSIDL such as CSIDL_COMMON_PROGRAMS); when the
    // shell cannot supply it, the tree has no root (the whole namespace).
    void SetRoot(int specialFolder);

    // Shows the dialog on the thread's owner window; true when the user chose a file-system
    // folder, which path() then holds (absolute).
    bool Run(const std::wstring& startingFolder, const std::wstring& subFolder);

    const std::wstring& path() const noexcept { return m_path; }
    // The path without its trailing sub-folder components.
    std::wstring BaseOfPath() const;
    // The path relative to the root's parent: empty for that folder itself, the path unchanged
    // when there is no root or no relative path.
    std::wstring RelativeResult();
    // The file-system folder holding the root (the Start menu for the Programs menu); empty
    // without a root or when the root has no file-system path.
    const std::wstring& RootParent();

    // Checks a typed folder (the dialog's validation notification): accepted, it becomes the
    // path; refused, a warning box owned by `owner` tells why.
    bool ValidateTypedPath(const wchar_t* text, HWND owner);
    // The dialog's answer to a typed folder that names no existing item: 0 closes the dialog
    // with the folder accepted, 1 keeps it open after the warning.
    int OnValidateFailed(const wchar_t* text, HWND owner);

    // The warning box with the system's text for `code`; always false.
    static bool ShowBrowseError(HWND owner, DWORD code);

private:
    static int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM parameter, LPARAM data);
    void Prepare(const std::wstring& startingFolder, const std::wstring& subFolder);
    void ApplySubFolder();
    void OnInitialized(HWND dialog);
    void OnSelectionChanged(HWND dialog, PCIDLIST_ABSOLUTE item);
    void ShowPathInEditBox() const;

    // Declared first so that COM is uninitialized after everything else has gone.
    vt::unique_com_init m_com;
    std::wstring m_path;
    std::wstring m_subFolder;
    std::wstring m_title;
    vt::unique_pidl m_root;
    std::wstring m_rootParent;
    bool m_followSelection = false;    // the dialog is initialized: selection changes are followed
    bool m_typedPathAccepted = false;  // a typed path was accepted and is the result
    HWND m_editWindow = nullptr;
};

// Shows the folder browser on `baseFolder` with `subFolder` appended to the choice; returns the
// chosen folder, empty when the user cancelled or the dialog failed. On success `baseFolder`
// becomes the choice without its trailing sub-folder components.
std::wstring BrowseForFolder(std::wstring& baseFolder, const std::wstring& subFolder, const std::wstring& title);

// The same with the tree rooted at the common Programs menu; on success `relativeResult`, when
// given, receives the choice relative to the common Start menu.
std::wstring BrowseForMenuFolder(std::wstring& baseFolder, const std::wstring& subFolder, const std::wstring& title,
                                 std::wstring* relativeResult);
