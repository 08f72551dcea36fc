// The element list view of one document window: the list with its six columns
// and row images over its document's rows, shown anew on each load, Refresh, the
// marks of the check's findings, and the shading of every second row.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include "view/command_ids.h"
#include "view/dcm_list_view.h"
#include "view/document.h"
#include "view/find_dialog.h"
#include "view/problems.h"

namespace velk {

// Icon resources of the program that the rows show: a transparent image for a
// plain element, a minus box for an expanded container, a plus box for a
// collapsed one.
constexpr int kRowIconExpanded = IDI_ROW_EXPANDED;
constexpr int kRowIconCollapsed = IDI_ROW_COLLAPSED;
constexpr int kRowIconPlain = IDI_ROW_LEAF;

// Posted by the view to itself on each load of its document: the document's check
// runs once the rows are shown.
constexpr UINT kCheckRowsMessage = WM_APP + 22;

// The Refresh command (F5, the View menu, the toolbar).
constexpr WORD kRefreshCommand = ID_VIEW_REFRESH;

// The window styles a document window creates the view with: a report list in
// owner-data mode that shares its image list and keeps its selection visible.
constexpr DWORD kViewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                             LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_OWNERDATA;
constexpr DWORD kViewExStyle = WS_EX_CLIENTEDGE;

// The background of an odd row: each of the window colour's red, green and blue
// bytes times 0.98, truncated.
COLORREF ShadedRowColour(COLORREF window);

// The background of a row that holds the filter's text.
constexpr COLORREF kFilterMatchColour = RGB(255, 240, 160);

// The backgrounds of a row whose element has a finding: an error, or only
// warnings and notes. Odd rows take them shaded as the window colour is.
constexpr COLORREF kErrorRowColour = RGB(255, 214, 214);
constexpr COLORREF kWarningRowColour = RGB(255, 232, 204);

class CVelkView : public CDcmListViewVirtual {
public:
    explicit CVelkView(dcm_document& document) : CDcmListViewVirtual(document) {}

    bool ProcessWindowMessage(CMessage& m) override;

    // Offered every queued message while the document window is active; answers
    // whether the view took it.
    BOOL PreTranslateMessage(MSG* msg);

    // Focuses the row of the element at `at`, expanding the containers that
    // hide it; answers its row, or -1 when no row reaches it (problem_rows.cpp).
    int RevealPlace(dcm_problems::place at);

protected:
    HWND m_findDialog = nullptr;               // the find dialog opened last, or null
    FINDREPLACEW m_findReplace{};              // the record the find dialogs work on
    wchar_t m_findWhat[kFindWhatLength] = {};  // the text to find
    // After the record: every dialog that edits it ends before it goes.
    CFindDialogs m_findDialogs;

private:
    LRESULT OnCreate(CMessage& m);
    LRESULT OnRefresh(CMessage& m);
    void OnDocumentChanged(dcm_document_change change) override;
    // The document's new rows from the top, or (keepTop) with the row that was at
    // the top of the list at the top again where there are as many rows.
    void ShowLoad(bool keepTop);
    LRESULT OnCustomDraw(CMessage& m);
    // The background of row `row`: the window colour, shaded on odd rows, marked
    // where its element has a finding, highlighted where a filter matched it.
    COLORREF RowBackground(int row) const;
    void CreateRowImages();
    void CreateColumns();
    // Asks the document to check the load numbered wParam.
    LRESULT OnCheckRows(CMessage& m);
    // F8 and Shift+F8 (problem_rows.cpp).
    LRESULT OnNextProblem(CMessage& m);
    LRESULT OnPreviousProblem(CMessage& m);
    void MoveToProblem(bool forward);
    // Find (find_dialog.cpp).
    void PrepareFindRecord();
    LRESULT ShowFindDialog(CMessage& m);
    LRESULT OnFindDialogMessage(CMessage& m);
    LRESULT OnDestroyFindDialogs(CMessage& m);
    void FindNext();
};

}  // namespace velk
