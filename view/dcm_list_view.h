// The element list window: an owner-data report list over one document's rows
// (view/document.h), which it observes and never owns. It answers the list's
// display requests, and a click on the box icon of a sequence or item row asks the
// document to hide or show the rows nested in it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/list_view.h"
#include "framework/window_impl.h"
#include "parse/mapping.h"
#include "present/row_model.h"
#include "view/document.h"
#include "view/row_keys.h"

#ifndef OCM_NOTIFY
// A WM_NOTIFY that the parent reflected back to the control that sent it.
#define OCM_NOTIFY (0x2000 + WM_NOTIFY)
#endif

namespace velk {

// Supplies the window class of the element list: a superclass of the system
// list-view class under a generated name.
struct CDcmListView {
    static CWindowClassInfo& GetWndClassInfo();
};

class CDcmListViewVirtual : public CWindowImpl<CDcmListView, CListViewCtrl, CListViewTraits> {
public:
    // The list shows `document`'s rows; the document outlives the list.
    explicit CDcmListViewVirtual(dcm_document& document);

    bool ProcessWindowMessage(CMessage& m) override;

    // Slot 4: brings back the rows nested in collapsed row `row`, read anew from
    // the file.
    virtual void ExpandRow(int row);
    // Hides the rows nested in container row `row`.
    void CollapseRow(int row);

    // The rows shown: the document's, or a filter's in their place.
    const dcm_row_model& Rows() const { return m_filterRows ? *m_filterRows : m_document.rows(); }

    // Called whenever the rows shown change: a load, Refresh, a collapse or an
    // expand, a filter's rows shown or taken away.
    std::function<void()> m_rowsShown;

    // A filter's rows in place of the document's, and back (filter_list.cpp):
    // shows `rows` (which the caller keeps, and may fold through the list, until
    // ShowDocumentRows), `matches` marking the rows drawn highlighted (empty:
    // none). Selection and focus are cleared.
    void ShowFilterRows(dcm_row_model& rows, std::vector<bool> matches);
    void ShowDocumentRows();
    bool IsHighlighted(int row) const;
    // As the arrow keys move the focus: the row alone selected, focused, in view.
    void FocusRow(int row);

protected:
    // Sets the control's item count to the rows held now. With keep_scroll the
    // list stays where it is.
    void ShowRowCount(bool keep_scroll);

    // One paint of the list asks for a few hundred cells: the file is mapped once
    // for all of them, from the start of the paint to its end, rather than once
    // per cell. Between paints no mapping is held.
    void MapFileForPaint();
    void UnmapFileAfterPaint() { m_paintFile.reset(); }
    // The mapping of the paint under way, or null.
    const dcm_file_mapping* PaintFile() const { return m_paintFile ? &*m_paintFile : nullptr; }

    // Told of every change of the document, after it has made it. Folding the
    // document's rows shows their new count here; a load is the view's (CVelkView).
    virtual void OnDocumentChanged(dcm_document_change change);
    // Collapses (or expands) row `row` of the rows shown: a filter's here, the
    // document's through the document, which then tells the list.
    void Fold(int row, bool expand);

    // The file's path to map, null until the document's first load.
    const dcm_path_char* File() const { return m_document.file(); }
    // While a filter shows its rows: the filter's, which it keeps; else null.
    void SetFilterRows(dcm_row_model* rows, std::vector<bool> matches);

    dcm_document& m_document;
    dcm_row_model* m_filterRows = nullptr;  // a filter's rows shown in place of the document's
    std::vector<bool> m_highlighted;        // rows a filter matched, while it shows its rows

private:
    std::optional<dcm_file_mapping> m_paintFile;  // only while the list paints

    LRESULT OnLButtonDown(CMessage& m);
    LRESULT OnGetDispInfo(CMessage& m);
    // Copying and selection (list_commands.cpp).
    LRESULT OnContextMenu(CMessage& m);
    LRESULT OnCopyRows(CMessage& m);
    LRESULT OnSelectAll(CMessage& m);
    // The row whose icon lies exactly under the client point, or -1.
    int RowIconAt(POINT point);
    // The folding keys (row_keys_list.cpp).
    LRESULT OnRowKeyDown(CMessage& m);
    LRESULT OnRowChar(CMessage& m);
    bool ApplyRowKey(RowKey key);
    // The tooltips of cut cells (cell_tips.cpp).
    LRESULT OnCellTipMouseMove(CMessage& m);
    bool OnCellTipNotify(CMessage& m);
    std::wstring CutCellText();
    void DestroyCellTips();

    HWND m_cellTips = nullptr;  // the tooltip control, once the mouse has moved
    int m_tipRow = -1;          // the cell under the mouse, or -1
    int m_tipColumn = -1;
    std::wstring m_tipText;  // the tip shown, kept while it shows
};

// Turns a window's drawing off for the life of the object.
class CRedrawOff {
public:
    explicit CRedrawOff(HWND window) : m_window(window) {
        ::SendMessageW(m_window, WM_SETREDRAW, FALSE, 0);
    }
    ~CRedrawOff() { ::SendMessageW(m_window, WM_SETREDRAW, TRUE, 0); }
    CRedrawOff(const CRedrawOff&) = delete;
    CRedrawOff& operator=(const CRedrawOff&) = delete;

private:
    HWND m_window;
};

}  // namespace velk
