#pragma once
// CWnd, CDialog: a window object holds an HWND; each member is one visible Win32 call.
#include <windows.h>

#include <string>

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd() = default;

    HWND GetSafeHwnd() const noexcept { return m_hWnd; }
    HWND GetDlgItem(int id) const noexcept { return ::GetDlgItem(m_hWnd, id); }
    void SetWindowText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }
    void EnableDlgItem(int id, bool enable) const { ::EnableWindow(GetDlgItem(id), enable); }

    HWND m_hWnd = nullptr;
};

// A dialog from a template resource of the program. `this` is attached at WM_INITDIALOG and
// every message goes through the virtual WindowProc to one named handler.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId) noexcept : m_templateId(templateId) {}

    // Shows the dialog modally (DialogBoxParamW) and returns the value given to EndDialog,
    // or -1 when the dialog could not be created.
    INT_PTR DoModal(HWND parent = nullptr);
    void EndDialog(INT_PTR result) const { ::EndDialog(m_hWnd, result); }

protected:
    virtual INT_PTR WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Returns TRUE to let the system give the focus to the first tab stop.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Commands other than IDOK and IDCANCEL; returns true when handled.
    virtual bool OnCommand(WORD /*id*/, WORD /*notifyCode*/, HWND /*control*/) { return false; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
};
