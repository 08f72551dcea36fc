#include "view/document_panes.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework/subclass.h"
#include "parse/tags.h"
#include "present/cell_text.h"
#include "view/clipboard.h"
#include "view/screen_scale.h"
#include "view/wide_text.h"

namespace velk {

namespace {

// "Error (value): DA value ... may not hold: '.'", one line per finding of the
// element, for the top of the inspector. A missing element's finding lies at the
// element after the place it belongs and names its own tag: it is not that
// element's, and the Problems window lists it.
std::vector<std::string> FindingLines(const dcm_problems& problems, const dcm_record& element,
                                      std::uint32_t tag) {
    std::vector<std::string> lines;
    for (std::size_t i : problems.findings_of(element)) {
        const dcm_finding& f = problems.findings().list[i];
        if (f.tag != tag) continue;
        std::string line = dcm_severity_name(f.severity);
        if (!line.empty()) line[0] = char(line[0] - 'a' + 'A');
        lines.push_back(line + " (" + dcm_check_kind_name(f.kind) +
                        "): " + problems.findings().message(f));
    }
    return lines;
}

constexpr int kFilterBoxId = 0x7F01;
constexpr int kInspectorId = 0x7F02;
constexpr int kMatchCountId = 0x7F03;
// The match count's width at 100 %, room for "1,234,567 of 1,234,567 rows".
constexpr int kMatchCountWidth = 180;
constexpr int kFramePaneId = 0x7F04;
constexpr int kSplitterGap = 4;
// Copying more lines than this at once would build a text of gigabytes.
constexpr std::size_t kCopyLineLimit = 1000000;

// The filter text as the list's cells hold it: UTF-8 (the Interpret reading's
// cells) or the ANSI code page. False when a character has no byte in the ANSI
// code page (then no cell can hold the text).
bool Narrow(const std::wstring& text, bool utf8, std::string& out) {
    out.clear();
    if (text.empty()) return true;
    // UTF-8 holds every character, and its conversion takes neither flag nor default.
    const UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    const int n = ::WideCharToMultiByte(codePage, flags, text.data(), int(text.size()), nullptr, 0,
                                        nullptr, utf8 ? nullptr : &lossy);
    if (n <= 0 || lossy) return false;
    out.resize(std::size_t(n));
    ::WideCharToMultiByte(codePage, flags, text.data(), int(text.size()), out.data(), n, nullptr,
                          nullptr);
    return true;
}

// The row of `rows` (in file order) that is `record`, or else the last row
// before it: the collapsed container that holds it.
int RowAtOrAround(const std::vector<dcm_record>& rows, const dcm_record& record) {
    // File order: the file's own rows, then a deflated data set's by their inflated offsets.
    const auto after = std::upper_bound(
        rows.begin(), rows.end(), record, [](const dcm_record& value, const dcm_record& row) {
            return value.inflated != row.inflated ? row.inflated : value.offset < row.offset;
        });
    return after == rows.begin() ? 0 : int(after - rows.begin()) - 1;
}

std::wstring WindowText(HWND window) {
    std::wstring text(std::size_t(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(::GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

}  // namespace

bool CDocumentPanes::ProcessFrameMessage(CMessage& m) {
    switch (m.message) {
    case WM_SIZE:
        if ((m_inspectorShown || m_filterShown) && m.wParam != SIZE_MINIMIZED) {
            LayOut();
            m.result = ::DefMDIChildProcW(Frame(), m.message, m.wParam, m.lParam);
            return true;
        }
        return false;
    case WM_SETCURSOR:
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED: return OnSplitterMouse(m);
    case WM_NOTIFY: return OnNotify(m);
    case WM_COMMAND: return OnCommand(m);
    case WM_DESTROY:
        if (m_fixedFont) ::DeleteObject(m_fixedFont);
        m_fixedFont = nullptr;
        return false;
    default: return false;
    }
}

// The filter box on top, the list, and the inspector below it with a gap.
void CDocumentPanes::LayOut() {
    RECT area{};
    ::GetClientRect(Frame(), &area);
    int top = 0;
    if (m_filterShown) {
        const int height = ::GetSystemMetrics(SM_CYMENU) + 6;
        const int count = std::min(int(area.right) / 2, ScaleToScreen(kMatchCountWidth));
        ::SetWindowPos(m_filter.m_hWnd, nullptr, 0, 0, area.right - count, height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        // The count's text sits level with the box's.
        const int inset = ::GetSystemMetrics(SM_CYEDGE) + 1;
        ::SetWindowPos(m_matchCount.m_hWnd, nullptr, area.right - count, inset, count,
                       height - inset, SWP_NOZORDER | SWP_NOACTIVATE);
        top = height;
    }
    int bottom = int(area.bottom);
    if (m_inspectorShown) {
        const int room = std::max(0, int(area.bottom) - top - kSplitterGap);
        const int height =
            std::clamp(m_inspectorHeight < 0 ? room * 2 / 5 : m_inspectorHeight, 0, room);
        bottom = area.bottom - height;
        // A frame takes the left half of the inspector's room, the lines the rest.
        const int frameWidth = m_frameShown ? int(area.right) / 2 : 0;
        if (m_frameShown)
            ::SetWindowPos(m_framePane.m_hWnd, nullptr, 0, bottom, frameWidth, height,
                           SWP_NOZORDER | SWP_NOACTIVATE);
        ::SetWindowPos(m_inspector.m_hWnd, nullptr, frameWidth, bottom, area.right - frameWidth,
                       height, SWP_NOZORDER | SWP_NOACTIVATE);
        bottom -= kSplitterGap;
        m_splitterTop = bottom;
    }
    ::SetWindowPos(m_view.m_hWnd, nullptr, 0, top, area.right, std::max(0, int(bottom - top)),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CDocumentPanes::InSplitter(int y) const {
    return m_inspectorShown && y >= m_splitterTop && y < m_splitterTop + kSplitterGap;
}

bool CDocumentPanes::OnSplitterMouse(CMessage& m) {
    const int y = GET_Y_LPARAM(m.lParam);
    switch (m.message) {
    case WM_SETCURSOR: {
        if (reinterpret_cast<HWND>(m.wParam) != Frame() || LOWORD(m.lParam) != HTCLIENT)
            return false;
        POINT at{};
        ::GetCursorPos(&at);
        ::ScreenToClient(Frame(), &at);
        if (!m_dragging && !InSplitter(at.y)) return false;
        ::SetCursor(::LoadCursorW(nullptr, IDC_SIZENS));
        m.result = TRUE;
        return true;
    }
    case WM_LBUTTONDOWN:
        if (!InSplitter(y)) return false;
        m_dragging = true;
        ::SetCapture(Frame());
        return true;
    case WM_MOUSEMOVE:
        if (!m_dragging) return false;
        {
            RECT area{};
            ::GetClientRect(Frame(), &area);
            m_inspectorHeight = std::max(0, int(area.bottom) - y - kSplitterGap / 2);
            LayOut();
        }
        return true;
    case WM_LBUTTONUP:
        if (!m_dragging) return false;
        ::ReleaseCapture();
        return true;
    default:  // WM_CAPTURECHANGED
        m_dragging = false;
        return false;
    }
}

void CDocumentPanes::ShowInspector(bool show) {
    if (show && !m_inspector.m_hWnd) {
        const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | LVS_REPORT | LVS_OWNERDATA |
                            LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS;
        if (!m_inspector.Create(WC_LISTVIEWW, Frame(), nullptr, nullptr, style, WS_EX_CLIENTEDGE,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kInspectorId))))
            return;
        // Below the list in the window order, which stays the window's first child.
        ::SetWindowPos(m_inspector.m_hWnd, HWND_BOTTOM, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        m_inspector.SetExtendedListViewStyle(LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
        m_inspector.InsertColumn(0, L"", LVCFMT_LEFT, 2400, 0);
        LOGFONTW font{};
        font.lfHeight = -12;
        font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
        wcscpy_s(font.lfFaceName, L"Courier New");
        m_fixedFont = ::CreateFontIndirectW(&font);
        if (m_fixedFont)
            m_inspector.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_fixedFont), TRUE);
    }
    if (!m_inspector.m_hWnd) return;
    m_inspectorShown = show;
    if (!show && m_frameShown) {
        m_frameShown = false;
        ::ShowWindow(m_framePane.m_hWnd, SW_HIDE);
    }
    ::ShowWindow(m_inspector.m_hWnd, show ? SW_SHOWNA : SW_HIDE);
    if (show) Inspect();
    LayOut();
    RedrawList();
    // The list is shorter now: the row inspected stays in sight.
    const int focused = m_view.GetNextItem(-1, LVNI_FOCUSED);
    if (show && focused >= 0) m_view.EnsureVisible(focused, FALSE);
}

// The focused row of the list, or "no element".
void CDocumentPanes::Inspect() {
    if (!m_inspectorShown) return;
    HoldInspectorDrawing(true);
    // Let go however this ends: an exception (memory for a long value's lines)
    // must not leave the pane undrawn.
    const std::unique_ptr<CDocumentPanes, void (*)(CDocumentPanes*)> letGo(
        this, [](CDocumentPanes* panes) { panes->HoldInspectorDrawing(false); });
    const int row = m_view.GetNextItem(-1, LVNI_FOCUSED);
    const dcm_row_model& shown = m_view.Rows();
    m_inspection = dcm_inspection();
    m_findingLines.clear();
    if (row >= 0 && std::size_t(row) < shown.size() && m_document.file()) {
        const dcm_file_mapping file(m_document.file());
        const dcm_record& element = shown.record(std::size_t(row));
        const dcm_bytes bytes = shown.reading().bytes_of(dcm_bytes::of(file), element);
        const char* begin = bytes.begin;
        const char* end = bytes.end;
        // The character set comes from the whole document: a filter may not show
        // the row that names it. A collapse hides only rows of other items. The
        // rows of a deflated data set follow the file's, their offsets from 0.
        const std::vector<dcm_record>& all = AllRows().records();
        const auto at = std::lower_bound(
            all.begin(), all.end(), element, [](const dcm_record& r, const dcm_record& e) {
                return r.inflated != e.inflated ? e.inflated : r.offset < e.offset;
            });
        const std::size_t index = std::size_t(at - all.begin());
        m_inspection = dcm_inspection(
            begin, end, element, dcm_character_set_for(begin, end, all, index), shown.reading());
        const std::uint32_t tag = dcm_fits(begin, end, std::uint64_t(element.offset) + 4)
                                      ? dcm_load_tag(begin + element.offset, element.byte_order())
                                      : 0;
        m_findingLines = FindingLines(m_document.problems(), element, tag);
        ShowFrameOf(element, begin, end, file);
    } else if (m_frameShown) {
        m_frameShown = false;
        ::ShowWindow(m_framePane.m_hWnd, SW_HIDE);
        LayOut();
    }
    ClearInspectorSelection();
    const std::size_t lines = m_findingLines.size() + m_inspection.line_count();
    m_inspector.SetItemCountEx(int(std::min<std::size_t>(lines, INT_MAX)), 0);
}

// A move changes the inspector's line count, and its place beside a frame or
// without one. At each change the list view lays its scroll bars out again and
// draws them, and under wine each drawing of a scroll bar is over a hundred
// requests to wineserver. Held, the layout is done once, when the
// drawing is let go, and the pane is drawn once, with its scroll bars, at its
// next paint. Wine's list view keeps its own flag apart from the window's:
// both are held, the window's by the default handling of WM_SETREDRAW.
void CDocumentPanes::HoldInspectorDrawing(bool hold) {
    const HWND pane = m_inspector.m_hWnd;
    if (hold) {
        m_inspector.SetRedraw(FALSE);
        ::DefWindowProcW(pane, WM_SETREDRAW, FALSE, 0);
        return;
    }
    m_inspector.SetRedraw(TRUE);  // the scroll bars laid out, not yet drawn
    ::DefWindowProcW(pane, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(pane, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

// The state of each line is cleared only where it is set: a request for every
// line at once visits them all, and a frame's hex runs to tens of thousands.
void CDocumentPanes::ClearInspectorSelection() {
    const int focused = m_inspector.GetNextItem(-1, LVNI_FOCUSED);
    if (focused >= 0) m_inspector.SetItemState(focused, 0, LVIS_FOCUSED);
    if (m_inspector.GetSelectedCount() > 0) m_inspector.SetItemState(-1, 0, LVIS_SELECTED);
}

void CDocumentPanes::ShowFrameOf(const dcm_record& element, const char* begin, const char* end,
                                 const dcm_file_mapping& file) {
    const bool pixels =
        dcm_fits(begin, end, std::uint64_t(element.offset) + 4) &&
        dcm_load_tag(begin + element.offset, element.byte_order()) == tag_pixel_data;
    if (pixels && !m_framePane.m_hWnd) {
        m_framePane.Create(Frame(), nullptr, nullptr, WS_CHILD | WS_CLIPSIBLINGS, 0, kFramePaneId);
        ::SetWindowPos(m_framePane.m_hWnd, HWND_BOTTOM, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (pixels && m_framePane.m_hWnd)
        m_framePane.ShowPixels(m_document, dcm_bytes::of(file), element.offset, element.inflated);
    const bool show = pixels && m_framePane.m_hWnd;
    if (show == m_frameShown) return;
    m_frameShown = show;
    ::ShowWindow(m_framePane.m_hWnd, show ? SW_SHOWNA : SW_HIDE);
    LayOut();
}

// A line of the inspection, read in the bytes its element's offsets count in:
// the file's, or the inflated data set the list's rows hold.
// The element's findings come first.
std::string CDocumentPanes::InspectedLine(std::size_t line, const dcm_file_mapping& file) const {
    if (line < m_findingLines.size()) return m_findingLines[line];
    line -= m_findingLines.size();
    if (!m_inspection.inflated()) return m_inspection.line(line, file.begin(), file.end());
    const dcm_bytes inflated = m_view.Rows().reading().inflated();
    return m_inspection.line(line, inflated.begin, inflated.end);
}

// The list, and the panes' own windows where the list was, drawn whole again:
// a list resized in place keeps the pixels of its old place otherwise.
void CDocumentPanes::RedrawList() {
    ::RedrawWindow(Frame(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CDocumentPanes::FocusFilter() {
    if (!m_filter.m_hWnd) {
        const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | ES_AUTOHSCROLL;
        if (!m_filter.Create(L"EDIT", Frame(), nullptr, nullptr, style, WS_EX_CLIENTEDGE,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFilterBoxId))))
            return;
        m_matchCount.Create(L"STATIC", Frame(), nullptr, nullptr,
                            WS_CHILD | WS_CLIPSIBLINGS | SS_CENTER | SS_NOPREFIX, 0,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMatchCountId)));
        for (HWND pane : {m_filter.m_hWnd, m_matchCount.m_hWnd}) {
            ::SetWindowPos(pane, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            ::SendMessageW(pane, WM_SETFONT,
                           reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), TRUE);
        }
        m_filter.SendMessage(EM_SETCUEBANNER, TRUE,
                             reinterpret_cast<LPARAM>(L"Filter rows (Esc clears)"));
        AddSubclass(m_filter.m_hWnd, &CDocumentPanes::FilterKeys, 1,
                    reinterpret_cast<DWORD_PTR>(this));
    }
    if (!m_filterShown) {
        m_filterShown = true;
        LayOut();
        for (HWND pane : {m_filter.m_hWnd, m_matchCount.m_hWnd})
            if (pane) ::ShowWindow(pane, SW_SHOWNA);
        RedrawList();
    }
    ::SetFocus(m_filter.m_hWnd);
    m_filter.SendMessage(EM_SETSEL, 0, -1);
}

// The bar goes, and its filter with it; the list has the focus.
void CDocumentPanes::HideFilter() {
    if (!m_filterShown) return;
    ::SetWindowTextW(m_filter.m_hWnd, L"");
    m_filterShown = false;
    for (HWND pane : {m_filter.m_hWnd, m_matchCount.m_hWnd})
        if (pane) ::ShowWindow(pane, SW_HIDE);
    LayOut();
    RedrawList();
    ::SetFocus(m_view.m_hWnd);
}

void CDocumentPanes::EnterList() {
    int row = m_view.GetNextItem(-1, LVNI_FOCUSED);
    if (m_filtering) {
        const int count = m_view.GetItemCount();
        for (row = 0; row < count && !m_view.IsHighlighted(row); ++row) {
        }
        if (row == count) row = -1;
    }
    ::SetFocus(m_view.m_hWnd);
    if (row < 0 && m_view.GetItemCount() > 0) row = 0;
    if (row >= 0) m_view.FocusRow(row);
}

// Escape clears the box and gives the focus back to the list; Down, Tab and
// Enter go to the list.
LRESULT CALLBACK CDocumentPanes::FilterKeys(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR data) {
    auto* panes = reinterpret_cast<CDocumentPanes*>(data);
    if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
        ::SetWindowTextW(edit, L"");
        ::SetFocus(panes->m_view.m_hWnd);
        return 0;
    }
    if (msg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_DOWN || wParam == VK_TAB)) {
        panes->EnterList();
        return 0;
    }
    if (msg == WM_CHAR && (wParam == 27 || wParam == 13 || wParam == 9)) return 0;  // no beep
    if (msg == WM_NCDESTROY) RemoveSubclass(edit, &CDocumentPanes::FilterKeys, 1);
    return CallNextSubclass(edit, msg, wParam, lParam);
}

// "12 of 272 rows" match while a filter is typed, "No rows match"; nothing
// while the box is empty.
void CDocumentPanes::ShowMatchCount() {
    if (!m_matchCount.m_hWnd) return;
    std::wstring text;
    if (m_filtering) {
        std::size_t matches = 0;
        for (std::uint32_t row : m_rowFilter.shown()) matches += m_rowFilter.is_match(row) ? 1 : 0;
        const std::size_t rows = m_all.size();
        text = matches == 0 ? L"No rows match"
                            : std::to_wstring(matches) + L" of " + std::to_wstring(rows) +
                                  (rows == 1 ? L" row" : L" rows");
    }
    ::SetWindowTextW(m_matchCount.m_hWnd, text.c_str());
}

void CDocumentPanes::ApplyFilter() {
    std::string pattern;
    const std::wstring typed = WindowText(m_filter.m_hWnd);
    if (typed.empty()) {
        ClearFilter();
        return;
    }
    if (!m_document.file()) return;
    // The document was read again under the filter (another reading, say): its
    // new rows are the ones to keep.
    if (m_filtering && m_document.load_count() != m_filteredLoad) DropFilter();
    const dcm_file_mapping file(m_document.file());
    const dcm_bytes bytes = dcm_bytes::of(file);
    if (!m_filtering) {
        m_all = m_document.whole_rows(bytes);  // read as the list reads them
        m_rowFilter.reset();
    }
    std::vector<std::uint32_t> shown;
    if (Narrow(typed, m_all.cells_are_utf8(), pattern)) {
        const auto cells = [&](std::size_t row, int column, char* out, std::size_t capacity) {
            return m_all.cell_text(bytes, row, column, out, capacity);
        };
        m_rowFilter.apply(m_all.records(), dcm_column_count, cells, pattern);
        shown = m_rowFilter.shown();
    } else {
        m_rowFilter.reset();  // no cell holds a character outside the code page
    }
    m_shown = m_all.only_rows(shown);
    std::vector<bool> matches(shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) matches[i] = m_rowFilter.is_match(shown[i]);
    m_view.ShowFilterRows(m_shown, std::move(matches));
    if (!m_filtering) {
        m_filtering = true;
        m_filteredLoad = m_document.load_count();
    }
    ShowMatchCount();
    Inspect();
}

// The document's rows come back as they were, collapsed containers included,
// with the focus on the row that had it (or on the collapsed container that
// holds it), in view.
void CDocumentPanes::ClearFilter() {
    if (!m_filtering) return;
    const int focused = m_view.GetNextItem(-1, LVNI_FOCUSED);
    std::optional<dcm_record> kept;
    if (focused >= 0 && std::size_t(focused) < m_view.Rows().size())
        kept = m_view.Rows().record(std::size_t(focused));
    if (m_document.load_count() == m_filteredLoad) {
        m_view.ShowDocumentRows();
        if (kept) m_view.FocusRow(RowAtOrAround(m_view.Rows().records(), *kept));
    }
    DropFilter();
    ShowMatchCount();
    Inspect();
}

void CDocumentPanes::DropFilter() {
    m_shown = dcm_row_model();
    m_all = dcm_row_model();
    m_rowFilter.reset();
    m_filtering = false;
}

bool CDocumentPanes::OnNotify(CMessage& m) {
    const auto* header = reinterpret_cast<const NMHDR*>(m.lParam);
    if (header->hwndFrom == m_view.m_hWnd) {
        if (header->code == LVN_KEYDOWN &&
            reinterpret_cast<const NMLVKEYDOWN*>(m.lParam)->wVKey == VK_ESCAPE && m_filtering) {
            ::SetWindowTextW(m_filter.m_hWnd, L"");  // as Escape in the box
        } else if (header->code == NM_RETURN) {
            ShowInspector(true);
        } else if (header->code == LVN_ITEMCHANGED && m_inspectorShown) {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(m.lParam);
            if ((change->uChanged & LVIF_STATE) &&
                ((change->uNewState ^ change->uOldState) & LVIS_FOCUSED))
                Inspect();
        }
        return false;  // the list's own handling (reflection) goes on
    }
    if (!m_inspector.m_hWnd || header->hwndFrom != m_inspector.m_hWnd) return false;
    if (header->code == LVN_GETDISPINFOW) {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(m.lParam)->item;
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            const dcm_file_mapping* file = m_paintFile ? &*m_paintFile : nullptr;
            std::optional<dcm_file_mapping> own;
            if (!file && m_document.file()) file = &own.emplace(m_document.file());
            const std::wstring text =
                file ? WidenUtf8(InspectedLine(std::size_t(item.iItem), *file)) : std::wstring();
            const std::size_t n =
                std::min<std::size_t>(text.size(), std::size_t(item.cchTextMax) - 1);
            text.copy(item.pszText, n);
            item.pszText[n] = L'\0';
        }
        m.result = TRUE;
        return true;
    }
    if (header->code == NM_CUSTOMDRAW) {
        const auto* draw = reinterpret_cast<const NMCUSTOMDRAW*>(m.lParam);
        if (draw->dwDrawStage == CDDS_PREPAINT) {
            m_paintFile.reset();
            if (m_document.file() && m_inspection.line_count() > 0)
                m_paintFile.emplace(m_document.file());
            m.result = CDRF_NOTIFYPOSTPAINT;
        } else {
            if (draw->dwDrawStage == CDDS_POSTPAINT) m_paintFile.reset();
            m.result = CDRF_DODEFAULT;
        }
        return true;
    }
    return false;
}

// The selected lines of the inspector, each ended by CR LF.
bool CDocumentPanes::CopyInspectorLines() {
    std::wstring text;
    const dcm_file_mapping file(m_document.file() ? m_document.file() : L"");
    std::size_t lines = 0;
    for (int line = m_inspector.GetNextItem(-1, LVNI_SELECTED); line >= 0 && lines < kCopyLineLimit;
         line = m_inspector.GetNextItem(line, LVNI_SELECTED), ++lines) {
        text += WidenUtf8(InspectedLine(std::size_t(line), file));
        text += L"\r\n";
    }
    if (lines == kCopyLineLimit) ::MessageBeep(MB_ICONEXCLAMATION);
    if (!text.empty()) CopyTextToClipboard(Frame(), text.c_str(), text.size());
    return true;
}

bool CDocumentPanes::OnCommand(CMessage& m) {
    const WORD id = LOWORD(m.wParam);
    const HWND focus = ::GetFocus();
    if (m.lParam && reinterpret_cast<HWND>(m.lParam) == m_filter.m_hWnd) {
        if (HIWORD(m.wParam) == EN_CHANGE) ApplyFilter();
        return true;
    }
    if (m.lParam) return false;
    switch (id) {
    case ID_VIEW_INSPECTOR: ShowInspector(!m_inspectorShown); return true;
    case ID_VIEW_RESTORE_WINDOW:
        if (FrameShown()) m_framePane.RestoreWindow();
        return true;
    case ID_VIEW_FILTER:
        // The menu's command shows or hides the bar; its key (Ctrl+L, an
        // accelerator's command) hides it from the box, else goes to the box.
        if (m_filterShown && (HIWORD(m.wParam) != 1 || focus == m_filter.m_hWnd))
            HideFilter();
        else
            FocusFilter();
        return true;
    case ID_EDIT_COPY_ROWS:
        if (focus && focus == m_filter.m_hWnd) {
            m_filter.SendMessage(WM_COPY);
            return true;
        }
        if (focus && focus == m_inspector.m_hWnd) return CopyInspectorLines();
        return false;
    case ID_EDIT_SELECT_ALL:
        if (focus && focus == m_filter.m_hWnd) {
            m_filter.SendMessage(EM_SETSEL, 0, -1);
            return true;
        }
        if (focus && focus == m_inspector.m_hWnd) {
            m_inspector.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
            return true;
        }
        return false;
    case ID_VIEW_REFRESH:
        if (!m_filtering) return false;
        // The file is read again: the document's rows first, then the filter over the new rows.
        ClearFilter();
        m_view.SendMessage(WM_COMMAND, m.wParam, m.lParam);
        ApplyFilter();
        return true;
    default: return false;
    }
}

}  // namespace velk
