#include "app/problems_frame.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "app/child_frame.h"
#include "app/resource.h"
#include "app/row_list.h"
#include "view/screen_scale.h"
#include "view/wide_text.h"

namespace velk {

namespace {

struct column {
    const wchar_t* header;
    int width;  // pixels at 100 %
};

constexpr column kColumns[] = {
    {L"Severity", 70}, {L"Kind", 90}, {L"Tag", 90}, {L"Offset", 90}, {L"Message", 600},
};

}  // namespace

CWindowClassInfo& CProblemsFrame::GetWndClassInfo() {
    static CWindowClassInfo info = CWindowClassInfo::MDIChild(IDR_DOCUMENT);
    return info;
}

CProblemsFrame* CProblemsFrame::CreateIn(HWND mdiClient, HWND document, const std::wstring& path,
                                         dcm_findings findings) {
    auto* frame = new CProblemsFrame;
    frame->m_document = document;
    frame->m_findings = std::move(findings);
    if (!frame->Create(mdiClient)) return nullptr;
    frame->SetWindowText((std::wstring(L"Problems: ") + ::PathFindFileNameW(path.c_str())).c_str());
    frame->Fill();
    if (CChildFrame* owner = CChildFrame::Of(document)) {
        const dcm_document& rows = owner->m_document;
        frame->m_listening = owner->m_document.listen([frame, &rows](dcm_document_change change) {
            if (change == dcm_document_change::checked) frame->Refill(rows.problems().findings());
        });
    }
    return frame;
}

void CProblemsFrame::Refill(dcm_findings findings) {
    m_findings = std::move(findings);
    Fill();
    m_list.Invalidate();
}

void CProblemsFrame::OnFinalMessage(HWND) {
    // The document window may have gone first, and its listeners with it.
    if (CChildFrame* document = ::IsWindow(m_document) ? CChildFrame::Of(m_document) : nullptr)
        document->m_document.forget(m_listening);
    delete this;
}

bool CProblemsFrame::ProcessWindowMessage(CMessage& m) {
    using Map = MessageMap<CProblemsFrame>;
    static const Map::Entry map[] = {
        Map::Message(WM_CREATE, &CProblemsFrame::OnCreate),
        Map::Message(WM_NOTIFY, &CProblemsFrame::OnNotify),
    };
    return Map::Route(*this, map, m) || CMDIChildWindowImpl::ProcessWindowMessage(m);
}

LRESULT CProblemsFrame::OnCreate(CMessage& m) {
    if (CreateRowList(m_list, m_hWnd, LVS_SINGLESEL)) {
        for (int i = 0; i < int(sizeof kColumns / sizeof kColumns[0]); ++i)
            m_list.InsertColumn(i, kColumns[i].header, LVCFMT_LEFT,
                                ScaleToScreen(kColumns[i].width), i);
        m_hWndClient = m_list.m_hWnd;
    }
    m.handled = false;
    return 0;
}

void CProblemsFrame::Fill() {
    ListView_SetItemCountEx(m_list, int(m_findings.list.size()), 0);
    if (!m_findings.list.empty()) {
        ListView_SetItemState(m_list, 0, LVIS_FOCUSED | LVIS_SELECTED,
                              LVIS_FOCUSED | LVIS_SELECTED);
    }
}

// The offset as the document's Offset column writes it: an inflated data set's
// offsets with a "z" before them.
std::wstring CProblemsFrame::CellText(std::size_t i, int column) const {
    const dcm_finding& f = m_findings.list[i];
    switch (column) {
    case 0: return WidenUtf8(dcm_severity_name(f.severity));
    case 1: return WidenUtf8(dcm_check_kind_name(f.kind));
    case 2: return WidenUtf8(dcm_tag_text(f.tag));
    case 3: return (f.inflated ? L"z" : L"") + std::to_wstring(f.offset);
    default: return WidenUtf8(m_findings.message(f));
    }
}

// The finding's row selected in its document, the document brought forward;
// nothing when the document has gone.
void CProblemsFrame::ShowSelected() {
    const int selected = ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
    if (selected < 0 || std::size_t(selected) >= m_findings.list.size()) return;
    CChildFrame* document = ::IsWindow(m_document) ? CChildFrame::Of(m_document) : nullptr;
    if (!document || !document->m_view.IsWindow()) {
        ::MessageBeep(MB_OK);
        return;
    }
    const dcm_finding& f = m_findings.list[std::size_t(selected)];
    MDIActivate(m_document);
    document->m_view.RevealPlace({f.inflated, f.offset});
    ::SetFocus(document->m_view.m_hWnd);
}

LRESULT CProblemsFrame::OnNotify(CMessage& m) {
    const NMHDR* header = m.Notification();
    if (header->hwndFrom != m_list) {
        m.handled = false;
        return 0;
    }
    switch (header->code) {
    case LVN_GETDISPINFOW: {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(m.lParam)->item;
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0 && item.iItem >= 0 &&
            std::size_t(item.iItem) < m_findings.list.size()) {
            m_cell = CellText(std::size_t(item.iItem), item.iSubItem);
            const std::size_t n =
                std::min<std::size_t>(m_cell.size(), std::size_t(item.cchTextMax) - 1);
            m_cell.copy(item.pszText, n);
            item.pszText[n] = L'\0';
        }
        return 0;
    }
    case LVN_KEYDOWN:
        if (reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == VK_RETURN) ShowSelected();
        return 0;
    case NM_RETURN:
    case NM_DBLCLK: ShowSelected(); return 0;
    default: m.handled = false; return 0;
    }
}

}  // namespace velk
