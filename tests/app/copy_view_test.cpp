// Copy Item, Copy Rows, Select All and the context menu in a real document
// window: the commands reach the view as a user's menu, keys and mouse send
// them, and the clipboard holds the cell texts the list shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "app/documents.h"
#include "cli/output.h"
#include "copy_find_support.h"
#include "parse/file.h"
#include "present/listing.h"
#include "view/context_menu.h"
#include "view_test_support.h"

namespace velk {

namespace copytest {
namespace {

using viewtest::ListOf;

// The list's context menu asked for at a screen point, with its n-th entry
// chosen by the keyboard (none: dismissed). The keys wait in the queue until
// the menu's own loop reads them.
void ChooseFromMenu(HWND list, LPARAM point, int downs) {
    for (int i = 0; i < downs; ++i) ::PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(list, WM_KEYDOWN, downs ? VK_RETURN : VK_ESCAPE, 0);
    ::SendMessageW(list, WM_CONTEXTMENU, WPARAM(list), point);
}

class CopyView : public viewtest::DocumentsTest {
protected:
    void SetUp() override {
        DocumentsTest::SetUp();
        m_document = OpenBytes(L"sample.dcm", SampleFile());
        m_list = ListOf(m_document);
        ASSERT_GT(viewtest::ItemCount(m_list), 10);
    }

    void Select(int row) const {
        LVITEMW change{};
        change.state = LVIS_SELECTED;
        change.stateMask = LVIS_SELECTED;
        ::SendMessageW(m_list, LVM_SETITEMSTATE, WPARAM(row), LPARAM(&change));
    }
    // A command as the menu, toolbar and keys send it: to the document window.
    void Command(WORD id) const { ::SendMessageW(m_document, WM_COMMAND, id, 0); }

    // The context menu asked for at a cell, with the menu's n-th entry chosen.
    void MenuAtCell(int row, int column, int downs) const {
        ::SendMessageW(m_list, LVM_ENSUREVISIBLE, WPARAM(row), FALSE);
        RECT cell{};
        cell.top = column;
        cell.left = LVIR_LABEL;
        ::SendMessageW(m_list, LVM_GETSUBITEMRECT, WPARAM(row), LPARAM(&cell));
        POINT p{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
        ::ClientToScreen(m_list, &p);
        MenuAt(MAKELPARAM(WORD(p.x), WORD(p.y)), downs);
    }
    void MenuAt(LPARAM point, int downs) const { ChooseFromMenu(m_list, point, downs); }

    // velkdump's line for every row of the file, in the viewer's UTF-16 form.
    std::vector<std::wstring> DumpLines() const {
        const std::string bytes = SampleFile();
        const dcm_bytes file{bytes.data(), bytes.data() + bytes.size()};
        dcm_row_model rows;
        rows.load(file);
        text_output o;
        dcm_write_rows(rows, file, dcm_cp1252_to_utf8(), dcm_line_end::lf, o);
        const std::string text = o.take();
        std::vector<std::wstring> lines;
        std::wstring line;
        for (char c : text) {
            if (c == '\n') {
                lines.push_back(line + L"\r\n");
                line.clear();
            } else {
                line += wchar_t(static_cast<unsigned char>(c));  // the sample's text is ASCII
            }
        }
        return lines;
    }

    HWND m_document = nullptr;
    HWND m_list = nullptr;
};

TEST_F(CopyView, CopyItemFromTheContextMenuCopiesTheCellAlone) {
    MenuAtCell(0, 3, 1);
    EXPECT_EQ(ClipboardText(), L"Group 0002 Length");
    MenuAtCell(0, 5, 1);
    EXPECT_EQ(ClipboardText(), L"132");
}

TEST_F(CopyView, CopyItemOnANestedRowHasNoIndent) {
    const int row = RowOfTag(m_list, L"(0008,1155)");
    ASSERT_GE(row, 0);
    ASSERT_GE(viewtest::ReadCell(m_list, row, 0).indent, 2);
    MenuAtCell(row, 0, 1);
    EXPECT_EQ(ClipboardText(), L"(0008,1155)");
}

TEST_F(CopyView, CopyRowsFromTheContextMenuCopiesTheRowUnderTheMouse) {
    const int row = RowOfTag(m_list, L"(0008,0060)");
    Select(row);
    MenuAtCell(row, 1, 2);
    EXPECT_EQ(ClipboardText(), DumpLines()[std::size_t(row)]);
}

TEST_F(CopyView, SelectAllFromTheContextMenuSelectsEveryRow) {
    MenuAtCell(1, 1, 3);
    EXPECT_EQ(::SendMessageW(m_list, LVM_GETSELECTEDCOUNT, 0, 0), viewtest::ItemCount(m_list));
}

TEST_F(CopyView, DismissedMenuDoesNothing) {
    PutOnClipboard(L"old");
    MenuAtCell(2, 2, 0);
    EXPECT_EQ(ClipboardText(), L"old");
    EXPECT_EQ(::SendMessageW(m_list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
}

TEST_F(CopyView, CopyItemWhereNoCellLiesLeavesTheClipboard) {
    PutOnClipboard(L"old");
    MenuAt(MAKELPARAM(0xFFFF, 0xFFFF), 1);  // the keyboard's point
    EXPECT_EQ(ClipboardText(), L"old");
    RECT header{};
    ::GetWindowRect(reinterpret_cast<HWND>(::SendMessageW(m_list, LVM_GETHEADER, 0, 0)), &header);
    MenuAt(MAKELPARAM(WORD(header.left + 20), WORD((header.top + header.bottom) / 2)), 1);
    EXPECT_EQ(ClipboardText(), L"old");
}

TEST_F(CopyView, CopyItemBelowTheLastRowLeavesTheClipboard) {
    std::string few = SampleFile();
    few.resize(few.find("MR") + 2);  // the file ends after the modality: four rows
    HWND list = ListOf(OpenBytes(L"few.dcm", few));
    const int last = viewtest::ItemCount(list) - 1;
    ASSERT_EQ(last, 3);
    RECT row{};
    row.left = LVIR_BOUNDS;
    ::SendMessageW(list, LVM_GETITEMRECT, WPARAM(last), LPARAM(&row));
    POINT below{40, row.bottom + 30};
    ::ClientToScreen(list, &below);
    PutOnClipboard(L"old");
    ChooseFromMenu(list, MAKELPARAM(WORD(below.x), WORD(below.y)), 1);
    EXPECT_EQ(ClipboardText(), L"old");
}

TEST_F(CopyView, KeyboardMenuIsShownOnTheScreen) {
    const POINT shown = ContextMenuPoint(POINT{-1, -1});
    EXPECT_EQ(shown.x, 0);
    EXPECT_EQ(shown.y, -1);
    const POINT inside = ContextMenuPoint(POINT{30, 40});
    EXPECT_EQ(inside.x, 30);
    EXPECT_EQ(inside.y, 40);
}

TEST_F(CopyView, ClipboardHeldByAnotherWindowKeepsItsContents) {
    PutOnClipboard(L"old");
    Select(3);
    ASSERT_TRUE(::OpenClipboard(m_frame.m_hWnd));
    Command(kCopyRowsCommand);
    ::CloseClipboard();
    EXPECT_EQ(ClipboardText(), L"old");
}

TEST_F(CopyView, ColumnsDraggedIntoAnotherOrderCopyInIndexOrder) {
    int order[6] = {5, 3, 0, 1, 4, 2};
    ASSERT_TRUE(
        ::SendMessageW(m_list, LVM_SETCOLUMNORDERARRAY, 6, reinterpret_cast<LPARAM>(order)));
    Select(3);
    Command(kCopyRowsCommand);
    EXPECT_EQ(ClipboardText(), DumpLines()[3]);
}

TEST_F(CopyView, SelectAllLeavesFocusAndMark) {
    ::SendMessageW(m_list, LVM_SETSELECTIONMARK, 0, 4);
    LVITEMW focus{};
    focus.state = LVIS_FOCUSED;
    focus.stateMask = LVIS_FOCUSED;
    ::SendMessageW(m_list, LVM_SETITEMSTATE, 6, reinterpret_cast<LPARAM>(&focus));
    Command(kSelectAllCommand);
    EXPECT_EQ(::SendMessageW(m_list, LVM_GETSELECTEDCOUNT, 0, 0), viewtest::ItemCount(m_list));
    EXPECT_EQ(::SendMessageW(m_list, LVM_GETSELECTIONMARK, 0, 0), 4);
    EXPECT_EQ(::SendMessageW(m_list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED), 6);
}

TEST_F(CopyView, RowsSelectedOutOfOrderAreCopiedInRowOrder) {
    Select(5);
    Select(2);
    Command(kCopyRowsCommand);
    const std::vector<std::wstring> lines = DumpLines();
    EXPECT_EQ(ClipboardText(), lines[2] + lines[5]);
}

TEST_F(CopyView, SelectAllThenCopyRowsIsVelkdumpsListing) {
    Command(kSelectAllCommand);
    Command(kCopyRowsCommand);
    std::wstring all;
    for (const std::wstring& line : DumpLines()) all += line;
    EXPECT_EQ(ClipboardText(), all);
}

TEST_F(CopyView, CellsOfTheListsOwnTextRules) {
    const int modality = RowOfTag(m_list, L"(0008,0060)");
    const int priv = RowOfTag(m_list, L"(0009,1001)");
    const int comment = RowOfTag(m_list, L"(0020,4000)");
    const int deep = RowOfTag(m_list, L"(0008,1150)");
    for (int row : {modality, priv, comment, deep}) Select(row);
    Command(kCopyRowsCommand);
    const std::wstring text = ClipboardText();
    EXPECT_NE(text.find(L"(0008,0060);CS;2;Modality;MR;"), std::wstring::npos)
        << std::string(text.begin(), text.end());
    EXPECT_NE(text.find(L"(0009,1001);LO;4;;ABCD;"), std::wstring::npos);
    EXPECT_NE(text.find(L";Image Comments;" + std::wstring(259, L'c') + L";"), std::wstring::npos);
    EXPECT_EQ(text.find(std::wstring(260, L'c')), std::wstring::npos);
    EXPECT_NE(
        text.find(
            L"  (0008,1150);  UI;  26;  Referenced SOP Class UID;  1.2.840.10008.5.1.4.1.1.4;  "),
        std::wstring::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 4);
}

TEST_F(CopyView, NothingSelectedStillPlacesAnEmptyText) {
    PutOnClipboard(L"old");
    Command(kCopyRowsCommand);
    EXPECT_EQ(ClipboardText(), L"");
}

TEST_F(CopyView, CollapsedRowsAreNotCopied) {
    const int sequence = RowOfTag(m_list, L"(0008,1140)");
    viewtest::ClickIcon(m_list, sequence);
    Command(kSelectAllCommand);
    Command(kCopyRowsCommand);
    const std::wstring text = ClipboardText();
    EXPECT_EQ(text.find(L"(0008,1150)"), std::wstring::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), viewtest::ItemCount(m_list));
}

using CopyEmptyView = viewtest::DocumentsTest;

TEST_F(CopyEmptyView, SelectAllAndCopyRowsOnAnEmptyDocument) {
    NewDocumentIn(m_client);
    viewtest::Pump();
    const std::vector<HWND> documents = m_frame.Documents();
    ASSERT_EQ(documents.size(), 1u);
    HWND list = ListOf(documents[0]);
    PutOnClipboard(L"old");
    ::SendMessageW(documents[0], WM_COMMAND, kSelectAllCommand, 0);
    EXPECT_EQ(::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
    ::SendMessageW(documents[0], WM_COMMAND, kCopyRowsCommand, 0);
    EXPECT_EQ(ClipboardText(), L"");
}

}  // namespace
}  // namespace copytest

}  // namespace velk
