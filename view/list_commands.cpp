// The element list's handlers of the context menu, Copy Rows and Select All.
#include "view/context_menu.h"
#include "view/copy_rows_list.h"
#include "view/dcm_list_view.h"
#include "view/wait_cursor.h"

namespace velk {

LRESULT CDcmListViewVirtual::OnContextMenu(CMessage& m) {
    ShowListContextMenu(m_hWnd, m.lParam);
    return 0;
}

LRESULT CDcmListViewVirtual::OnCopyRows(CMessage&) {
    const CWaitCursor wait;
    velk::CopyRows(m_hWnd, Rows(), File());
    return 0;
}

LRESULT CDcmListViewVirtual::OnSelectAll(CMessage&) {
    velk::SelectAll(m_hWnd);
    return 0;
}

}  // namespace velk
