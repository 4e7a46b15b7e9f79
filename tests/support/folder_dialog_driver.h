#pragma once
// Drives the shell's folder-browse dialog of this process or of another one, the way its
// owner and a user would: finds it, selects a folder in its tree (BFFM_SETSELECTIONW, which
// Wine follows; it ignores typed text), reads its edit box and tree, and presses OK or Cancel.
// Pointers that a message carries are placed in the dialog's process, so every helper works
// across processes; the tree's item structure is the driver's own, so the dialog's process
// must have the driver's bitness.
#include <windows.h>
#include <shtypes.h>

#include <optional>
#include <string>

namespace testsupport {

// Wine's folder browser ignores the edit box: OK returns the tree's selection, and typed text
// is never validated. Tests of what the dialog returns expect that under Wine.
inline bool RunningUnderWine()
{
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

inline constexpr DWORD kFolderDialogTimeout = 60000; // the first dialog in a prefix is slow

// A visible top-level dialog of the process that holds a tree view (the folder browser, never
// the wizard or a message box) and, when `title` is not empty, a control showing `title` (the
// text above the tree).
HWND FindFolderDialog(DWORD processId, const std::wstring& title = {});
HWND WaitForFolderDialog(DWORD processId, const std::wstring& title = {}, DWORD timeout = kFolderDialogTimeout);

// Wine's dialog finds a folder to select by comparing item ids byte for byte, and its file item
// ids carry each folder's last-write and last-access times (in 2-second steps): a folder on the
// way that was written, or read for the first time since it was written, after the tree read it
// can no longer be selected. Reading every folder from the drive's root down to `folder` once,
// after the last change and before the dialog opens, settles those times (access times move on
// a first read after a change, and relatime keeps them from moving on later reads); nothing may
// write to those folders while the dialog is open.
void SettleFolderTimes(const std::wstring& folder);

// Selects a folder of the tree by its path, or a shell item (such as the computer node) by its
// item id list. False when the dialog could not be reached.
bool SelectFolder(HWND dialog, const std::wstring& path);
bool SelectItem(HWND dialog, PCIDLIST_ABSOLUTE item);

// The dialog's edit box, its first "Edit" descendant; null when it has none.
HWND FolderDialogEditBox(HWND dialog);
// The edit box's text; nothing when there is no edit box.
std::optional<std::wstring> FolderDialogEditText(HWND dialog);
// Waits until the edit box shows `expected`; returns the last text seen.
std::optional<std::wstring> WaitForEditText(HWND dialog, const std::wstring& expected,
                                            DWORD timeout = kFolderDialogTimeout);

struct TreeSelection {
    std::wstring text; // the item's display name
    bool expanded = false;
};
// The tree's selected item; nothing without a selection.
std::optional<TreeSelection> SelectedTreeItem(HWND dialog);

bool IsOkEnabled(HWND dialog);
// Waits until the OK button is enabled (or disabled); true when it got there in time.
bool WaitForOkEnabled(HWND dialog, bool enabled, DWORD timeout = kFolderDialogTimeout);

// Presses OK or Cancel as a click does (posted: the dialog's owner is in a modal loop).
void ClickOk(HWND dialog);
void ClickCancel(HWND dialog);
// Waits until the dialog has gone.
bool WaitUntilClosed(HWND dialog, DWORD timeout = kFolderDialogTimeout);

} // namespace testsupport
