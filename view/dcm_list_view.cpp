#include "view/dcm_list_view.h"

#include <windowsx.h>

#include "view/context_menu.h"
#include "view/row_text_win.h"
#include "view/wait_cursor.h"

namespace velk {

CWindowClassInfo& CDcmListView::GetWndClassInfo() {
    static CWindowClassInfo info = [] {
        // The list-view class must be registered before it can be superclassed.
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        return CWindowClassInfo::Superclass(WC_LISTVIEWW);
    }();
    return info;
}

bool CDcmListViewVirtual::ProcessWindowMessage(CMessage& m) {
    if (m.message == WM_NOTIFY && OnCellTipNotify(m)) return true;
    if (m.message == WM_DESTROY) DestroyCellTips();  // and on to the control's own
    using Map = MessageMap<CDcmListViewVirtual>;
    static const Map::Entry map[] = {
        Map::Message(WM_CONTEXTMENU, &CDcmListViewVirtual::OnContextMenu),
        Map::Message(WM_LBUTTONDOWN, &CDcmListViewVirtual::OnLButtonDown),
        Map::Message(WM_MOUSEMOVE, &CDcmListViewVirtual::OnCellTipMouseMove),
        Map::Message(WM_KEYDOWN, &CDcmListViewVirtual::OnRowKeyDown),
        Map::Message(WM_CHAR, &CDcmListViewVirtual::OnRowChar),
        Map::Command(kCopyRowsCommand, &CDcmListViewVirtual::OnCopyRows),
        Map::Command(kSelectAllCommand, &CDcmListViewVirtual::OnSelectAll),
        Map::NotifyAs(OCM_NOTIFY, LVN_GETDISPINFOW, &CDcmListViewVirtual::OnGetDispInfo),
    };
    return Map::Route(*this, map, m) || CWindowImpl::ProcessWindowMessage(m);
}

CDcmListViewVirtual::CDcmListViewVirtual(dcm_document& document) : m_document(document) {
    m_document.listen([this](dcm_document_change change) {
        if (m_hWnd) OnDocumentChanged(change);
    });
}

void CDcmListViewVirtual::OnDocumentChanged(dcm_document_change change) {
    if (change == dcm_document_change::folded && !m_filterRows) ShowRowCount(true);
}

void CDcmListViewVirtual::ShowRowCount(bool keep_scroll) {
    SetItemCountEx(static_cast<int>(Rows().size()), keep_scroll ? LVSICF_NOSCROLL : 0);
    if (m_rowsShown) m_rowsShown();
}

int CDcmListViewVirtual::RowIconAt(POINT point) {
    LVHITTESTINFO hit{};
    hit.pt = point;
    const int row = HitTest(&hit);
    // Exactly the icon: a click on the indent, the label or another column is
    // the control's own (selection), never a toggle.
    if (row < 0 || hit.flags != LVHT_ONITEMICON || static_cast<std::size_t>(row) >= Rows().size())
        return -1;
    return row;
}

LRESULT CDcmListViewVirtual::OnLButtonDown(CMessage& m) {
    const POINT point{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
    const int row = RowIconAt(point);
    if (row >= 0 && Rows().record(static_cast<std::size_t>(row)).container) {
        if (Rows().is_collapsed(static_cast<std::size_t>(row)))
            ExpandRow(row);
        else
            CollapseRow(row);
    }
    m.handled = false;  // the control still selects and focuses the row
    return 0;
}

void CDcmListViewVirtual::CollapseRow(int row) {
    {
        CRedrawOff quiet(m_hWnd);
        Fold(row, false);
    }
    Invalidate(FALSE);
}

void CDcmListViewVirtual::ExpandRow(int row) {
    {
        const CWaitCursor wait;
        CRedrawOff quiet(m_hWnd);
        Fold(row, true);
    }
    Invalidate(TRUE);
}

void CDcmListViewVirtual::Fold(int row, bool expand) {
    if (row < 0) return;
    const auto at = static_cast<std::size_t>(row);
    if (!m_filterRows) {
        if (expand)
            m_document.expand(at);
        else
            m_document.collapse(at);
        return;
    }
    if (expand) {
        // The file as it is now, by its wide path; one that no longer opens
        // gives null bytes and the row gets nothing back.
        const dcm_file_mapping file(File());
        m_filterRows->expand(at, dcm_bytes::of(file));
    } else {
        m_filterRows->collapse(at);
    }
    ShowRowCount(true);
}

void CDcmListViewVirtual::MapFileForPaint() {
    m_paintFile.reset();
    // An empty list draws no cells, and the control does not tell the end of
    // such a paint: nothing may stay mapped after it.
    if (File() && Rows().size() != 0) m_paintFile.emplace(File());
}

LRESULT CDcmListViewVirtual::OnGetDispInfo(CMessage& m) {
    auto* request = reinterpret_cast<NMLVDISPINFOW*>(m.lParam);
    const dcm_row_source source{File(), &Rows(), m_paintFile ? &*m_paintFile : nullptr};
    return dcm_row_text(source, request->item) ? TRUE : FALSE;
}

}  // namespace velk
