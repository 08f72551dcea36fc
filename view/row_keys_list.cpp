// The element list's side of the folding keys (row_keys.h): the focused row is
// expanded, collapsed, or gives the focus to its container.
#include "view/dcm_list_view.h"
#include "view/row_keys.h"

namespace velk {

namespace {

bool ModifierHeld() {
    return ::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_SHIFT) < 0 ||
           ::GetKeyState(VK_MENU) < 0;
}

}  // namespace

LRESULT CDcmListViewVirtual::OnRowKeyDown(CMessage& m) {
    m.handled = false;
    if (ModifierHeld()) return 0;
    if (m.wParam == VK_RIGHT) m.handled = ApplyRowKey(RowKey::right);
    if (m.wParam == VK_LEFT) m.handled = ApplyRowKey(RowKey::left);
    return 0;
}

// + and - as typed, from the number pad or the main keys alike.
LRESULT CDcmListViewVirtual::OnRowChar(CMessage& m) {
    m.handled = false;
    if (m.wParam == L'+') m.handled = ApplyRowKey(RowKey::plus);
    if (m.wParam == L'-') m.handled = ApplyRowKey(RowKey::minus);
    return 0;
}

bool CDcmListViewVirtual::ApplyRowKey(RowKey key) {
    const int focused = GetNextItem(-1, LVNI_FOCUSED);
    const dcm_row_model& rows = Rows();
    if (focused < 0 || static_cast<std::size_t>(focused) >= rows.size()) return false;
    const auto row = static_cast<std::size_t>(focused);
    const RowKeyTarget target{rows.record(row).container, rows.is_collapsed(row),
                              rows.record(row).level > 0};
    switch (ActionForRowKey(key, target)) {
    case RowKeyAction::expand: ExpandRow(focused); return true;
    case RowKeyAction::collapse: CollapseRow(focused); return true;
    case RowKeyAction::focus_container: {
        const auto level_of = [&rows](std::size_t i) { return rows.record(i).level; };
        if (std::optional<std::size_t> container = ContainerRowOf(row, rows.size(), level_of)) {
            FocusRow(static_cast<int>(*container));
            return true;
        }
        return false;
    }
    case RowKeyAction::ignore: return true;
    case RowKeyAction::none: break;
    }
    return false;
}

// As the arrow keys move the focus: the row alone selected, focused, in view.
void CDcmListViewVirtual::FocusRow(int row) {
    SetItemState(-1, 0, LVIS_SELECTED);
    SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SetSelectionMark(row);
    EnsureVisible(row, FALSE);
}

}  // namespace velk
