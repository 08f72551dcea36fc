#include "view/velk_view.h"

#include "present/cell_text.h"
#include "view/screen_scale.h"
#include "view/wait_cursor.h"

namespace velk {

namespace {

struct column {
    const wchar_t* header;
    int format;
    int width;  // pixels
};

// In the order of the cell texts' column indices.
constexpr column kColumns[dcm_column_count] = {
    {L"Tag", LVCFMT_LEFT, 180},         {L"VR", LVCFMT_LEFT, 40},    {L"Size", LVCFMT_RIGHT, 60},
    {L"Description", LVCFMT_LEFT, 200}, {L"Data", LVCFMT_LEFT, 200}, {L"Offset", LVCFMT_RIGHT, 120},
};

// The row icons drawn for the screen's scaling, at their own size. One list for
// every document, made once: each icon made costs several trips to the window
// server under wine. The controls share it and never destroy it
// (LVS_SHAREIMAGELISTS); it lasts as long as the program.
HIMAGELIST MakeRowImages() {
    const RowIconSet icons = RowIconsFor(ArtSizeFor(ScreenDpi()));
    HIMAGELIST images = ImageList_Create(icons.side, icons.side, ILC_COLOR4 | ILC_MASK, 3, 1);
    if (!images) return nullptr;
    HINSTANCE resources = GetAppModule().GetResourceInstance();
    for (int id : {icons.plain, icons.expanded, icons.collapsed}) {
        HANDLE icon =
            ::LoadImageW(resources, MAKEINTRESOURCEW(id), IMAGE_ICON, icons.side, icons.side, 0);
        ImageList_ReplaceIcon(images, -1, static_cast<HICON>(icon));
        if (icon) ::DestroyIcon(static_cast<HICON>(icon));
    }
    return images;
}

HIMAGELIST RowImages() {
    static const HIMAGELIST images = MakeRowImages();
    return images;
}

}  // namespace

bool CVelkView::ProcessWindowMessage(CMessage& m) {
    using Map = MessageMap<CVelkView>;
    static const Map::Entry map[] = {
        Map::Message(WM_CREATE, &CVelkView::OnCreate),
        Map::Message(kCheckRowsMessage, &CVelkView::OnCheckRows),
        Map::Message(FindDialogMessage(), &CVelkView::OnFindDialogMessage),
        Map::Command(kFindCommand, &CVelkView::ShowFindDialog),
        Map::Command(kRefreshCommand, &CVelkView::OnRefresh),
        Map::Command(ID_VIEW_NEXT_PROBLEM, &CVelkView::OnNextProblem),
        Map::Command(ID_VIEW_PREVIOUS_PROBLEM, &CVelkView::OnPreviousProblem),
        Map::NotifyAs(OCM_NOTIFY, NM_CUSTOMDRAW, &CVelkView::OnCustomDraw),
        Map::Message(WM_DESTROY, &CVelkView::OnDestroyFindDialogs),
    };
    return Map::Route(*this, map, m) || CDcmListViewVirtual::ProcessWindowMessage(m);
}

LRESULT CVelkView::OnCreate(CMessage&) {
    DefWindowProc();  // the control sets itself up first
    CreateRowImages();
    CreateColumns();
    PrepareFindRecord();
    return 0;
}

void CVelkView::CreateRowImages() {
    if (HIMAGELIST images = RowImages()) SetImageList(images, LVSIL_SMALL);
}

void CVelkView::CreateColumns() {
    for (int i = 0; i < dcm_column_count; ++i)
        InsertColumn(i, kColumns[i].header, kColumns[i].format, ScaleToScreen(kColumns[i].width),
                     i);
}

// Every load of the document shows its rows anew; a fold is the list's own
// (CDcmListViewVirtual), and the check's findings mark rows.
void CVelkView::OnDocumentChanged(dcm_document_change change) {
    switch (change) {
    case dcm_document_change::loaded: ShowLoad(false); break;
    case dcm_document_change::relisted: ShowLoad(true); break;
    case dcm_document_change::checked:
        if (!m_document.problems().empty()) Invalidate(FALSE);  // the marks
        break;
    default: CDcmListViewVirtual::OnDocumentChanged(change); break;
    }
}

// The new rows are the document's own: a filter's rows went with the old ones.
void CVelkView::ShowLoad(bool keepTop) {
    const int top = keepTop ? GetTopIndex() : 0;
    // Selection, focus and scroll position go with the items.
    if (GetItemCount() > 0) DeleteAllItems();
    UnmapFileAfterPaint();
    m_filterRows = nullptr;
    m_highlighted.clear();
    {
        CRedrawOff quiet_header(GetHeader());
        CRedrawOff quiet(m_hWnd);
        ShowRowCount(false);
    }
    // Paints now: the display requests of the first page come before the return.
    RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    // The check waits for the queue: a document being opened paints first.
    PostMessage(kCheckRowsMessage, m_document.load_count(), 0);
    const int count = GetItemCount();
    if (top > 0 && count > 0) {
        EnsureVisible(count - 1, FALSE);
        EnsureVisible(top < count ? top : count - 1, FALSE);
    }
}

LRESULT CVelkView::OnCheckRows(CMessage& m) {
    m_document.check(static_cast<unsigned>(m.wParam));  // a later load posted its own
    return 0;
}

LRESULT CVelkView::OnRefresh(CMessage&) {
    const CWaitCursor wait;
    m_document.reload();
    return 0;
}

}  // namespace velk
