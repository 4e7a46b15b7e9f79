#pragma once
// CWnd, CDialog: a window object holds an HWND; each member is one visible Win32 call.
#include <windows.h>

#include <string>

class CDataExchange;

// The text of any window (a control's caption or contents).
std::wstring WindowText(HWND window);

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd() = default;

    HWND GetSafeHwnd() const noexcept { return m_hWnd; }
    HWND GetDlgItem(int id) const noexcept { return ::GetDlgItem(m_hWnd, id); }
    std::wstring GetWindowText() const { return WindowText(m_hWnd); }
    void SetWindowText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }
    void SetDlgItemText(int id, const std::wstring& text) const { ::SetDlgItemTextW(m_hWnd, id, text.c_str()); }
    void EnableDlgItem(int id, bool enable) const { ::EnableWindow(GetDlgItem(id), enable); }
    void ShowWindow(int command) const { ::ShowWindow(m_hWnd, command); }

    // The rectangle of a window in the client coordinates of this window (its parent).
    RECT GetChildRect(HWND child) const;
    // Moves and resizes a child control by the given amounts of client pixels, without
    // repainting: the layout code runs before the window is shown.
    void OffsetChild(int id, int dx, int dy, int dw, int dh) const;

    HWND m_hWnd = nullptr;
};

// A dialog from a template resource of the program. `this` is attached at WM_INITDIALOG and
// every message goes through the virtual WindowProc to one named handler.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId) noexcept : m_templateId(templateId) {}
    ~CDialog() override;

    // Shows the dialog modally (DialogBoxParamW) and returns the value given to EndDialog,
    // or -1 when the dialog could not be created.
    INT_PTR DoModal(HWND parent = nullptr);
    // Creates the dialog modeless (CreateDialogParamW): as a hidden child page when the template
    // says WS_CHILD. Returns false when it could not be created.
    bool Create(UINT templateId, CWnd* parent);
    void EndDialog(INT_PTR result) const { ::EndDialog(m_hWnd, result); }
    // Destroys a modeless dialog's window now, before its object's members go.
    void DestroyWindow();

    // Loads the controls from the data (save false) or validates and stores them (save true).
    // Returns false when a control's value was refused; the user has then been told why.
    bool UpdateData(bool save = true);

protected:
    virtual INT_PTR WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Returns TRUE to let the system give the focus to the first tab stop. Loads the controls
    // once, as the framework's dialogs do.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange& /*exchange*/) {}
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Commands other than IDOK and IDCANCEL; returns true when handled.
    virtual bool OnCommand(WORD /*id*/, WORD /*notifyCode*/, HWND /*control*/) { return false; }

private:
    // A child dialog (a wizard page) rather than a window of its own.
    bool IsChildPage() const;
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    bool m_modeless = false;
};
