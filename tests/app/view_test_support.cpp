#include "view_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/documents.h"

namespace velk {

namespace viewtest {

CWindowClassInfo& CDocumentsFrame::GetWndClassInfo() {
    static CWindowClassInfo info = CWindowClassInfo::Own();
    return info;
}

bool CDocumentsFrame::ProcessWindowMessage(CMessage& m) {
    using Map = MessageMap<CDocumentsFrame>;
    static const Map::Entry map[] = {
        Map::Message(WM_CREATE, &CDocumentsFrame::OnCreate),
    };
    return Map::Route(*this, map, m) || CMDIFrameWindowImpl::ProcessWindowMessage(m);
}

LRESULT CDocumentsFrame::OnCreate(CMessage&) {
    CreateMDIClient();
    return 0;
}

HWND CDocumentsFrame::Open() {
    const RECT place{0, 0, 1000, 700};
    if (!CreateEx(nullptr, &place)) return nullptr;
    ShowWindow(SW_SHOW);
    UpdateWindow();
    return m_hWndMDIClient;
}

std::vector<HWND> CDocumentsFrame::Documents() const {
    std::vector<HWND> documents;
    for (HWND w = ::GetWindow(m_hWndMDIClient, GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
        if (!::GetWindow(w, GW_OWNER)) documents.push_back(w);  // not an icon title
    }
    // The MDI client numbers its children in the order they were made.
    std::sort(documents.begin(), documents.end(),
              [](HWND a, HWND b) { return ::GetDlgCtrlID(a) < ::GetDlgCtrlID(b); });
    return documents;
}

Cell ReadCell(HWND list, int row, int column) {
    wchar_t buffer[260] = {};
    LVITEMW item{};
    item.mask = LVIF_TEXT | (column == 0 ? LVIF_IMAGE | LVIF_INDENT : 0u);
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 260;
    ::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    Cell cell;
    cell.text = item.pszText ? item.pszText : L"";
    if (column == 0) {
        cell.image = item.iImage;
        cell.indent = item.iIndent;
    }
    return cell;
}

std::vector<std::wstring> ReadRow(HWND list, int row) {
    std::vector<std::wstring> texts;
    for (int column = 0; column < 6; ++column) texts.push_back(ReadCell(list, row, column).text);
    return texts;
}

std::vector<std::wstring> ReadAll(HWND list) {
    std::vector<std::wstring> rows;
    const int count = ItemCount(list);
    for (int row = 0; row < count; ++row) {
        const Cell first = ReadCell(list, row, 0);
        std::wstring line = std::to_wstring(first.indent) + L" " + std::to_wstring(first.image);
        for (const std::wstring& text : ReadRow(list, row)) line += L";" + text;
        rows.push_back(line);
    }
    return rows;
}

int ItemCount(HWND list) { return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

namespace {

POINT RectMiddle(HWND list, int row, int part) {
    RECT r{};
    r.left = part;
    ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace

POINT IconPoint(HWND list, int row) { return RectMiddle(list, row, LVIR_ICON); }
POINT LabelPoint(HWND list, int row) { return RectMiddle(list, row, LVIR_LABEL); }

void Click(HWND list, POINT at, bool doubleClick) {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, where);
    ::SendMessageW(list, WM_LBUTTONUP, 0, where);
    if (doubleClick) {
        ::SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
        ::SendMessageW(list, WM_LBUTTONUP, 0, where);
    }
    Pump();
}

void ClickIcon(HWND list, int row) {
    ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    Click(list, IconPoint(list, row));
}

CDocumentsFrame& DocumentsTest::Frame() {
    static CDocumentsFrame* frame = new CDocumentsFrame;  // ends with the process
    return *frame;
}

void DocumentsTest::SetUp() {
    m_client = m_frame.m_hWnd ? m_frame.m_hWndMDIClient : m_frame.Open();
    ASSERT_TRUE(m_client);
    CloseDocuments();
}

void DocumentsTest::TearDown() { CloseDocuments(); }

void DocumentsTest::CloseDocuments() {
    for (HWND document : m_frame.Documents())
        ::SendMessageW(m_client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
    Pump();
}

HWND DocumentsTest::Open(const std::wstring& path, dcm_reading reading) {
    OpenDocumentIn(m_client, path.c_str(), reading);
    Pump();
    return m_frame.MDIGetActive();
}

HWND DocumentsTest::OpenBytes(const std::wstring& name, const std::string& bytes,
                              dcm_reading reading) {
    const std::wstring path = RunFolder() + name;
    EXPECT_TRUE(WriteFile(path, bytes));
    return Open(path, reading);
}

}  // namespace viewtest

}  // namespace velk
