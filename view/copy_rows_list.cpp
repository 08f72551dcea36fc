#include "view/copy_rows_list.h"

#include <commctrl.h>

#include "view/clipboard.h"

namespace velk {

namespace {

// The list as copy_rows.h reads it.
class CListRowsSource {
public:
    explicit CListRowsSource(HWND list)
        : m_list(list), m_header(reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0))) {}

    int next_selected(int after) const {
        return static_cast<int>(
            ::SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(after), MAKELPARAM(LVNI_SELECTED, 0)));
    }

    // Asked before every cell: the columns are the header's items.
    int column_count() const {
        return m_header ? static_cast<int>(::SendMessageW(m_header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    }

    int cell(int row, int column, wchar_t* buffer, std::size_t capacity) const {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_INDENT;
        item.iItem = row;
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = static_cast<int>(capacity);
        ::SendMessageW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.iIndent;
    }

private:
    HWND m_list;
    HWND m_header;
};

}  // namespace

void ReadSelectedRows(HWND list, dcm_rows_text<wchar_t>& text) {
    CListRowsSource source(list);
    dcm_build_rows_text(source, text);
}

void CopyRows(HWND list) {
    dcm_rows_text<wchar_t> text;
    ReadSelectedRows(list, text);
    CopyTextToClipboard(list, text.data(), text.size());
}

void SelectAll(HWND list) {
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    if (count <= 0) return;
    // Drawing waits for the last row: a repaint per visible row costs the list
    // many times more than the state changes themselves.
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (int row = 0; row < count; ++row) {
        LVITEMW change{};
        change.state = LVIS_SELECTED;
        change.stateMask = LVIS_SELECTED;
        ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&change));
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, FALSE);
}

}  // namespace velk
