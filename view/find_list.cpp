#include "view/find_list.h"

#include <commctrl.h>

namespace velk {

namespace {

// The list as find.h reads it.
class CListFindSource {
public:
    explicit CListFindSource(HWND list) : m_list(list) {}

    std::uint32_t ticks() const { return ::GetTickCount(); }
    int row_count() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    int column_count() const {
        HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
        return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    }
    int selection_mark() const { return static_cast<int>(Send(LVM_GETSELECTIONMARK)); }

    std::size_t cell(int row, int column, wchar_t* buffer, std::size_t capacity) const {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = static_cast<int>(capacity);
        Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        // Up to the zero that the display request wrote, whatever length comes back.
        std::size_t n = 0;
        while (n + 1 < capacity && buffer[n] != L'\0') ++n;
        return n;
    }

private:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_list, message, wParam, lParam);
    }

    HWND m_list;
};

void ShowFoundRow(HWND list, int row) {
    LVITEMW change{};
    change.state = LVIS_SELECTED;
    change.stateMask = LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&change));
    ::SendMessageW(list, LVM_SETSELECTIONMARK, 0, row);
    ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

}  // namespace

dcm_find_result FindNext(HWND list, const FINDREPLACEW& record) {
    const dcm_cell_matcher<wchar_t> matcher(record.lpstrFindWhat, (record.Flags & FR_MATCHCASE) != 0);
    CListFindSource source(list);
    const dcm_find_result result = dcm_find_next(source, matcher, (record.Flags & FR_DOWN) != 0);
    if (result.outcome == dcm_find_result::kind::found)
        ShowFoundRow(list, result.row);
    else if (result.outcome == dcm_find_result::kind::timed_out)
        ::MessageBeep(MB_ICONEXCLAMATION);
    return result;
}

}  // namespace velk
