#include "app/compare_frame.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "app/child_frame.h"
#include "app/documents.h"
#include "app/resource.h"
#include "app/row_list.h"
#include "framework/file_dialog.h"
#include "parse/file.h"
#include "parse/mapping.h"
#include "present/cell_text.h"
#include "present/row_model.h"
#include "view/clipboard.h"
#include "view/dcm_list_view.h"
#include "view/row_text_win.h"
#include "view/screen_scale.h"

namespace velk {

namespace {

struct column_spec {
    const wchar_t* header;
    int width;
};
const column_spec columns[dcm_difference_column_count] = {
    {L"Difference", 110}, {L"Path", 260},   {L"VR", 50},           {L"Description", 200},
    {L"First", 200},      {L"Second", 200}, {L"First Offset", 90}, {L"Second Offset", 90}};

// A cell as the element list converts it: the ANSI code page, or UTF-8 for the
// Interpret reading's cells.
std::wstring widen(const char* text, std::size_t n, const dcm_ansi_to_utf16& convert) {
    std::wstring wide(n, L'\0');
    wide.resize(std::size_t(convert(text, n, wide.data()) - wide.data()));
    return wide;
}

// A file's rows for the comparison in the documents' reading, every container
// expanded: none when it does not open or has no marker.
dcm_row_model rows_of(const dcm_file_mapping& file, dcm_reading reading) {
    dcm_row_model rows(reading);
    if (file.is_open() && dcm_has_marker(file.begin(), file.end())) rows.load(dcm_bytes::of(file));
    return rows;
}

}  // namespace

CWindowClassInfo& CCompareFrame::GetWndClassInfo() {
    static CWindowClassInfo info = CWindowClassInfo::MDIChild(IDR_DOCUMENT);
    return info;
}

CCompareFrame* CCompareFrame::CreateIn(HWND mdiClient, const std::wstring& first,
                                       const std::wstring& second, dcm_reading reading) {
    auto* frame = new CCompareFrame;
    frame->m_first = first;
    frame->m_second = second;
    frame->m_reading = reading;
    // A failed creation has deleted the object already (OnFinalMessage).
    if (!frame->Create(mdiClient)) return nullptr;
    const std::wstring title = std::wstring(L"Compare: ") + ::PathFindFileNameW(first.c_str()) +
                               L" | " + ::PathFindFileNameW(second.c_str());
    frame->SetWindowText(title.c_str());
    frame->Compare();
    frame->MDIMaximize(*frame);
    return frame;
}

void CCompareFrame::OnFinalMessage(HWND) { delete this; }

bool CCompareFrame::ProcessWindowMessage(CMessage& m) {
    using Map = MessageMap<CCompareFrame>;
    static const Map::Entry map[] = {
        Map::Message(WM_CREATE, &CCompareFrame::OnCreate),
        Map::Message(WM_NOTIFY, &CCompareFrame::OnNotify),
        Map::Command(ID_VIEW_REFRESH, &CCompareFrame::OnRefresh),
        Map::Message(ApplyReadingMessage(), &CCompareFrame::OnApplyReading),
        Map::Command(ID_EDIT_COPY_ROWS, &CCompareFrame::OnCopyRows),
        Map::Command(ID_EDIT_SELECT_ALL, &CCompareFrame::OnSelectAll),
    };
    return Map::Route(*this, map, m) || CMDIChildWindowImpl::ProcessWindowMessage(m);
}

LRESULT CCompareFrame::OnCreate(CMessage& m) {
    if (CreateRowList(m_list, m_hWnd)) {
        m_hWndClient = m_list.m_hWnd;
        for (int i = 0; i < dcm_difference_column_count; ++i)
            m_list.InsertColumn(i, columns[i].header, LVCFMT_LEFT, ScaleToScreen(columns[i].width),
                                i);
    }
    m.handled = false;  // the MDI child's own creation decides the result
    return 0;
}

void CCompareFrame::Compare() {
    m_cells.clear();
    {
        const dcm_file_mapping a(m_first.c_str()), b(m_second.c_str());
        const dcm_row_model rows_a = rows_of(a, m_reading), rows_b = rows_of(b, m_reading);
        const dcm_ansi_to_utf16 convert = dcm_cell_converter(rows_a);
        const dcm_compare_side side_a{a.begin(), a.end(), rows_a.records(), rows_a.reading()};
        const dcm_compare_side side_b{b.begin(), b.end(), rows_b.records(), rows_b.reading()};
        for (const dcm_difference& d : dcm_compare(side_a, side_b)) {
            row_cells row;
            for (int column = 0; column < dcm_difference_column_count; ++column) {
                char text[dcm_cell_capacity];
                const std::size_t n =
                    dcm_difference_text(d, side_a, side_b, column, text, sizeof text);
                row[std::size_t(column)] = widen(text, n, convert);
            }
            m_cells.push_back(std::move(row));
        }
    }
    m_list.SetItemCountEx(int(m_cells.size()), 0);
    m_list.Invalidate(TRUE);
}

LRESULT CCompareFrame::OnNotify(CMessage& m) {
    const auto* header = reinterpret_cast<const NMHDR*>(m.lParam);
    if (header->hwndFrom != m_list.m_hWnd || header->code != LVN_GETDISPINFOW) {
        m.handled = false;
        return 0;
    }
    auto* request = reinterpret_cast<NMLVDISPINFOW*>(m.lParam);
    LVITEMW& item = request->item;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        item.pszText[0] = L'\0';
        if (item.iItem >= 0 && std::size_t(item.iItem) < m_cells.size() && item.iSubItem >= 0 &&
            item.iSubItem < dcm_difference_column_count) {
            const std::wstring& text = m_cells[std::size_t(item.iItem)][std::size_t(item.iSubItem)];
            const std::size_t n =
                std::min<std::size_t>(text.size(), std::size_t(item.cchTextMax) - 1);
            text.copy(item.pszText, n);
            item.pszText[n] = L'\0';
        }
    }
    return TRUE;
}

LRESULT CCompareFrame::OnRefresh(CMessage&) {
    Compare();
    return 0;
}

LRESULT CCompareFrame::OnApplyReading(CMessage& m) {
    m_reading = static_cast<dcm_reading>(m.wParam);
    Compare();
    return 0;
}

// The selected rows, cells separated by ";" and each row ended by CR LF, as
// Copy Rows writes the element list's rows.
LRESULT CCompareFrame::OnCopyRows(CMessage&) {
    std::wstring text;
    for (int row = m_list.GetNextItem(-1, LVNI_SELECTED); row >= 0;
         row = m_list.GetNextItem(row, LVNI_SELECTED)) {
        if (std::size_t(row) >= m_cells.size()) break;
        for (int column = 0; column < dcm_difference_column_count; ++column) {
            if (column) text += L';';
            text += m_cells[std::size_t(row)][std::size_t(column)];
        }
        text += L"\r\n";
    }
    if (!text.empty()) CopyTextToClipboard(m_hWnd, text.c_str(), text.size());
    return 0;
}

LRESULT CCompareFrame::OnSelectAll(CMessage&) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    m_list.SendMessage(LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&state));
    return 0;
}

namespace {

// The file of a document window, or null for any other window or an empty document.
const wchar_t* DocumentPath(HWND window) {
    const CChildFrame* document = CChildFrame::Of(window);
    const wchar_t* path = document ? document->m_document.file() : nullptr;
    return path && *path ? path : nullptr;
}

}  // namespace

void CompareWithFromDialog(HWND mdiClient, const wchar_t* first, dcm_reading reading) {
    if (!first || !*first) return;
    // The other open documents first, as a menu at the pointer, then any file.
    std::vector<std::wstring> others;
    for (HWND w = ::GetWindow(mdiClient, GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
        const wchar_t* path = DocumentPath(w);
        if (path && std::wstring(path) != first) others.push_back(path);
    }
    std::wstring second;
    if (!others.empty()) {
        HMENU menu = ::CreatePopupMenu();
        for (std::size_t i = 0; i < others.size() && i < 32; ++i)
            ::AppendMenuW(menu, MF_STRING, UINT_PTR(i + 1), ::PathFindFileNameW(others[i].c_str()));
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(menu, MF_STRING, 100, L"Other File...");
        POINT at{};
        ::GetCursorPos(&at);
        const HWND owner = ::GetParent(mdiClient);
        const UINT chosen = UINT(
            ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, owner, nullptr));
        ::DestroyMenu(menu);
        if (chosen == 0) return;
        if (chosen <= others.size()) second = others[chosen - 1];
    }
    if (second.empty()) {
        CFileOpenDialog dialog;
        if (dialog.DoModal(::GetActiveWindow()) != IDOK) return;
        second = dialog.m_szFileName;
    }
    CCompareFrame::CreateIn(mdiClient, first, second, reading);
}

}  // namespace velk
