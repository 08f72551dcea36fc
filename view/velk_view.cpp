#include "view/velk_view.h"

#include "check/check.h"
#include "present/cell_text.h"
#include "view/reading.h"
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
        Map::Command(ID_VIEW_APPLY_READING, &CVelkView::OnApplyReading),
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

LRESULT CVelkView::LoadFile(const wchar_t* path,
                            const std::vector<CollapsedContainer>& keepCollapsed) {
    // A copy first: Refresh passes the view's own path.
    std::wstring text = path ? path : L"";
    m_pathText.swap(text);
    m_path = m_pathText.c_str();
    UnmapFileAfterPaint();
    const CWaitCursor wait;
    if (m_rows.reading().kind() != CurrentReading()) m_rows = dcm_row_model(CurrentReading());
    m_rows.load_file(m_path);
    m_problems = dcm_problems();
    CollapseAgain(m_rows, keepCollapsed);
    m_highlighted.clear();
    ++m_loadCount;

    {
        CRedrawOff quiet_header(GetHeader());
        CRedrawOff quiet(m_hWnd);
        ShowRowCount(false);
    }
    // Paints now: the display requests of the first page come before the return.
    RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    // The check waits for the queue: a document being opened paints first.
    PostMessage(kCheckRowsMessage, m_loadCount, 0);
    return 0;
}

// The check reads a whole load: the rows shown when nothing is folded or
// filtered, else the file read again in the same reading.
LRESULT CVelkView::OnCheckRows(CMessage& m) {
    if (m.wParam != m_loadCount || !m_path) return 0;  // a later load posted its own
    const dcm_file_mapping file(m_path);
    const dcm_bytes bytes = dcm_bytes::of(file);
    if (m_rows.collapsed().empty() && m_highlighted.empty()) {
        m_problems = dcm_problems(dcm_check(m_rows, bytes));
    } else {
        dcm_row_model whole(m_rows.reading().kind());
        whole.load(bytes);
        m_problems = dcm_problems(dcm_check(whole, bytes));
    }
    if (m_rowsChanged) m_rowsChanged();
    if (!m_problems.empty()) Invalidate(FALSE);  // the marks
    return 0;
}

// Lists the file again in the reading now chosen, the row that was at the top
// of the list back at the top where the new listing has as many rows, and the
// containers the user collapsed collapsed again where both readings have them.
LRESULT CVelkView::OnApplyReading(CMessage&) {
    if (!m_path || m_rows.reading().kind() == CurrentReading()) return 0;
    const int top = GetTopIndex();
    const std::vector<CollapsedContainer> collapsed = CollapsedContainers(m_rows);
    DeleteAllItems();
    LoadFile(m_pathText.c_str(), collapsed);
    const int count = GetItemCount();
    if (top > 0 && count > 0) {
        EnsureVisible(count - 1, FALSE);
        EnsureVisible(top < count ? top : count - 1, FALSE);
    }
    return 0;
}

LRESULT CVelkView::OnRefresh(CMessage&) {
    // Selection, focus and scroll position go with the items.
    DeleteAllItems();
    LoadFile(m_pathText.c_str());
    return 0;
}

}  // namespace velk
