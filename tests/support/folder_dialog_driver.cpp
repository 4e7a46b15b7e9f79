#include "tests/support/folder_dialog_driver.h"

#include "framework/unique_resource.h"
#include "tests/support/remote_memory.h"

#include <commctrl.h>
#include <shlobj.h>


namespace testsupport {
namespace {

constexpr DWORD kPoll = 50;
constexpr UINT kSendTimeout = 10000;

std::wstring ClassName(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

bool SameClass(HWND window, const wchar_t* className)
{
    return ::CompareStringOrdinal(ClassName(window).c_str(), -1, className, -1, TRUE) == CSTR_EQUAL;
}

std::optional<LRESULT> Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeout, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

std::wstring TextOf(HWND window)
{
    const std::optional<LRESULT> length = Send(window, WM_GETTEXTLENGTH, 0, 0);
    if (!length || *length <= 0)
        return std::wstring();
    std::wstring text(static_cast<std::size_t>(*length) + 1, L'\0');
    const std::optional<LRESULT> copied =
        Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied ? static_cast<std::size_t>(*copied) : 0);
    return text;
}

template <typename Accept>
struct DescendantSearch {
    Accept& accept;
    HWND found = nullptr;

    static BOOL CALLBACK Visit(HWND child, LPARAM parameter)
    {
        auto& search = *reinterpret_cast<DescendantSearch*>(parameter);
        if (!search.accept(child))
            return TRUE;
        search.found = child;
        return FALSE;
    }
};

// The first descendant that satisfies `accept`.
template <typename Accept>
HWND FindDescendant(HWND parent, Accept accept)
{
    DescendantSearch<Accept> search{accept};
    ::EnumChildWindows(parent, &DescendantSearch<Accept>::Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND TreeOf(HWND dialog)
{
    return FindDescendant(dialog, [](HWND child) { return SameClass(child, WC_TREEVIEWW); });
}

// Sends `message` with a copy of `bytes` placed in the dialog's process as its lParam.
bool SendWithRemoteBytes(HWND dialog, UINT message, WPARAM wParam, const void* bytes, SIZE_T size)
{
    RemoteMemory memory(dialog, size);
    if (!memory || !memory.Write(0, bytes, size))
        return false;
    return Send(dialog, message, wParam, reinterpret_cast<LPARAM>(memory.address())).has_value();
}

struct FolderDialogSearch {
    DWORD processId;
    const std::wstring& title;
    HWND found = nullptr;
};

BOOL CALLBACK VisitTopLevel(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<FolderDialogSearch*>(parameter);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId != search.processId || !::IsWindowVisible(window) || !SameClass(window, L"#32770") ||
        TreeOf(window) == nullptr)
        return TRUE;
    if (!search.title.empty() &&
        FindDescendant(window, [&](HWND child) { return TextOf(child) == search.title; }) == nullptr)
        return TRUE;
    search.found = window;
    return FALSE;
}

template <typename Condition>
bool PollUntil(Condition condition, DWORD timeout)
{
    for (DWORD waited = 0;; waited += kPoll) {
        if (condition())
            return true;
        if (waited >= timeout)
            return false;
        ::Sleep(kPoll);
    }
}

// What the button itself tells its dialog when it is clicked: BM_CLICK would replay the mouse,
// which a dialog still being activated loses now and then under load.
void Click(HWND dialog, int id)
{
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

} // namespace

HWND FindFolderDialog(DWORD processId, const std::wstring& title)
{
    FolderDialogSearch search{processId, title};
    ::EnumWindows(&VisitTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForFolderDialog(DWORD processId, const std::wstring& title, DWORD timeout)
{
    HWND dialog = nullptr;
    PollUntil([&] { return (dialog = FindFolderDialog(processId, title)) != nullptr; }, timeout);
    return dialog;
}

void SettleFolderTimes(const std::wstring& folder)
{
    for (std::size_t end = folder.find(L'\\'); ; end = folder.find(L'\\', end + 1)) {
        const std::wstring pattern = folder.substr(0, end == std::wstring::npos ? folder.size() : end) + L"\\*";
        WIN32_FIND_DATAW entry;
        const HANDLE search = ::FindFirstFileW(pattern.c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE)
            ::FindClose(search);
        if (end == std::wstring::npos)
            break;
    }
}

bool SelectFolder(HWND dialog, const std::wstring& path)
{
    return SendWithRemoteBytes(dialog, BFFM_SETSELECTIONW, TRUE, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
}

bool SelectItem(HWND dialog, PCIDLIST_ABSOLUTE item)
{
    // An item id list is position-independent: its ids back to back, ended by a zero length.
    SIZE_T size = 0;
    for (auto* id = reinterpret_cast<const BYTE*>(item); reinterpret_cast<const SHITEMID*>(id)->cb != 0;
         id += reinterpret_cast<const SHITEMID*>(id)->cb)
        size += reinterpret_cast<const SHITEMID*>(id)->cb;
    size += sizeof(USHORT);
    return SendWithRemoteBytes(dialog, BFFM_SETSELECTIONW, FALSE, item, size);
}

HWND FolderDialogEditBox(HWND dialog)
{
    return FindDescendant(dialog, [](HWND child) { return SameClass(child, L"Edit"); });
}

std::optional<std::wstring> FolderDialogEditText(HWND dialog)
{
    HWND edit = FolderDialogEditBox(dialog);
    if (edit == nullptr)
        return std::nullopt;
    return TextOf(edit);
}

std::optional<std::wstring> WaitForEditText(HWND dialog, const std::wstring& expected, DWORD timeout)
{
    std::optional<std::wstring> text;
    PollUntil([&] { return (text = FolderDialogEditText(dialog)) == expected; }, timeout);
    return text;
}

std::optional<TreeSelection> SelectedTreeItem(HWND dialog)
{
    HWND tree = TreeOf(dialog);
    if (tree == nullptr)
        return std::nullopt;
    const std::optional<LRESULT> item = Send(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    if (!item || *item == 0)
        return std::nullopt;

    constexpr int kTextLength = 260;
    RemoteMemory memory(tree, sizeof(TVITEMW) + kTextLength * sizeof(wchar_t));
    if (!memory)
        return std::nullopt;
    TVITEMW request = {};
    request.mask = TVIF_TEXT | TVIF_STATE;
    request.stateMask = TVIS_EXPANDED;
    request.hItem = reinterpret_cast<HTREEITEM>(*item);
    request.pszText = reinterpret_cast<wchar_t*>(memory.address(sizeof(TVITEMW)));
    request.cchTextMax = kTextLength;
    if (!memory.Write(0, &request, sizeof request) ||
        Send(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(memory.address())).value_or(0) == 0)
        return std::nullopt;

    TVITEMW answer = {};
    wchar_t text[kTextLength] = {};
    if (!memory.Read(0, &answer, sizeof answer) || !memory.Read(sizeof(TVITEMW), text, sizeof text))
        return std::nullopt;
    text[kTextLength - 1] = L'\0';
    return TreeSelection{text, (answer.state & TVIS_EXPANDED) != 0};
}

bool IsOkEnabled(HWND dialog)
{
    HWND ok = ::GetDlgItem(dialog, IDOK);
    return ok != nullptr && ::IsWindowEnabled(ok);
}

bool WaitForOkEnabled(HWND dialog, bool enabled, DWORD timeout)
{
    return PollUntil([&] { return IsOkEnabled(dialog) == enabled; }, timeout);
}

void ClickOk(HWND dialog)
{
    Click(dialog, IDOK);
}

void ClickCancel(HWND dialog)
{
    Click(dialog, IDCANCEL);
}

bool WaitUntilClosed(HWND dialog, DWORD timeout)
{
    return PollUntil([&] { return !::IsWindow(dialog); }, timeout);
}

} // namespace testsupport
