// The element list's tooltips for cut cells: resting the mouse on a cell whose
// text does not fit its column shows the whole text. One tooltip control for the
// list, made on the first mouse move; its one tool covers the list, and its text
// is asked for each time it shows, so that it follows the cell under the mouse.
#include "view/dcm_list_view.h"

#include <windowsx.h>

namespace velk {

namespace {

// The list's own space beside a cell's text, each side (as it draws the cells).
constexpr int kCellTextMargin = 6;
// The longest text a tip shows: a cell's text is at most this long.
constexpr int kTipTextLength = 1024;

}  // namespace

LRESULT CDcmListViewVirtual::OnCellTipMouseMove(CMessage& m) {
    m.handled = false;  // the control's own hover and tracking go on
    if (!m_cellTips) {
        m_cellTips =
            ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, nullptr, nullptr);
        if (!m_cellTips) return 0;
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = m_hWnd;
        tool.rect = {0, 0, 0x7FFF, 0x7FFF};
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        ::SendMessageW(m_cellTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        ::SendMessageW(m_cellTips, TTM_SETMAXTIPWIDTH, 0, ::GetSystemMetrics(SM_CXSCREEN) / 2);
    }
    LVHITTESTINFO hit{};
    hit.pt = {GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
    const int row =
        SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) >= 0 ? hit.iItem : -1;
    const int column = row >= 0 ? hit.iSubItem : -1;
    if (row != m_tipRow || column != m_tipColumn) {
        // Another cell: the tip shown goes, and the next asks for its text anew.
        m_tipRow = row;
        m_tipColumn = column;
        ::SendMessageW(m_cellTips, TTM_POP, 0, 0);
    }
    return 0;
}

// The text of the cell under the mouse when it is cut; none (no tip) when it fits.
std::wstring CDcmListViewVirtual::CutCellText() {
    if (m_tipRow < 0 || m_tipColumn < 0 || m_tipRow >= GetItemCount()) return {};
    wchar_t text[kTipTextLength] = {};
    LVITEMW item{};
    item.iSubItem = m_tipColumn;
    item.pszText = text;
    item.cchTextMax = kTipTextLength;
    SendMessage(LVM_GETITEMTEXTW, WPARAM(m_tipRow), reinterpret_cast<LPARAM>(&item));
    RECT cell{};
    cell.top = m_tipColumn;
    cell.left = LVIR_LABEL;
    if (!SendMessage(LVM_GETSUBITEMRECT, WPARAM(m_tipRow), reinterpret_cast<LPARAM>(&cell)))
        return {};
    const int needed = int(SendMessage(LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text))) +
                       2 * kCellTextMargin;
    return needed > cell.right - cell.left ? std::wstring(text) : std::wstring();
}

bool CDcmListViewVirtual::OnCellTipNotify(CMessage& m) {
    const auto* header = reinterpret_cast<const NMHDR*>(m.lParam);
    if (!m_cellTips || header->hwndFrom != m_cellTips || header->code != TTN_GETDISPINFOW)
        return false;
    auto* request = reinterpret_cast<NMTTDISPINFOW*>(m.lParam);
    m_tipText = CutCellText();
    request->lpszText = const_cast<wchar_t*>(m_tipText.c_str());
    request->szText[0] = L'\0';
    request->hinst = nullptr;
    m.result = 0;
    return true;
}

void CDcmListViewVirtual::DestroyCellTips() {
    if (m_cellTips) ::DestroyWindow(m_cellTips);
    m_cellTips = nullptr;
}

}  // namespace velk
