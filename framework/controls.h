#pragma once
// Thin wrappers over common controls: each holds the control's HWND (attached by DDX_Control)
// and sends the one message its member names. The image list owns its HIMAGELIST.
#include "framework/window.h"

#include <commctrl.h>

#include <string>

class CEdit : public CWnd {
public:
    void SetSel(int start, int end, bool noScroll = false) const
    {
        ::SendMessageW(m_hWnd, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
        if (!noScroll)
            ::SendMessageW(m_hWnd, EM_SCROLLCARET, 0, 0);
    }
    void ReplaceSel(const std::wstring& text, bool canUndo = false) const
    {
        ::SendMessageW(m_hWnd, EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void LineScroll(int lines, int characters = 0) const
    {
        ::SendMessageW(m_hWnd, EM_LINESCROLL, static_cast<WPARAM>(characters), lines);
    }
    int GetFirstVisibleLine() const { return static_cast<int>(::SendMessageW(m_hWnd, EM_GETFIRSTVISIBLELINE, 0, 0)); }
    // Left margin in the low word, right margin in the high word, in pixels.
    DWORD GetMargins() const { return static_cast<DWORD>(::SendMessageW(m_hWnd, EM_GETMARGINS, 0, 0)); }
    int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
};

class CProgressCtrl : public CWnd {
public:
    void SetRange(int lower, int upper) const { ::SendMessageW(m_hWnd, PBM_SETRANGE32, lower, upper); }
    void SetPos(int position) const { ::SendMessageW(m_hWnd, PBM_SETPOS, static_cast<WPARAM>(position), 0); }
};

class CImageList {
public:
    CImageList() = default;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    ~CImageList() { DeleteImageList(); }

    bool Create(int width, int height, UINT flags, int initial, int grow);
    // Appends an icon; returns its index, or -1.
    int Add(HICON icon) const { return ::ImageList_AddIcon(m_hImageList, icon); }
    HIMAGELIST GetSafeHandle() const noexcept { return m_hImageList; }
    void DeleteImageList();

private:
    HIMAGELIST m_hImageList = nullptr;
};

class CComboBoxEx : public CWnd {
public:
    // The inner combo box, which draws the closed list and measures with the dialog's font.
    HWND GetComboBoxCtrl() const { return reinterpret_cast<HWND>(::SendMessageW(m_hWnd, CBEM_GETCOMBOCONTROL, 0, 0)); }
    void SetImageList(const CImageList& images) const
    {
        ::SendMessageW(m_hWnd, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.GetSafeHandle()));
    }
    // Returns the position of the new item, or -1.
    int InsertItem(const COMBOBOXEXITEMW& item) const
    {
        return static_cast<int>(::SendMessageW(m_hWnd, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
    bool GetItem(COMBOBOXEXITEMW& item) const
    {
        return ::SendMessageW(m_hWnd, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
    }
    int GetCurSel() const { return static_cast<int>(::SendMessageW(m_hWnd, CB_GETCURSEL, 0, 0)); }
    int SetCurSel(int position) const
    {
        return static_cast<int>(::SendMessageW(m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(position), 0));
    }
    void SetDroppedWidth(int width) const { ::SendMessageW(m_hWnd, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0); }
};
