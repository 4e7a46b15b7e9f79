#include "framework/window.h"

#include "framework/data_exchange.h"
#include "framework/wait_cursor.h"

#include <vector>

std::wstring WindowText(HWND window)
{
    const int length = ::GetWindowTextLengthW(window);
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
    const int copied = ::GetWindowTextW(window, text.data(), length + 1);
    return std::wstring(text.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

RECT CWnd::GetChildRect(HWND child) const
{
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void CWnd::OffsetChild(int id, int dx, int dy, int dw, int dh) const
{
    HWND child = GetDlgItem(id);
    if (child == nullptr)
        return;
    const RECT rect = GetChildRect(child);
    ::MoveWindow(child, rect.left + dx, rect.top + dy, rect.right - rect.left + dw, rect.bottom - rect.top + dh,
                 FALSE);
}

CDialog::~CDialog()
{
    // A modal dialog has ended before DoModal returned.
    DestroyWindow();
}

void CDialog::DestroyWindow()
{
    if (m_modeless && m_hWnd != nullptr)
        ::DestroyWindow(m_hWnd);
}

INT_PTR CDialog::DoModal(HWND parent)
{
    m_modeless = false;
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), parent,
                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create(UINT templateId, CWnd* parent)
{
    m_templateId = templateId;
    m_modeless = true;
    HWND window = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId),
                                       parent != nullptr ? parent->GetSafeHwnd() : nullptr, &CDialog::DialogProc,
                                       reinterpret_cast<LPARAM>(this));
    return window != nullptr;
}

bool CDialog::UpdateData(bool save)
{
    CDataExchange exchange(*this, save);
    try {
        DoDataExchange(exchange);
    } catch (const CDataExchange::Failure&) {
        return false; // the control that refused its value has told the user and has the focus
    }
    return true;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = window;
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
    } else {
        dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    }
    if (dialog == nullptr)
        return FALSE; // messages that arrive before WM_INITDIALOG (WM_SETFONT and the like)

    INT_PTR result = dialog->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, DWLP_USER, 0);
        dialog->m_hWnd = nullptr;
    }
    return result;
}

bool CDialog::IsChildPage() const
{
    return (::GetWindowLongW(m_hWnd, GWL_STYLE) & WS_CHILD) != 0;
}

INT_PTR CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case DM_GETDEFID:
        // A page has no buttons of its own: Enter in one of its controls (a multi-line edit asks
        // its dialog) means the default button of the dialog that hosts it.
        if (IsChildPage()) {
            ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, ::SendMessageW(::GetParent(m_hWnd), DM_GETDEFID, 0, 0));
            return TRUE;
        }
        return FALSE;
    case WM_SETCURSOR:
        if (!CWaitCursor::Active())
            return FALSE;
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_COMMAND: {
        const WORD id = LOWORD(wParam);
        const WORD code = HIWORD(wParam);
        // Enter and Escape inside a page (a multi-line edit closes its dialog on Escape) belong to
        // the hosting dialog; a page that ended itself would leave an empty, unfocused window.
        if ((id == IDOK || id == IDCANCEL) && code == BN_CLICKED && IsChildPage()) {
            HWND parent = ::GetParent(m_hWnd);
            ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(parent, id)));
            return TRUE;
        }
        if (id == IDOK && code == BN_CLICKED) {
            OnOK();
            return TRUE;
        }
        if (id == IDCANCEL && code == BN_CLICKED) {
            OnCancel();
            return TRUE;
        }
        return OnCommand(id, code, reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    }
    default:
        return FALSE;
    }
}
