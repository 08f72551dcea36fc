// The element list's context menu (menu resource 203): Copy Item, Copy Rows and
// Select All.
#pragma once

#include <windows.h>

#include "view/command_ids.h"

namespace velk {

// The context menu's resource, and the command only it offers.
constexpr int kListContextMenu = IDR_LIST_CONTEXT;
constexpr WORD kCopyItemCommand = ID_EDIT_COPY_ITEM;
constexpr WORD kCopyRowsCommand = ID_EDIT_COPY_ROWS;
constexpr WORD kSelectAllCommand = ID_EDIT_SELECT_ALL;

// Where the menu for a request at screen point `point` is shown: the point
// itself, or, when it lies on no monitor (the keyboard's (-1, -1) on a screen
// that starts at 0), the point with its x clamped into the work area of the
// nearest monitor.
POINT ContextMenuPoint(POINT point);

// Handles WM_CONTEXTMENU of the list (lParam: the screen point, x and y signed
// 16-bit): shows the menu, waits for the choice and acts on it. Copy Rows and
// Select All are sent to the list as WM_COMMAND; Copy Item copies the cell at
// the message's own point.
void ShowListContextMenu(HWND list, LPARAM point);

// Copy Item: the text of the cell under screen point `point`, without indent, on
// the clipboard. No cell there: nothing happens, the clipboard stays as it was.
void CopyItem(HWND list, POINT point);

}  // namespace velk
