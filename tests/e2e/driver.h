#pragma once
// Drives another process's windows the way a user would: waits for them by class and caption,
// reads control texts by id, clicks buttons, answers message boxes and asks for screenshots.
#include "framework/unique_resource.h"

#include <optional>
#include <string>
#include <vector>

namespace e2e {

inline constexpr DWORD kTimeout = 60000; // the first start in a fresh prefix is slow

// A program started by the driver; ended by force if it still runs when the object goes.
class Program {
public:
    static Program Start(const std::wstring& path, const std::wstring& arguments = L"");
    Program(Program&&) = default;
    Program& operator=(Program&&) = default;
    ~Program();

    DWORD id() const noexcept { return m_id; }
    bool HasEnded() const;
    // The exit code, or nothing when the program still runs after `timeout`.
    std::optional<DWORD> WaitForExit(DWORD timeout = kTimeout);

private:
    Program(vt::unique_handle process, DWORD id) : m_process(std::move(process)), m_id(id) {}

    vt::unique_handle m_process;
    DWORD m_id = 0;
};

// A visible top-level window of the process with this class and (when given) exact caption.
HWND FindTopLevelWindow(DWORD processId, const std::wstring& className,
                        const std::optional<std::wstring>& caption = std::nullopt);
HWND WaitForWindow(DWORD processId, const std::wstring& className,
                   const std::optional<std::wstring>& caption = std::nullopt, DWORD timeout = kTimeout);

// A dialog of the process that is not a message box, whatever its caption (the wizard in any
// language).
HWND WaitForDialog(DWORD processId, DWORD timeout = kTimeout);

// A message box of the process: a top-level dialog holding the box's text control.
HWND FindMessageBox(DWORD processId);
HWND WaitForMessageBox(DWORD processId, DWORD timeout = kTimeout);
std::wstring MessageBoxText(HWND box);
// Waits until a window has gone (a box closed, a page hidden).
bool WaitUntilGone(HWND window, DWORD timeout = kTimeout);

std::wstring WindowText(HWND window);
std::wstring ControlText(HWND dialog, int id);
bool IsControlEnabled(HWND dialog, int id);
// Posts the click of an enabled button (a disabled one ignores it, as it ignores the mouse), so
// that a button which opens a modal box does not block the driver.
void Click(HWND dialog, int id);

// Sets a check box or radio button and tells its dialog, as a click would. A radio button's
// partners are not unchecked: check the one wanted and clear the others.
void SetCheck(HWND dialog, int id, bool checked);
bool IsChecked(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const std::wstring& text);

// The wizard's page on show: its visible child dialog.
HWND ActivePage(HWND wizard);
// Waits until another page than `previous` is on show; that page, or null.
HWND WaitForPageChange(HWND wizard, HWND previous, DWORD timeout = kTimeout);
// Waits until a control is enabled (or disabled); whether it got there.
bool WaitForControlEnabled(HWND dialog, int id, bool enabled, DWORD timeout = kTimeout);
// Waits until a control reads `text`; whether it did.
bool WaitForControlText(HWND dialog, int id, const std::wstring& text, DWORD timeout = kTimeout);

// A dialog (not a message box) owned by `owner`: the about box, the folder browser.
HWND WaitForOwnedDialog(HWND owner, DWORD timeout = kTimeout);
// Posts a system-menu command, as choosing it in the menu does.
void PostSysCommand(HWND window, UINT command);

// Selects an item of an extended combo box and tells its dialog, as a user's choice does.
void SelectComboItem(HWND dialog, int id, int position);
// The texts of an extended combo box's items (read through the other process's memory).
std::vector<std::wstring> ComboItemTexts(HWND dialog, int id);

struct ControlInfo {
    int id = 0;
    std::wstring className;
    std::wstring text;
    bool visible = false;
    bool enabled = false;
};
std::vector<ControlInfo> Controls(HWND dialog);

// UTF-8 for the console: msvcrt's %ls stops at the first character outside the C locale.
std::string Utf8(const std::wstring& text);

// The system's text for an error code as this Wine gives it, without trailing line breaks.
// Written here on purpose rather than taken from the installer: the oracle must not share the
// code it checks.
std::wstring SystemErrorText(DWORD code);

// Screenshots taken by the shell script that reads the driver's output: the driver prints
// "SNAP name left top width height" and waits for <folder>\name.done. Without a folder,
// nothing is asked.
class Snapshots {
public:
    explicit Snapshots(std::optional<std::wstring> folder) : m_folder(std::move(folder)) {}
    void Take(HWND window, const std::wstring& name) const;
    // An area of the screen, in screen coordinates.
    void Take(const RECT& area, const std::wstring& name) const;

private:
    std::optional<std::wstring> m_folder;
};

} // namespace e2e
