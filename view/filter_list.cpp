// The element list showing a filter's rows in place of the document's.
#include "view/dcm_list_view.h"

namespace velk {

void CDcmListViewVirtual::ShowFilterRows(dcm_row_model& rows, std::vector<bool> matches) {
    SetFilterRows(&rows, std::move(matches));
}

void CDcmListViewVirtual::ShowDocumentRows() { SetFilterRows(nullptr, {}); }

void CDcmListViewVirtual::SetFilterRows(dcm_row_model* rows, std::vector<bool> matches) {
    {
        CRedrawOff quiet(m_hWnd);
        UnmapFileAfterPaint();
        // Selection and focus belong to the rows that go. Only what is there is
        // cleared: wine's list clears a selection row by row over every row.
        if (::SendMessageW(m_hWnd, LVM_GETSELECTEDCOUNT, 0, 0) > 0)
            SetItemState(-1, 0, LVIS_SELECTED);
        const int focused = GetNextItem(-1, LVNI_FOCUSED);
        if (focused >= 0) SetItemState(focused, 0, LVIS_FOCUSED);
        SetSelectionMark(-1);
        m_filterRows = rows;
        m_highlighted = std::move(matches);
        ShowRowCount(false);
    }
    // The header too: where the scroll bar went, it must draw its own columns.
    RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool CDcmListViewVirtual::IsHighlighted(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < m_highlighted.size() &&
           m_highlighted[static_cast<std::size_t>(row)];
}

}  // namespace velk
