// The rows with findings one after another: F8 and Shift+F8 go to the next and
// the previous element with a finding in file order, expanding the containers
// that hide it, so that a collapsed document skips none.
#include "view/velk_view.h"

namespace velk {

LRESULT CVelkView::OnNextProblem(CMessage&) {
    MoveToProblem(true);
    return 0;
}

LRESULT CVelkView::OnPreviousProblem(CMessage&) {
    MoveToProblem(false);
    return 0;
}

int CVelkView::RevealPlace(dcm_problems::place at) {
    // Each pass opens one level of the containers around the element: at most
    // one pass per level a record can hold, and one to land.
    for (int pass = 0; pass <= 256; ++pass) {
        const std::size_t row = dcm_problems::row_at_or_before(Rows().records(), at);
        if (row >= Rows().size()) return -1;
        if (dcm_problems::place_of(Rows().record(row)) == at || !Rows().is_collapsed(row)) {
            FocusRow(int(row));
            return int(row);
        }
        const std::size_t before = Rows().size();
        ExpandRow(int(row));
        if (Rows().size() == before) {  // the file no longer gives the nested rows
            FocusRow(int(row));
            return int(row);
        }
    }
    return -1;
}

// From the focused row (or the start), to the next place with a finding whose
// row is another than the focused one: a finding of a missing element lies
// where it belongs, on no row of its own.
void CVelkView::MoveToProblem(bool forward) {
    const dcm_problems& problems = m_document.problems();
    if (problems.empty()) {
        ::MessageBeep(MB_OK);
        return;
    }
    const int focused = GetNextItem(-1, LVNI_FOCUSED);
    dcm_problems::place from =
        forward ? dcm_problems::place{false, 0} : dcm_problems::place{true, UINT64_MAX};
    if (focused >= 0 && std::size_t(focused) < Rows().size())
        from = dcm_problems::place_of(Rows().record(std::size_t(focused)));
    for (std::size_t tries = 0; tries < problems.findings().list.size(); ++tries) {
        from = problems.next_place(from, forward);
        const std::size_t row = dcm_problems::row_at_or_before(Rows().records(), from);
        if (row < Rows().size() && int(row) == focused && !Rows().is_collapsed(row)) continue;
        if (RevealPlace(from) >= 0) return;
    }
}

}  // namespace velk
