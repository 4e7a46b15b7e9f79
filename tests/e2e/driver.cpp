#include "tests/e2e/driver.h"

#include "tests/support/message_box_watcher.h"
#include "tests/support/remote_memory.h"

#include <commctrl.h>

#include <cstdio>
#include <filesystem>

namespace e2e {
namespace {

constexpr DWORD kPoll = 100;
using testsupport::kMessageBoxTextId;

template <typename Find>
HWND Poll(Find find, DWORD timeout)
{
    for (DWORD waited = 0;; waited += kPoll) {
        if (HWND window = find())
            return window;
        if (waited >= timeout)
            return nullptr;
        ::Sleep(kPoll);
    }
}

std::wstring ClassName(HWND window)
{
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

struct TopLevelSearch {
    DWORD processId;
    bool (*accept)(HWND window, const TopLevelSearch& search);
    std::wstring className;
    std::optional<std::wstring> caption;
    HWND found = nullptr;
};

BOOL CALLBACK VisitTopLevel(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<TopLevelSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !::IsWindowVisible(window) || !search.accept(window, search))
        return TRUE;
    search.found = window;
    return FALSE;
}

HWND FindTopLevel(TopLevelSearch search)
{
    ::EnumWindows(&VisitTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool MatchesClassAndCaption(HWND window, const TopLevelSearch& search)
{
    return ClassName(window) == search.className && (!search.caption || WindowText(window) == *search.caption);
}

bool IsMessageBox(HWND window, const TopLevelSearch&)
{
    return testsupport::IsSystemMessageBox(window);
}

bool IsDialogButNotMessageBox(HWND window, const TopLevelSearch& search)
{
    return ClassName(window) == L"#32770" && !IsMessageBox(window, search);
}

} // namespace

Program Program::Start(const std::wstring& path, const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + path + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    const std::wstring folder = std::filesystem::path(path).parent_path().wstring();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &info)) {
        std::fprintf(stderr, "cannot start %s: error %lu\n", Utf8(path).c_str(), ::GetLastError());
        return Program(vt::unique_handle(), 0);
    }
    ::CloseHandle(info.hThread);
    return Program(vt::unique_handle(info.hProcess), info.dwProcessId);
}

Program::~Program()
{
    if (m_process && !HasEnded()) {
        ::TerminateProcess(m_process.get(), 99);
        ::WaitForSingleObject(m_process.get(), kTimeout);
    }
}

bool Program::HasEnded() const
{
    return !m_process || ::WaitForSingleObject(m_process.get(), 0) == WAIT_OBJECT_0;
}

std::optional<DWORD> Program::WaitForExit(DWORD timeout)
{
    if (!m_process || ::WaitForSingleObject(m_process.get(), timeout) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD exitCode = 0;
    ::GetExitCodeProcess(m_process.get(), &exitCode);
    return exitCode;
}

HWND FindTopLevelWindow(DWORD processId, const std::wstring& className, const std::optional<std::wstring>& caption)
{
    return FindTopLevel({processId, &MatchesClassAndCaption, className, caption});
}

HWND WaitForWindow(DWORD processId, const std::wstring& className, const std::optional<std::wstring>& caption,
                   DWORD timeout)
{
    return Poll([&] { return FindTopLevelWindow(processId, className, caption); }, timeout);
}

HWND WaitForDialog(DWORD processId, DWORD timeout)
{
    return Poll([&] { return FindTopLevel({processId, &IsDialogButNotMessageBox, L"", std::nullopt}); }, timeout);
}

HWND FindMessageBox(DWORD processId)
{
    return FindTopLevel({processId, &IsMessageBox, L"", std::nullopt});
}

HWND WaitForMessageBox(DWORD processId, DWORD timeout)
{
    return Poll([&] { return FindMessageBox(processId); }, timeout);
}

std::wstring MessageBoxText(HWND box)
{
    return ControlText(box, kMessageBoxTextId);
}

bool WaitUntilGone(HWND window, DWORD timeout)
{
    for (DWORD waited = 0; ::IsWindow(window) && ::IsWindowVisible(window); waited += kPoll) {
        if (waited >= timeout)
            return false;
        ::Sleep(kPoll);
    }
    return true;
}

std::wstring WindowText(HWND window)
{
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                          5000, &copied);
    text.resize(copied);
    return text;
}

std::wstring ControlText(HWND dialog, int id)
{
    HWND control = ::GetDlgItem(dialog, id);
    return control != nullptr ? WindowText(control) : std::wstring();
}

bool IsControlEnabled(HWND dialog, int id)
{
    HWND control = ::GetDlgItem(dialog, id);
    return control != nullptr && ::IsWindowEnabled(control);
}

void Click(HWND dialog, int id)
{
    // What the button itself tells its dialog when it is clicked. BM_CLICK would replay the
    // mouse on the button, which needs the focus and the capture: a dialog that is still being
    // activated loses such a click now and then, under load.
    HWND button = ::GetDlgItem(dialog, id);
    if (button != nullptr && ::IsWindowEnabled(button))
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void SetCheck(HWND dialog, int id, bool checked)
{
    HWND button = ::GetDlgItem(dialog, id);
    if (button == nullptr || !::IsWindowEnabled(button))
        return;
    ::SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

bool IsChecked(HWND dialog, int id)
{
    return ::SendMessageW(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The senders below do not report a failed send: every scenario reads the effect back.
void SetControlText(HWND dialog, int id, const std::wstring& text)
{
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                          SMTO_ABORTIFHUNG, kTimeout, &result);
}

HWND ActivePage(HWND wizard)
{
    for (HWND child = ::GetWindow(wizard, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) == L"#32770" && ::IsWindowVisible(child))
            return child;
    }
    return nullptr;
}

HWND WaitForPageChange(HWND wizard, HWND previous, DWORD timeout)
{
    return Poll(
        [&]() -> HWND {
            HWND page = ActivePage(wizard);
            return page != previous ? page : nullptr;
        },
        timeout);
}

bool WaitForControlEnabled(HWND dialog, int id, bool enabled, DWORD timeout)
{
    return Poll([&]() -> HWND { return IsControlEnabled(dialog, id) == enabled ? dialog : nullptr; }, timeout) !=
           nullptr;
}

bool WaitForControlText(HWND dialog, int id, const std::wstring& text, DWORD timeout)
{
    return Poll([&]() -> HWND { return ControlText(dialog, id) == text ? dialog : nullptr; }, timeout) != nullptr;
}

namespace {
struct OwnedSearch {
    HWND owner;
    HWND found = nullptr;
};

BOOL CALLBACK VisitOwned(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<OwnedSearch*>(parameter);
    if (::GetWindow(window, GW_OWNER) != search.owner || !::IsWindowVisible(window) ||
        ClassName(window) != L"#32770" || testsupport::IsSystemMessageBox(window))
        return TRUE;
    search.found = window;
    return FALSE;
}
} // namespace

HWND WaitForOwnedDialog(HWND owner, DWORD timeout)
{
    return Poll(
        [&] {
            OwnedSearch search{owner};
            ::EnumWindows(&VisitOwned, reinterpret_cast<LPARAM>(&search));
            return search.found;
        },
        timeout);
}

void PostSysCommand(HWND window, UINT command)
{
    ::PostMessageW(window, WM_SYSCOMMAND, command, 0);
}

void SelectComboItem(HWND dialog, int id, int position)
{
    HWND combo = ::GetDlgItem(dialog, id);
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(combo, CB_SETCURSEL, static_cast<WPARAM>(position), 0, SMTO_ABORTIFHUNG, kTimeout, &result);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

std::vector<std::wstring> ComboItemTexts(HWND dialog, int id)
{
    std::vector<std::wstring> texts;
    HWND combo = ::GetDlgItem(dialog, id);
    // The item record and its text buffer in the other process, where the control writes.
    constexpr int kTextChars = 128;
    const testsupport::RemoteMemory memory(combo, sizeof(COMBOBOXEXITEMW) + kTextChars * sizeof(wchar_t));
    if (!memory)
        return texts;
    auto* remoteText = reinterpret_cast<wchar_t*>(memory.address(sizeof(COMBOBOXEXITEMW)));
    const int count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int item = 0; item < count; ++item) {
        COMBOBOXEXITEMW info{};
        info.mask = CBEIF_TEXT;
        info.iItem = item;
        info.pszText = remoteText;
        info.cchTextMax = kTextChars;
        wchar_t text[kTextChars] = {};
        if (!memory.Write(0, &info, sizeof(info)) ||
            !::SendMessageW(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(memory.address())) ||
            !memory.Read(sizeof(COMBOBOXEXITEMW), text, sizeof(text) - sizeof(wchar_t)))
            break;
        texts.emplace_back(text);
    }
    return texts;
}

std::vector<ControlInfo> Controls(HWND dialog)
{
    std::vector<ControlInfo> controls;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        ControlInfo info;
        info.id = ::GetDlgCtrlID(child);
        info.className = ClassName(child);
        info.text = WindowText(child);
        info.visible = ::IsWindowVisible(child) != FALSE;
        info.enabled = ::IsWindowEnabled(child) != FALSE;
        controls.push_back(std::move(info));
    }
    return controls;
}

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size, nullptr,
                          nullptr);
    return utf8;
}

std::wstring SystemErrorText(DWORD code)
{
    vt::unique_hlocal buffer;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code, 0,
        reinterpret_cast<LPWSTR>(buffer.put()), 0, nullptr);
    std::wstring text(static_cast<const wchar_t*>(buffer.get()), length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n'))
        text.pop_back();
    return text;
}

void Snapshots::Take(HWND window, const std::wstring& name) const
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    Take(rect, name);
}

void Snapshots::Take(const RECT& rect, const std::wstring& name) const
{
    if (!m_folder)
        return;
    const std::filesystem::path done = std::filesystem::path(*m_folder) / (name + L".done");
    std::filesystem::remove(done);
    std::printf("SNAP %s %ld %ld %ld %ld\n", Utf8(name).c_str(), rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
    std::fflush(stdout);
    for (DWORD waited = 0; !std::filesystem::exists(done) && waited < 30000; waited += kPoll)
        ::Sleep(kPoll);
    std::filesystem::remove(done);
}

} // namespace e2e
