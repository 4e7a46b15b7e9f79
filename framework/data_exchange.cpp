#include "framework/data_exchange.h"

#include "framework/win_app.h"
#include "framework/window.h"

HWND CDataExchange::PrepareCtrl(int id)
{
    m_lastControl = m_pDlgWnd->GetDlgItem(id);
    m_lastIsEdit = false;
    return m_lastControl;
}

HWND CDataExchange::PrepareEditCtrl(int id)
{
    PrepareCtrl(id);
    m_lastIsEdit = true;
    return m_lastControl;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_lastControl != nullptr) {
        ::SetFocus(m_lastControl);
        if (m_lastIsEdit)
            ::SendMessageW(m_lastControl, EM_SETSEL, 0, -1);
    }
    throw Failure{};
}

void DDX_Text(CDataExchange& exchange, int id, std::wstring& value)
{
    HWND control = exchange.PrepareEditCtrl(id);
    if (exchange.m_bSaveAndValidate)
        value = WindowText(control);
    else
        ::SetWindowTextW(control, value.c_str());
}

void DDV_MaxChars(CDataExchange& exchange, const std::wstring& value, int maxChars)
{
    if (!exchange.m_bSaveAndValidate) {
        // The limit holds for typing; a text set by a program may still be longer, which saving
        // then refuses.
        ::SendMessageW(exchange.LastControl(), EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
        return;
    }
    if (value.size() > static_cast<size_t>(maxChars)) {
        AfxMessageBox(L"Enter no more than " + std::to_wstring(maxChars) + L" characters.", MB_ICONEXCLAMATION);
        exchange.Fail();
    }
}

void DDX_Radio(CDataExchange& exchange, int id, int& value)
{
    HWND first = exchange.PrepareCtrl(id);
    HWND dialog = exchange.m_pDlgWnd->GetSafeHwnd();
    if (exchange.m_bSaveAndValidate)
        value = -1;
    // The group runs from its first button up to the next control with WS_GROUP; only radio
    // buttons count.
    int index = 0;
    HWND control = first;
    do {
        if ((::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0) {
            if (exchange.m_bSaveAndValidate) {
                if (::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED)
                    value = index;
            } else {
                ::SendMessageW(control, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++index;
        }
        control = ::GetWindow(control, GW_HWNDNEXT);
    } while (control != nullptr && ::GetParent(control) == dialog &&
             (::GetWindowLongW(control, GWL_STYLE) & WS_GROUP) == 0);
}

void DDX_Check(CDataExchange& exchange, int id, int& value)
{
    HWND control = exchange.PrepareCtrl(id);
    if (exchange.m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
    else
        ::SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Control(CDataExchange& exchange, int id, CWnd& control)
{
    if (control.m_hWnd == nullptr)
        control.m_hWnd = exchange.PrepareCtrl(id);
}
