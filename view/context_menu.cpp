#include "view/context_menu.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "framework/module.h"
#include "view/clipboard.h"
#include "view/copy_rows.h"

namespace velk {

namespace {

// A menu loaded from the program's resources, destroyed with the object.
class CLoadedMenu {
public:
    explicit CLoadedMenu(int id)
        : m_menu(::LoadMenuW(GetAppModule().GetResourceInstance(), MAKEINTRESOURCEW(id))) {}
    ~CLoadedMenu() {
        if (m_menu) ::DestroyMenu(m_menu);
    }
    CLoadedMenu(const CLoadedMenu&) = delete;
    CLoadedMenu& operator=(const CLoadedMenu&) = delete;

    HMENU FirstPopup() const { return m_menu ? ::GetSubMenu(m_menu, 0) : nullptr; }

private:
    HMENU m_menu;
};

// Whether a client point lies on the list's column headers. The header is no
// row, but some list implementations (wine's among them) answer a sub-item hit
// test there with the first row.
bool OnHeader(HWND list, POINT point) {
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (!header || !(::GetWindowLongPtrW(header, GWL_STYLE) & WS_VISIBLE)) return false;
    RECT area{};
    ::GetWindowRect(header, &area);
    ::MapWindowPoints(HWND_DESKTOP, list, reinterpret_cast<POINT*>(&area), 2);
    return ::PtInRect(&area, point) != FALSE;
}

}  // namespace

POINT ContextMenuPoint(POINT point) {
    if (::MonitorFromPoint(point, MONITOR_DEFAULTTONULL)) return point;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &monitor))
        return point;
    const RECT& work = monitor.rcWork;
    if (work.right > work.left) point.x = std::clamp(point.x, work.left, work.right - 1);
    return point;
}

void ShowListContextMenu(HWND list, LPARAM lParam) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const CLoadedMenu menu(kListContextMenu);
    HMENU popup = menu.FirstPopup();
    if (!popup) return;
    const POINT shown = ContextMenuPoint(point);
    // The choice comes back here rather than as a posted WM_COMMAND.
    const UINT chosen = static_cast<UINT>(
        ::TrackPopupMenuEx(popup, TPM_RETURNCMD, shown.x, shown.y, list, nullptr));
    switch (chosen) {
    case kCopyItemCommand: CopyItem(list, point); break;
    case kCopyRowsCommand:
    case kSelectAllCommand: ::SendMessageW(list, WM_COMMAND, chosen, 0); break;
    default:  // dismissed
        break;
    }
}

void CopyItem(HWND list, POINT point) {
    ::MapWindowPoints(HWND_DESKTOP, list, &point, 1);
    if (OnHeader(list, point)) return;
    LVHITTESTINFO hit{};
    hit.pt = point;
    const int row = static_cast<int>(
        ::SendMessageW(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row < 0) return;  // no row there: below the last one, or on the header
    wchar_t cell[dcm_cell_capacity] = {};
    LVITEMW item{};
    item.iSubItem = hit.iSubItem;
    item.pszText = cell;
    item.cchTextMax = static_cast<int>(dcm_cell_capacity);
    ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
    // The length the list answers is not trusted past the buffer's zero.
    std::size_t length = 0;
    while (length + 1 < dcm_cell_capacity && cell[length] != L'\0') ++length;
    CopyTextToClipboard(list, cell, length);
}

}  // namespace velk
