#include "view/find_list.h"

#include <commctrl.h>

#include "parse/mapping.h"
#include "view/row_text_win.h"

namespace velk {

namespace {

void ShowFoundRow(HWND list, int row) {
    LVITEMW change{};
    change.state = LVIS_SELECTED;
    change.stateMask = LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&change));
    ::SendMessageW(list, LVM_SETSELECTIONMARK, 0, row);
    ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

}  // namespace

dcm_find_result FindNext(HWND list, const dcm_row_model& rows, const wchar_t* path,
                         const FINDREPLACEW& record) {
    const dcm_cell_matcher<wchar_t> matcher(record.lpstrFindWhat,
                                            (record.Flags & FR_MATCHCASE) != 0);
    const dcm_file_mapping file(path);
    const int mark = static_cast<int>(::SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0));
    const dcm_ansi_to_utf16 convert = dcm_cell_converter(rows);
    dcm_row_find_source source(rows, dcm_bytes::of(file), mark, convert,
                               [] { return ::GetTickCount(); });
    const dcm_find_result result = dcm_find_next(source, matcher, (record.Flags & FR_DOWN) != 0);
    if (result.outcome == dcm_find_result::kind::found)
        ShowFoundRow(list, result.row);
    else if (result.outcome == dcm_find_result::kind::timed_out)
        ::MessageBeep(MB_ICONEXCLAMATION);
    return result;
}

}  // namespace velk
