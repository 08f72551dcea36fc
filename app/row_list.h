// The report list a window of rows shows them in (the comparison, the folder
// window, the problems window): owner data, whole rows selected, columns the user
// may drag, drawn double-buffered. One place for the styles these windows share.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/list_view.h"

namespace velk {

// Creates `list` as a child of `parent`, with `ownStyle` (LVS_SINGLESEL, say)
// besides the shared ones; false when it could not be made.
inline bool CreateRowList(CListViewCtrl& list, HWND parent, DWORD ownStyle = 0) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | LVS_REPORT | LVS_SHOWSELALWAYS |
                        LVS_OWNERDATA | ownStyle;
    if (!list.Create(WC_LISTVIEWW, parent, nullptr, nullptr, style, WS_EX_CLIENTEDGE)) return false;
    list.SetExtendedListViewStyle(LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP |
                                  LVS_EX_DOUBLEBUFFER);
    return true;
}

}  // namespace velk
