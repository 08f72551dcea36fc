#include "copy_fake_list.h"

#include <algorithm>

namespace copytest {

namespace {

const wchar_t kParentClass[] = L"VelkCopyTestParent";

void RegisterParent(WNDPROC proc) {
    static const bool done = [proc] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kParentClass;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        return ::RegisterClassW(&wc) != 0;
    }();
    (void)done;
}

}  // namespace

FakeList::FakeList(std::vector<FakeRow> rows) : m_rows(std::move(rows)) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    RegisterParent(&ParentProc);
    m_parent = ::CreateWindowExW(0, kParentClass, L"copy test", WS_OVERLAPPEDWINDOW, 40, 40, 900,
                                 500, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    RECT client{};
    ::GetClientRect(m_parent, &client);
    m_list = ::CreateWindowExW(0, WC_LISTVIEWW, L"",
                               WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 0,
                               client.right, client.bottom, m_parent, nullptr, ::GetModuleHandleW(nullptr),
                               nullptr);
    ::SetWindowSubclass(m_list, &ListProc, 1, reinterpret_cast<DWORD_PTR>(this));
    const wchar_t* headers[6] = {L"Tag", L"VR", L"Size", L"Description", L"Data", L"Offset"};
    for (int i = 0; i < 6; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(headers[i]);
        column.cx = 120;
        column.iSubItem = i;
        ::SendMessageW(m_list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    ::SendMessageW(m_list, LVM_SETITEMCOUNT, m_rows.size(), 0);
    ::UpdateWindow(m_parent);
}

FakeList::~FakeList() {
    ::RemoveWindowSubclass(m_list, &ListProc, 1);
    ::DestroyWindow(m_parent);
}

void FakeList::SetRows(std::vector<FakeRow> rows) {
    m_rows = std::move(rows);
    ::SendMessageW(m_list, LVM_SETITEMCOUNT, m_rows.size(), 0);
}

void FakeList::Answer(NMLVDISPINFOW& request) {
    ++m_requests;
    LVITEMW& item = request.item;
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= m_rows.size()) return;
    const FakeRow& row = m_rows[static_cast<std::size_t>(item.iItem)];
    if (item.mask & LVIF_INDENT) item.iIndent = row.indent;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0 && item.iSubItem >= 0 &&
        item.iSubItem < 6) {
        const std::wstring& text = row.cells[static_cast<std::size_t>(item.iSubItem)];
        const std::size_t n = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
        text.copy(item.pszText, n);
        item.pszText[n] = L'\0';
    }
}

LRESULT CALLBACK FakeList::ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<FakeList*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && msg == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == LVN_GETDISPINFOW) {
            self->Answer(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
            return 0;
        }
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK FakeList::ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR object) {
    if (msg == WM_COMMAND) reinterpret_cast<FakeList*>(object)->m_commands.push_back(LOWORD(wParam));
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

void FakeList::Select(int row, bool selected) const {
    LVITEMW change{};
    change.state = selected ? LVIS_SELECTED : 0;
    change.stateMask = LVIS_SELECTED;
    ::SendMessageW(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&change));
}

std::vector<int> FakeList::Selected() const {
    std::vector<int> rows;
    int row = -1;
    while ((row = static_cast<int>(::SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                  MAKELPARAM(LVNI_SELECTED, 0)))) != -1)
        rows.push_back(row);
    return rows;
}

int FakeList::Mark() const { return static_cast<int>(::SendMessageW(m_list, LVM_GETSELECTIONMARK, 0, 0)); }

int FakeList::Focused() const {
    return static_cast<int>(::SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

FakeRow Numbered(int n, int indent) {
    const std::wstring s = std::to_wstring(n);
    return {indent, {L"t" + s, L"v" + s, L"s" + s, L"d" + s, L"x" + s, L"o" + s}};
}

std::wstring ClipboardText() {
    std::wstring text = L"<none>";
    if (!::OpenClipboard(nullptr)) return L"<closed>";
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* characters = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = characters;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

void PutOnClipboard(const std::wstring& text) {
    if (!::OpenClipboard(nullptr)) return;
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (auto* characters = static_cast<wchar_t*>(::GlobalLock(block))) {
        std::copy(text.c_str(), text.c_str() + text.size() + 1, characters);
        ::GlobalUnlock(block);
        ::SetClipboardData(CF_UNICODETEXT, block);
    }
    ::CloseClipboard();
}

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace copytest
