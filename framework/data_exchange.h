#pragma once
// Dialog data exchange: one DoDataExchange per dialog moves values between its controls and
// its data, in the direction the exchange says. A refused value ends the exchange through
// Fail(), after the refusing routine has told the user and given its control the focus.
#include <windows.h>

#include <string>

class CDialog;
class CWnd;

class CDataExchange {
public:
    struct Failure {};

    CDataExchange(CDialog& dialog, bool saveAndValidate) noexcept
        : m_pDlgWnd(&dialog), m_bSaveAndValidate(saveAndValidate) {}

    // The control that a following validation refers to; an edit gets its text selected when
    // the validation fails.
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    [[noreturn]] void Fail();
    // The control of the last exchange routine, to which DDV routines apply.
    HWND LastControl() const noexcept { return m_lastControl; }

    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;

private:
    HWND m_lastControl = nullptr;
    bool m_lastIsEdit = false;
};

void DDX_Text(CDataExchange& exchange, int id, std::wstring& value);
// Loading limits the edit to `maxChars`; saving refuses a longer text with the framework's
// message "Enter no more than %1 characters.".
void DDV_MaxChars(CDataExchange& exchange, const std::wstring& value, int maxChars);
// The index of the checked button of the radio group that starts at `id`; -1 when none is.
void DDX_Radio(CDataExchange& exchange, int id, int& value);
// 0 unchecked, 1 checked, 2 indeterminate.
void DDX_Check(CDataExchange& exchange, int id, int& value);
// Attaches the control once, whatever the direction.
void DDX_Control(CDataExchange& exchange, int id, CWnd& control);
