#include "app/folder_frame.h"

#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <vector>

#include "app/resource.h"
#include "app/row_list.h"
#include "app/status_panes.h"
#include "index/folder_index.h"
#include "view/clipboard.h"
#include "view/row_keys.h"
#include "view/screen_scale.h"

namespace velk {

namespace fs = std::filesystem;

namespace {

// Posted by the reading thread when rows are waiting (never more than one is
// in the queue at a time).
constexpr UINT kRowsRead = WM_APP + 24;
// The shortest pause between two times the window is told of rows: at most ten
// times a second. While the rows are many, telling the list costs more (under
// wine, giving a list its new count waits on the display and the wine server):
// the pause is then this many times what the last telling took, so that the
// window takes at most a quarter of the time and the readers keep the rest.
constexpr unsigned kLeastPauseMs = 100;
constexpr unsigned kPausePerUpdateCost = 4;
// The filter box's control identifier: below the commands' block.
constexpr int kFilterBoxId = 0x101;
constexpr int kFilterHeight = 24;

// Widths of the columns, in the index's column order.
constexpr int kColumnWidths[dcm_index_column_count] = {260, 160, 100, 80,  180, 60, 60, 180, 60,
                                                       200, 90,  50,  160, 80,  50, 60, 200};

std::string narrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string utf8(std::size_t(n > 0 ? n : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(), n, nullptr,
                          nullptr);
    return utf8;
}

}  // namespace

// What the reading thread hands the window: rows read and not yet taken, and
// the counts for the status bar. Shared, so that a thread that outlives its
// window (it never does: the window waits for it) would find it still there.
struct CFolderFrame::reading {
    std::mutex mutex;
    std::vector<dcm_index_row> rows;
    std::size_t listed = 0;      // part-10 files, and files that could not be read
    std::size_t skipped = 0;     // files that are not part-10 files
    std::size_t unreadable = 0;  // of the listed, those whose row holds a problem
    bool finished = false;
    std::atomic<bool> stop{false};
    std::atomic<unsigned> pause_ms{kLeastPauseMs};  // between two tellings of the window
    std::atomic<bool> posted{false};
    HWND window = nullptr;

    void post() {
        if (!posted.exchange(true)) ::PostMessageW(window, kRowsRead, 0, 0);
    }
};

namespace {

// The reading thread: every file below `folder` (read by several readers,
// dcm_index_default_jobs), its row as soon as it is read; the window hears of
// the first at once and of the rest at most ten times a second (kLeastPauseMs),
// less often while telling it costs more.
void ReadFolder(std::shared_ptr<CFolderFrame::reading> shared, fs::path folder);

}  // namespace

CWindowClassInfo& CFolderFrame::GetWndClassInfo() {
    static CWindowClassInfo info = CWindowClassInfo::MDIChild(IDR_DOCUMENT);
    return info;
}

CFolderFrame* CFolderFrame::CreateIn(HWND mdiClient, const std::wstring& folder,
                                     open_document_fn open) {
    auto* frame = new CFolderFrame;
    frame->m_folder = folder;
    frame->m_open = std::move(open);
    // A failed creation has deleted the object already (OnFinalMessage).
    if (!frame->Create(mdiClient)) return nullptr;
    frame->SetWindowText((L"Folder: " + folder).c_str());
    frame->MDIMaximize(*frame);
    frame->StartReading();
    return frame;
}

CFolderFrame* CFolderFrame::Of(HWND window) {
    const CWindowClassInfo& info = GetWndClassInfo();
    if (!window || ::GetClassLongPtrW(window, GCW_ATOM) != info.Atom()) return nullptr;
    auto* base = reinterpret_cast<CWindowImplBaseT<CMDIWindow>*>(
        ::GetWindowLongPtrW(window, info.ObjectSlot()));
    return base ? static_cast<CFolderFrame*>(base) : nullptr;
}

CFolderFrame::~CFolderFrame() { StopReading(); }

void CFolderFrame::OnFinalMessage(HWND) { delete this; }

bool CFolderFrame::Finished() const {
    if (!m_reading) return true;
    std::lock_guard<std::mutex> lock(m_reading->mutex);
    return m_reading->finished && m_reading->rows.empty();
}

bool CFolderFrame::ProcessWindowMessage(CMessage& m) {
    using Map = MessageMap<CFolderFrame>;
    static const Map::Entry map[] = {
        Map::Message(WM_CREATE, &CFolderFrame::OnCreate),
        Map::Message(WM_SIZE, &CFolderFrame::OnSize),
        Map::Message(WM_DESTROY, &CFolderFrame::OnDestroy),
        Map::Message(WM_NOTIFY, &CFolderFrame::OnNotify),
        Map::Message(kRowsRead, &CFolderFrame::OnRowsRead),
        Map::Message(WM_MDIACTIVATE, &CFolderFrame::OnMDIActivate),
        Map::Message(WM_FORWARDMSG, &CFolderFrame::OnForwardMsg),
        Map::Command(kFilterBoxId, &CFolderFrame::OnFilterChange),
        Map::Command(ID_VIEW_REFRESH, &CFolderFrame::OnRefresh),
        Map::Command(ID_EDIT_COPY_ROWS, &CFolderFrame::OnCopyRows),
        Map::Command(ID_EDIT_SELECT_ALL, &CFolderFrame::OnSelectAll),
        Map::Command(ID_VIEW_FILTER, &CFolderFrame::OnToggleFilter),
    };
    return Map::Route(*this, map, m) || CMDIChildWindowImpl::ProcessWindowMessage(m);
}

LRESULT CFolderFrame::OnCreate(CMessage& m) {
    if (CreateRowList(m_list, m_hWnd)) {
        m_hWndClient = m_list.m_hWnd;
        for (std::size_t c = 0; c < dcm_index_column_count; ++c)
            m_list.InsertColumn(int(c), WidenUtf8(dcm_index_column_of(c).title).c_str(),
                                LVCFMT_LEFT, ScaleToScreen(kColumnWidths[c]), int(c));
    }
    m_filter =
        ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 0, 0,
                          m_hWnd, reinterpret_cast<HMENU>(INT_PTR(kFilterBoxId)), nullptr, nullptr);
    if (m_filter)
        ::SendMessageW(m_filter, WM_SETFONT, ::SendMessageW(m_list.m_hWnd, WM_GETFONT, 0, 0),
                       FALSE);
    m.handled = false;  // the MDI child's own creation decides the result
    return 0;
}

// The filter box above the list while it is shown; the list fills the rest.
void CFolderFrame::Layout() {
    RECT area{};
    GetClientRect(&area);
    const int top = m_filterShown ? kFilterHeight : 0;
    if (m_filter)
        ::SetWindowPos(m_filter, nullptr, 0, 0, area.right, top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_list.m_hWnd)
        ::SetWindowPos(m_list.m_hWnd, nullptr, 0, top, area.right, area.bottom - top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CFolderFrame::OnSize(CMessage& m) {
    if (m.wParam != SIZE_MINIMIZED) Layout();
    m.handled = false;  // the MDI child procedure keeps its maximised state with it
    return 0;
}

LRESULT CFolderFrame::OnDestroy(CMessage& m) {
    StopReading();
    m.handled = false;
    return 0;
}

void CFolderFrame::StartReading() {
    StopReading();
    m_table.clear();
    m_reading = std::make_shared<reading>();
    m_reading->window = m_hWnd;
    m_reader = std::thread(ReadFolder, m_reading, fs::path(m_folder));
    ShowLines();
    ShowProgress();
}

void CFolderFrame::StopReading() {
    if (m_reading) m_reading->stop = true;
    if (m_reader.joinable()) m_reader.join();
}

LRESULT CFolderFrame::OnRowsRead(CMessage&) {
    if (!m_reading) return 0;
    const auto start = std::chrono::steady_clock::now();
    std::vector<dcm_index_row> rows;
    {
        std::lock_guard<std::mutex> lock(m_reading->mutex);
        rows.swap(m_reading->rows);
        m_reading->posted = false;
    }
    const std::vector<dcm_folder_line> shown = VisibleLines();
    for (dcm_index_row& row : rows) m_table.add(std::move(row));
    ShowNewLines(shown);
    ShowProgress();
    const auto cost = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    m_reading->pause_ms =
        std::max(kLeastPauseMs, kPausePerUpdateCost * static_cast<unsigned>(cost.count()));
    return 0;
}

void CFolderFrame::ShowLines() {
    m_list.SetItemCountEx(int(m_table.line_count()), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    m_list.Invalidate(FALSE);
}

// The lines the list shows now, from its top line to the last that shows in part.
std::vector<dcm_folder_line> CFolderFrame::VisibleLines() const {
    const std::size_t top = std::size_t(std::max(0, m_list.GetTopIndex()));
    const std::size_t end =
        std::min(m_table.line_count(), top + std::size_t(m_list.GetCountPerPage()) + 1);
    std::vector<dcm_folder_line> lines;
    for (std::size_t i = top; i < end; ++i) lines.push_back(m_table.line(i));
    return lines;
}

// After rows arrived: the new count, and only the shown lines that changed
// painted again (a group's count, a file sorted in among them), not the whole
// list: most batches land below the lines in view.
void CFolderFrame::ShowNewLines(const std::vector<dcm_folder_line>& shown) {
    const auto same = [](const dcm_folder_line& a, const dcm_folder_line& b) {
        return a.kind == b.kind && a.row == b.row && a.files == b.files &&
               a.collapsed == b.collapsed;
    };
    const int top = std::max(0, m_list.GetTopIndex());
    m_list.SetItemCountEx(int(m_table.line_count()), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    int first = -1, last = -1;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const std::size_t index = std::size_t(top) + i;
        if (index < m_table.line_count() && same(shown[i], m_table.line(index))) continue;
        if (first < 0) first = int(index);
        last = int(index);
    }
    // Lines past those shown before, when the list was not full: new ones.
    const std::size_t now_shown = VisibleLines().size();
    if (now_shown > shown.size()) {
        if (first < 0) first = top + int(shown.size());
        last = top + int(now_shown) - 1;
    }
    if (first >= 0) m_list.RedrawItems(first, last);
}

// "Reading: 120 files so far" while the folder is read, then what was found.
void CFolderFrame::ShowProgress() const {
    if (!m_reading) return;
    const HWND client = ::GetParent(m_hWnd);
    if (reinterpret_cast<HWND>(::SendMessageW(client, WM_MDIGETACTIVE, 0, 0)) != m_hWnd) return;
    std::size_t listed, skipped, unreadable;
    bool finished;
    {
        std::lock_guard<std::mutex> lock(m_reading->mutex);
        listed = m_reading->listed;
        skipped = m_reading->skipped;
        unreadable = m_reading->unreadable;
        finished = m_reading->finished;
    }
    wchar_t text[160];
    if (finished)
        ::swprintf(text, 160, L"%zu DICOM files; %zu other files skipped; %zu could not be read",
                   listed - unreadable, skipped, unreadable);
    else
        ::swprintf(text, 160, L"Reading the folder: %zu files so far...", listed + skipped);
    const HWND status = ::GetDlgItem(::GetParent(client), IDW_STATUS_BAR);
    if (status) ::SendMessageW(status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text));
}

LRESULT CFolderFrame::OnMDIActivate(CMessage& m) {
    if (reinterpret_cast<HWND>(m.lParam) == m_hWnd) {
        // No document's facts: the panes a document window fills stay empty.
        ShowNoDocumentPanes(::GetDlgItem(::GetParent(::GetParent(m_hWnd)), IDW_STATUS_BAR));
        ShowProgress();
    }
    m.handled = false;
    return 0;
}

void CFolderFrame::Activate(int index) {
    if (index < 0 || std::size_t(index) >= m_table.line_count()) return;
    const dcm_folder_line& line = m_table.line(std::size_t(index));
    if (line.kind != dcm_folder_line_kind::file) {
        m_table.toggle(std::size_t(index));
        ShowLines();
        return;
    }
    const dcm_index_row& row = m_table.rows()[line.row];
    if (m_open)
        m_open((fs::path(m_folder) / fs::u8path(row.cell(dcm_index_column::path))).wstring());
}

// The window's accelerators first, then the folding keys of the list.
LRESULT CFolderFrame::OnForwardMsg(CMessage& m) {
    const MSG* msg = reinterpret_cast<const MSG*>(m.lParam);
    if (PreTranslateChildMessage(const_cast<MSG*>(msg))) return 1;
    return FoldByKey(*msg) ? 1 : 0;
}

// Left, Right, + and - on the focused line fold and unfold the groups as they
// do the element list's sequences (view/row_keys.h): Left on a file or a
// folded series climbs to its group.
bool CFolderFrame::FoldByKey(const MSG& msg) {
    if (msg.hwnd != m_list.m_hWnd) return false;
    std::optional<RowKey> key;
    const bool modified =
        ::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_SHIFT) < 0 || ::GetKeyState(VK_MENU) < 0;
    if (msg.message == WM_KEYDOWN && !modified && msg.wParam == VK_RIGHT) key = RowKey::right;
    if (msg.message == WM_KEYDOWN && !modified && msg.wParam == VK_LEFT) key = RowKey::left;
    if (msg.message == WM_CHAR && msg.wParam == L'+') key = RowKey::plus;
    if (msg.message == WM_CHAR && msg.wParam == L'-') key = RowKey::minus;
    const int focused = m_list.GetNextItem(-1, LVNI_FOCUSED);
    if (!key || focused < 0 || std::size_t(focused) >= m_table.line_count()) return false;
    const auto index = std::size_t(focused);
    const dcm_folder_line& line = m_table.line(index);
    const RowKeyTarget target{line.kind != dcm_folder_line_kind::file, line.collapsed,
                              m_table.depth(index) > 0};
    switch (ActionForRowKey(*key, target)) {
    case RowKeyAction::expand:
    case RowKeyAction::collapse:
        m_table.toggle(index);
        ShowLines();
        return true;
    case RowKeyAction::focus_container: {
        const auto depth_of = [this](std::size_t i) { return m_table.depth(i); };
        const std::optional<std::size_t> group =
            ContainerRowOf(index, m_table.line_count(), depth_of);
        if (!group) return false;
        m_list.SetItemState(-1, 0, LVIS_SELECTED);
        m_list.SetItemState(int(*group), LVIS_SELECTED | LVIS_FOCUSED,
                            LVIS_SELECTED | LVIS_FOCUSED);
        m_list.SetSelectionMark(int(*group));
        m_list.EnsureVisible(int(*group), FALSE);
        return true;
    }
    case RowKeyAction::ignore: return true;
    case RowKeyAction::none: break;
    }
    return false;
}

LRESULT CFolderFrame::OnNotify(CMessage& m) {
    const NMHDR* header = m.Notification();
    if (header->hwndFrom != m_list.m_hWnd) {
        m.handled = false;
        return 0;
    }
    switch (header->code) {
    case LVN_GETDISPINFOW: {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(m.lParam)->item;
        if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return 0;
        item.pszText[0] = L'\0';
        if (item.iItem < 0 || std::size_t(item.iItem) >= m_table.line_count() ||
            item.iSubItem < 0 || std::size_t(item.iSubItem) >= dcm_index_column_count)
            return 0;
        const auto line = std::size_t(item.iItem);
        std::wstring text =
            WidenUtf8(m_table.cell(line, static_cast<dcm_index_column>(item.iSubItem)));
        if (item.iSubItem == 0) {
            // The nesting by indentation, and a group's fold as a sign before its label.
            const dcm_folder_line& at = m_table.line(line);
            std::wstring lead(4 * std::size_t(m_table.depth(line)), L' ');
            if (at.kind != dcm_folder_line_kind::file) lead += at.collapsed ? L"[+] " : L"[-] ";
            text = lead + text;
        }
        const std::size_t n = std::min<std::size_t>(text.size(), std::size_t(item.cchTextMax) - 1);
        text.copy(item.pszText, n);
        item.pszText[n] = L'\0';
        return 0;
    }
    case LVN_COLUMNCLICK: {
        const int column = reinterpret_cast<NMLISTVIEW*>(m.lParam)->iSubItem;
        if (column >= 0 && std::size_t(column) < dcm_index_column_count) {
            m_table.sort_by(static_cast<dcm_index_column>(column));
            // The header's arrow shows the column and the direction.
            const HWND headerBar = m_list.GetHeader();
            for (int c = 0; c < int(dcm_index_column_count); ++c) {
                HDITEMW format{};
                format.mask = HDI_FORMAT;
                Header_GetItem(headerBar, c, &format);
                format.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
                if (c == column) format.fmt |= m_table.descending() ? HDF_SORTDOWN : HDF_SORTUP;
                Header_SetItem(headerBar, c, &format);
            }
            ShowLines();
        }
        return 0;
    }
    case NM_DBLCLK: Activate(reinterpret_cast<NMITEMACTIVATE*>(m.lParam)->iItem); return 0;
    case NM_RETURN: Activate(m_list.GetNextItem(-1, LVNI_FOCUSED)); return 0;
    default: m.handled = false; return 0;
    }
}

LRESULT CFolderFrame::OnFilterChange(CMessage& m) {
    if (m.CommandCode() != EN_CHANGE) return 0;
    const int length = ::GetWindowTextLengthW(m_filter);
    std::wstring text(std::size_t(length) + 1, L'\0');
    ::GetWindowTextW(m_filter, text.data(), length + 1);
    text.resize(std::size_t(length));
    m_table.set_filter(narrow(text));
    ShowLines();
    return 0;
}

LRESULT CFolderFrame::OnToggleFilter(CMessage&) {
    m_filterShown = !m_filterShown || ::GetFocus() != m_filter;
    ::ShowWindow(m_filter, m_filterShown ? SW_SHOW : SW_HIDE);
    Layout();
    ::SetFocus(m_filterShown ? m_filter : m_list.m_hWnd);
    return 0;
}

LRESULT CFolderFrame::OnRefresh(CMessage&) {
    StartReading();
    return 0;
}

// Every line shown, with the column titles first, cells separated by tabs: a
// spreadsheet takes it as it is.
LRESULT CFolderFrame::OnCopyRows(CMessage&) {
    const std::wstring text = WidenUtf8(m_table.text());
    CopyTextToClipboard(m_hWnd, text.c_str(), text.size());
    return 0;
}

LRESULT CFolderFrame::OnSelectAll(CMessage&) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    m_list.SendMessage(LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&state));
    return 0;
}

bool ChooseFolder(HWND owner, std::wstring& folder) {
    wchar_t chosen[MAX_PATH] = {};
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.pszDisplayName = chosen;
    browse.lpszTitle = L"Choose the folder whose DICOM files to list:";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX;
    PIDLIST_ABSOLUTE item = ::SHBrowseForFolderW(&browse);
    if (!item) return false;
    const bool found = ::SHGetPathFromIDListW(item, chosen) != FALSE;
    ::CoTaskMemFree(item);
    if (found) folder = chosen;
    return found;
}

namespace {

void ReadFolder(std::shared_ptr<CFolderFrame::reading> shared, fs::path folder) {
    using clock = std::chrono::steady_clock;
    auto last = clock::now();  // when the window was last told; under the mutex
    dcm_index_folder(folder, dcm_index_default_jobs(), shared->stop,
                     [&](dcm_index_row&& row, dcm_index_outcome outcome) {
                         bool tell = false;
                         {
                             std::lock_guard<std::mutex> lock(shared->mutex);
                             if (outcome == dcm_index_outcome::not_part10) {
                                 ++shared->skipped;
                             } else {
                                 tell = shared->listed++ == 0;
                                 if (outcome == dcm_index_outcome::unreadable) ++shared->unreadable;
                                 shared->rows.push_back(std::move(row));
                             }
                             const std::chrono::milliseconds pause(shared->pause_ms.load());
                             if (tell || clock::now() - last > pause) {
                                 last = clock::now();
                                 tell = true;
                             }
                         }
                         if (tell) shared->post();
                     });
    {
        std::lock_guard<std::mutex> lock(shared->mutex);
        shared->finished = true;
    }
    shared->post();
}

}  // namespace

}  // namespace velk
