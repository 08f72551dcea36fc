#include "app/child_frame.h"

#include "app/compare_frame.h"
#include "app/documents.h"
#include "app/resource.h"
#include "app/status_panes.h"
#include "framework/reflection.h"
#include "view/wait_cursor.h"

namespace velk {

static_assert(kRowIconExpanded == IDI_ROW_EXPANDED && kRowIconCollapsed == IDI_ROW_COLLAPSED &&
                  kRowIconPlain == IDI_ROW_LEAF,
              "the list's row icons are the program's icon resources");
static_assert(kRefreshCommand == ID_VIEW_REFRESH, "Refresh reaches the view by its command");

CWindowClassInfo& CChildFrame::GetWndClassInfo() {
    static CWindowClassInfo info = CWindowClassInfo::MDIChild(IDR_DOCUMENT);
    return info;
}

CChildFrame* CChildFrame::CreateIn(HWND mdiClient, const wchar_t* title) {
    bool deleted = false;
    auto* child = new CChildFrame;
    child->m_deleted = &deleted;
    if (child->Create(mdiClient, nullptr, title)) {
        child->m_deleted = nullptr;
        return child;
    }
    // A window that was made and then failed has deleted its object already.
    if (!deleted) delete child;
    return nullptr;
}

CChildFrame* CChildFrame::Of(HWND window) {
    const CWindowClassInfo& info = GetWndClassInfo();
    if (!window || ::GetClassLongPtrW(window, GCW_ATOM) != info.Atom()) return nullptr;
    auto* base = reinterpret_cast<CWindowImplBaseT<CMDIWindow>*>(
        ::GetWindowLongPtrW(window, info.ObjectSlot()));
    return base ? static_cast<CChildFrame*>(base) : nullptr;
}

CChildFrame::~CChildFrame() {
    if (m_deleted) *m_deleted = true;
}

void CChildFrame::OnFinalMessage(HWND) { delete this; }

bool CChildFrame::ProcessWindowMessage(CMessage& m) {
    using Map = MessageMap<CChildFrame>;
    static const Map::Entry map[] = {
        Map::Message(WM_CREATE, &CChildFrame::OnCreate),
        Map::Message(WM_FORWARDMSG, &CChildFrame::OnForwardMsg),
        Map::Command(ID_FILE_COMPARE, &CChildFrame::OnCompareWith),
        Map::Message(ApplyReadingMessage(), &CChildFrame::OnApplyReading),
        Map::Message(WM_COMMAND, &CChildFrame::OnCommand),
        Map::Message(WM_MDIACTIVATE, &CChildFrame::OnMDIActivate),
    };
    return m_panes.ProcessFrameMessage(m) || Map::Route(*this, map, m) ||
           CMDIChildWindowImpl::ProcessWindowMessage(m) || ReflectNotifications(m);
}

LRESULT CChildFrame::OnCreate(CMessage& m) {
    if (m_view.Create(m_hWnd, nullptr, nullptr, kViewStyle, kViewExStyle)) {
        m_hWndClient = m_view;
        m_view.SetExtendedListViewStyle(LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT);
        m_view.SetCallbackMask(LVIS_STATEIMAGEMASK);
        m_view.SetExtendedListViewStyle(LVS_EX_DOUBLEBUFFER, LVS_EX_DOUBLEBUFFER);
    }
    // The bar counts the rows the list shows, and the check's findings once they arrive.
    m_view.m_rowsShown = [this] { ShowFacts(); };
    m_document.listen([this](dcm_document_change change) {
        if (change == dcm_document_change::checked) ShowFacts();
    });
    m_panes.OnPixelUnderPointer([this](const std::wstring& pixel) {
        const HWND active =
            reinterpret_cast<HWND>(::SendMessageW(::GetParent(m_hWnd), WM_MDIGETACTIVE, 0, 0));
        if (active == m_hWnd) ShowPixelPane(StatusBar(), pixel);
    });
    m.handled = false;  // the MDI child's own creation decides the result
    return 0;
}

HWND CChildFrame::StatusBar() const {
    const HWND client = ::GetParent(m_hWnd);
    return client ? ::GetDlgItem(::GetParent(client), IDW_STATUS_BAR) : nullptr;
}

void CChildFrame::ShowFacts() {
    const HWND client = ::GetParent(m_hWnd);
    const HWND active = reinterpret_cast<HWND>(::SendMessageW(client, WM_MDIGETACTIVE, 0, 0));
    if (active != m_hWnd) return;
    if (m_document.path().empty())
        ShowNoDocumentPanes(StatusBar());  // a new, empty document
    else
        ShowDocumentPanes(StatusBar(), FactsOf(m_document, m_view.Rows().size()));
}

LRESULT CChildFrame::OnMDIActivate(CMessage& m) {
    const HWND activated = reinterpret_cast<HWND>(m.lParam);
    if (activated == m_hWnd)
        ShowFacts();
    else if (!activated || !Of(activated))
        // The last document window has gone, or a window that is no document
        // (a comparison, a folder, a tree, problems) takes over: no facts of
        // this document stay on show beside it.
        ShowNoDocumentPanes(StatusBar());
    m.handled = false;
    return 0;
}

LRESULT CChildFrame::OnForwardMsg(CMessage& m) {
    MSG* msg = reinterpret_cast<MSG*>(m.lParam);
    if (PreTranslateChildMessage(msg)) return 1;
    return m_view.m_hWnd && m_view.PreTranslateMessage(msg) ? 1 : 0;
}

LRESULT CChildFrame::OnCommand(CMessage& m) {
    if (m_view.IsWindow()) m_view.SendMessage(WM_COMMAND, m.wParam, m.lParam);
    m.handled = false;
    return 0;
}

LRESULT CChildFrame::OnCompareWith(CMessage&) {
    CompareWithFromDialog(m_hWndMDIClient, m_document.file(), m_document.reading());
    return 0;
}

// The list keeps the row at its top (CVelkView) and the document the containers
// collapsed.
LRESULT CChildFrame::OnApplyReading(CMessage& m) {
    const CWaitCursor wait;
    m_document.set_reading(static_cast<dcm_reading>(m.wParam));
    return 0;
}

}  // namespace velk
