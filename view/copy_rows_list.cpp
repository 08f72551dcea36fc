#include "view/copy_rows_list.h"

#include <commctrl.h>

#include "parse/mapping.h"
#include "view/clipboard.h"
#include "view/row_text_win.h"

namespace velk {

void ReadSelectedRows(HWND list, const dcm_row_model& rows, const wchar_t* path,
                      dcm_text_buffer<wchar_t>& text) {
    const dcm_file_mapping file(path);
    // With every row selected (Select All, then Copy Rows) the rows follow each
    // other: no question per row to the list.
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    const bool all = count > 0 && ::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) == count;
    const auto next_selected = [list, all, count](int after) {
        if (all) return after + 1 < count ? after + 1 : -1;
        return static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(after),
                                               MAKELPARAM(LVNI_SELECTED, 0)));
    };
    dcm_copy_rows_text(rows, dcm_bytes::of(file), next_selected, dcm_cell_converter(rows), text);
}

void CopyRows(HWND list, const dcm_row_model& rows, const wchar_t* path) {
    dcm_text_buffer<wchar_t> text;
    ReadSelectedRows(list, rows, path, text);
    CopyTextToClipboard(list, text.data(), text.size());
}

void SelectAll(HWND list) {
    if (::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) <= 0) return;
    LVITEMW change{};
    change.state = LVIS_SELECTED;
    change.stateMask = LVIS_SELECTED;
    // The control marks each row's rectangle for repainting as it selects the
    // row, and under wine every mark is a trip to the window server: with
    // redrawing off it marks none, and one repaint of the list follows.
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&change));
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, FALSE);
}

}  // namespace velk
