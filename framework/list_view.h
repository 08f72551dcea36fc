#pragma once
// CListViewCtrlT: the list-view messages as calls, over a window wrapper; and the
// window class of a window object that superclasses the system list view.
//
//     class CMyList : public CWindowImpl<CListViewSuperclass, CListViewCtrl, CListViewTraits>
//     {...};
#include <windows.h>
#include <commctrl.h>

#include "window.h"
#include "window_class.h"

namespace velk {

template <class TBase = CWindow>
class CListViewCtrlT : public TBase {
public:
    CListViewCtrlT(HWND hwnd = nullptr) : TBase(hwnd) {}
    CListViewCtrlT& operator=(HWND hwnd) {
        this->m_hWnd = hwnd;
        return *this;
    }

    static const wchar_t* GetWndClassName() { return WC_LISTVIEWW; }

    int GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    // flags: LVSICF_NOSCROLL, LVSICF_NOINVALIDATEALL.
    BOOL SetItemCountEx(int count, DWORD flags) const {
        return static_cast<BOOL>(Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(count), flags));
    }
    BOOL DeleteAllItems() const { return static_cast<BOOL>(Send(LVM_DELETEALLITEMS)); }

    int InsertColumn(int index, const wchar_t* heading, int format, int width, int subItem) const {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = format;
        column.cx = width;
        column.pszText = const_cast<wchar_t*>(heading);
        column.iSubItem = subItem;
        return static_cast<int>(Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), &column));
    }
    HWND GetHeader() const { return reinterpret_cast<HWND>(Send(LVM_GETHEADER)); }

    HIMAGELIST SetImageList(HIMAGELIST images, int which) const {
        return reinterpret_cast<HIMAGELIST>(
            Send(LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(images)));
    }
    HIMAGELIST GetImageList(int which) const {
        return reinterpret_cast<HIMAGELIST>(Send(LVM_GETIMAGELIST, static_cast<WPARAM>(which)));
    }
    // Changes the extended styles in mask (all of them when mask is 0) to style.
    DWORD SetExtendedListViewStyle(DWORD style, DWORD mask = 0) const {
        return static_cast<DWORD>(
            Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, static_cast<LPARAM>(style)));
    }
    DWORD GetExtendedListViewStyle() const {
        return static_cast<DWORD>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE));
    }
    BOOL SetCallbackMask(UINT mask) const {
        return static_cast<BOOL>(Send(LVM_SETCALLBACKMASK, mask));
    }
    UINT GetCallbackMask() const { return static_cast<UINT>(Send(LVM_GETCALLBACKMASK)); }

    // The item under a point in client coordinates (-1 for none), with the hit flags.
    int HitTest(LVHITTESTINFO* info) const { return static_cast<int>(Send(LVM_HITTEST, 0, info)); }

    BOOL GetItem(LVITEMW* item) const { return static_cast<BOOL>(Send(LVM_GETITEMW, 0, item)); }
    // Copies at most size - 1 characters of the cell into buffer; answers the length.
    int GetItemText(int item, int subItem, wchar_t* buffer, int size) const {
        LVITEMW request{};
        request.iSubItem = subItem;
        request.pszText = buffer;
        request.cchTextMax = size;
        return static_cast<int>(Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(item), &request));
    }
    UINT GetItemState(int item, UINT mask) const {
        return static_cast<UINT>(
            Send(LVM_GETITEMSTATE, static_cast<WPARAM>(item), static_cast<LPARAM>(mask)));
    }
    // item -1: every item.
    BOOL SetItemState(int item, UINT state, UINT mask) const {
        LVITEMW change{};
        change.state = state;
        change.stateMask = mask;
        return static_cast<BOOL>(Send(LVM_SETITEMSTATE, static_cast<WPARAM>(item), &change));
    }
    int GetNextItem(int start, UINT flags) const {
        return static_cast<int>(
            Send(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
    }
    UINT GetSelectedCount() const { return static_cast<UINT>(Send(LVM_GETSELECTEDCOUNT)); }
    int GetSelectionMark() const { return static_cast<int>(Send(LVM_GETSELECTIONMARK)); }
    int SetSelectionMark(int item) const {
        return static_cast<int>(Send(LVM_SETSELECTIONMARK, 0, item));
    }
    BOOL EnsureVisible(int item, BOOL partialOk) const {
        return static_cast<BOOL>(Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), partialOk));
    }
    int GetTopIndex() const { return static_cast<int>(Send(LVM_GETTOPINDEX)); }
    int GetCountPerPage() const { return static_cast<int>(Send(LVM_GETCOUNTPERPAGE)); }
    BOOL RedrawItems(int first, int last) const {
        return static_cast<BOOL>(Send(LVM_REDRAWITEMS, static_cast<WPARAM>(first), last));
    }
    BOOL GetItemRect(int item, RECT* rect, int code) const {
        rect->left = code;
        return static_cast<BOOL>(Send(LVM_GETITEMRECT, static_cast<WPARAM>(item), rect));
    }

private:
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(this->m_hWnd, msg, wParam, lParam);
    }
    template <class P>
    LRESULT Send(UINT msg, WPARAM wParam, P* pointer) const {
        return ::SendMessageW(this->m_hWnd, msg, wParam, reinterpret_cast<LPARAM>(pointer));
    }
};

using CListViewCtrl = CListViewCtrlT<CWindow>;

// Style defaults of a list-view window object: a visible child that clips.
using CListViewTraits = CWindowTraits<WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0>;

// Supplies the window class of a window object that superclasses "SysListView32"
// under a generated name: the list view's own procedure receives what the object's
// message maps leave.
struct CListViewSuperclass {
    static CWindowClassInfo& GetWndClassInfo();
};

}  // namespace velk
