// Copy Rows, Copy Item, Select All, the context menu and the clipboard, on a
// stand-in list: the walk over the list window and what lands on the clipboard.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "copy_fake_list.h"
#include "view/clipboard.h"
#include "view/context_menu.h"
#include "view/copy_rows_list.h"

namespace copytest {
namespace {

std::vector<FakeRow> NumberedRows(int count) {
    std::vector<FakeRow> rows;
    for (int i = 0; i < count; ++i) rows.push_back(Numbered(i));
    return rows;
}

std::wstring Line(int n, int indent = 0) {
    const std::wstring pad(static_cast<std::size_t>(indent), L' ');
    const std::wstring s = std::to_wstring(n);
    return pad + L"t" + s + L";" + pad + L"v" + s + L";" + pad + L"s" + s + L";" + pad + L"d" + s + L";" + pad +
           L"x" + s + L";" + pad + L"o" + s + L"\r\n";
}

TEST(ClipboardCopy, PlacesExactlyTheCountedCharactersAndATerminator) {
    FakeList list({});
    const wchar_t text[] = L"abcdef";
    EXPECT_EQ(CopyTextToClipboard(list.List(), text, 3), S_OK);
    EXPECT_EQ(ClipboardText(), L"abc");
    ASSERT_TRUE(::OpenClipboard(nullptr));
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_GE(::GlobalSize(data), 2u * 3u + 2u);
    ::CloseClipboard();
}

TEST(ClipboardCopy, HeldByAnotherWindowLeavesTheOldContents) {
    FakeList list({});
    FakeList holder({});
    PutOnClipboard(L"old");
    ASSERT_TRUE(::OpenClipboard(holder.Parent()));
    EXPECT_EQ(CopyTextToClipboard(list.List(), L"new", 3), E_FAIL);
    ::CloseClipboard();
    EXPECT_EQ(ClipboardText(), L"old");
}

TEST(CopyRowsOnList, RowsSelectedOutOfOrderComeInAscendingOrder) {
    FakeList list(NumberedRows(8));
    list.Select(5);
    list.Select(2);
    CopyRows(list.List());
    EXPECT_EQ(ClipboardText(), Line(2) + Line(5));
}

TEST(CopyRowsOnList, NoSelectionStillPlacesAnEmptyText) {
    FakeList list(NumberedRows(3));
    PutOnClipboard(L"old");
    CopyRows(list.List());
    EXPECT_EQ(ClipboardText(), L"");
}

TEST(CopyRowsOnList, IndentComesBeforeEveryCellAndLongCellsAreCut) {
    std::vector<FakeRow> rows = NumberedRows(2);
    rows[1] = Numbered(1, 2);
    rows[0].cells[4] = std::wstring(300, L'x');
    rows[0].cells[3].clear();
    FakeList list(rows);
    list.Select(0);
    list.Select(1);
    CopyRows(list.List());
    EXPECT_EQ(ClipboardText(), L"t0;v0;s0;;" + std::wstring(259, L'x') + L";o0\r\n" + Line(1, 2));
}

TEST(CopyRowsOnList, DraggedColumnsStillCopyInIndexOrder) {
    FakeList list(NumberedRows(1));
    int order[6] = {5, 3, 0, 1, 4, 2};
    ASSERT_TRUE(::SendMessageW(list.List(), LVM_SETCOLUMNORDERARRAY, 6, reinterpret_cast<LPARAM>(order)));
    list.Select(0);
    CopyRows(list.List());
    EXPECT_EQ(ClipboardText(), Line(0));
}

TEST(CopyRowsOnList, AsksOneDisplayRequestPerCell) {
    FakeList list(NumberedRows(4));
    list.Select(1);
    list.Select(3);
    Pump();
    const int before = list.Requests();
    CopyRows(list.List());
    EXPECT_EQ(list.Requests() - before, 12);
}

TEST(SelectAllOnList, SelectsEveryRowAndLeavesMarkAndFocus) {
    FakeList list(NumberedRows(50));
    ::SendMessageW(list.List(), LVM_SETSELECTIONMARK, 0, 7);
    LVITEMW focus{};
    focus.state = LVIS_FOCUSED;
    focus.stateMask = LVIS_FOCUSED;
    ::SendMessageW(list.List(), LVM_SETITEMSTATE, 9, reinterpret_cast<LPARAM>(&focus));
    SelectAll(list.List());
    EXPECT_EQ(list.Selected().size(), 50u);
    EXPECT_EQ(list.Mark(), 7);
    EXPECT_EQ(list.Focused(), 9);
    CopyRows(list.List());
    const std::wstring text = ClipboardText();
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 50);
}

TEST(SelectAllOnList, EmptyListDoesNothing) {
    FakeList list({});
    SelectAll(list.List());
    EXPECT_TRUE(list.Selected().empty());
}

// The screen point at the middle of a cell.
POINT CellPoint(HWND list, int row, int column) {
    RECT cell{};
    cell.top = column;
    cell.left = LVIR_LABEL;
    ::SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    POINT point{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    ::ClientToScreen(list, &point);
    return point;
}

TEST(CopyItemOnList, CopiesTheCellTextWithoutIndent) {
    std::vector<FakeRow> rows = NumberedRows(3);
    rows[1] = Numbered(1, 2);
    FakeList list(rows);
    CopyItem(list.List(), CellPoint(list.List(), 1, 3));
    EXPECT_EQ(ClipboardText(), L"d1");
    CopyItem(list.List(), CellPoint(list.List(), 2, 0));
    EXPECT_EQ(ClipboardText(), L"t2");
}

TEST(CopyItemOnList, NoRowUnderThePointLeavesTheClipboard) {
    FakeList list(NumberedRows(2));
    PutOnClipboard(L"old");
    POINT below = CellPoint(list.List(), 1, 0);
    below.y += 200;
    CopyItem(list.List(), below);
    EXPECT_EQ(ClipboardText(), L"old");
    RECT header{};
    ::GetWindowRect(reinterpret_cast<HWND>(::SendMessageW(list.List(), LVM_GETHEADER, 0, 0)), &header);
    CopyItem(list.List(), POINT{header.left + 20, (header.top + header.bottom) / 2});
    EXPECT_EQ(ClipboardText(), L"old");
}

TEST(ContextMenuPlacement, KeyboardPointOffTheScreenIsClampedInX) {
    const POINT shown = ContextMenuPoint(POINT{-1, -1});
    EXPECT_EQ(shown.x, 0);
    EXPECT_EQ(shown.y, -1);
    const POINT inside = ContextMenuPoint(POINT{30, 40});
    EXPECT_EQ(inside.x, 30);
    EXPECT_EQ(inside.y, 40);
}

// Chooses the menu's n-th command with the keyboard once the menu is up: the
// keys wait in the queue until the menu's own loop reads them.
void ChooseWithKeys(HWND list, int downs) {
    for (int i = 0; i < downs; ++i) ::PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(list, WM_KEYDOWN, downs ? VK_RETURN : VK_ESCAPE, 0);
}

LPARAM ScreenPoint(POINT p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }

TEST(ContextMenuOnList, CopyItemCopiesTheCellWhereTheMenuWasAskedFor) {
    FakeList list(NumberedRows(3));
    ChooseWithKeys(list.List(), 1);
    ShowListContextMenu(list.List(), ScreenPoint(CellPoint(list.List(), 2, 4)));
    EXPECT_EQ(ClipboardText(), L"x2");
    EXPECT_TRUE(list.Commands().empty());
}

TEST(ContextMenuOnList, CopyRowsAndSelectAllAreSentToTheList) {
    FakeList list(NumberedRows(3));
    ChooseWithKeys(list.List(), 2);
    ShowListContextMenu(list.List(), ScreenPoint(CellPoint(list.List(), 0, 0)));
    ChooseWithKeys(list.List(), 3);  // the separator is passed over
    ShowListContextMenu(list.List(), ScreenPoint(CellPoint(list.List(), 0, 0)));
    EXPECT_EQ(list.Commands(), (std::vector<WORD>{kCopyRowsCommand, kSelectAllCommand}));
}

TEST(ContextMenuOnList, DismissedMenuDoesNothing) {
    FakeList list(NumberedRows(3));
    PutOnClipboard(L"old");
    ChooseWithKeys(list.List(), 0);
    ShowListContextMenu(list.List(), ScreenPoint(CellPoint(list.List(), 0, 0)));
    EXPECT_EQ(ClipboardText(), L"old");
    EXPECT_TRUE(list.Commands().empty());
}

TEST(ContextMenuOnList, KeyboardRequestCopiesNothingWhereNoCellLies) {
    FakeList list(NumberedRows(3));
    PutOnClipboard(L"old");
    ChooseWithKeys(list.List(), 1);
    ShowListContextMenu(list.List(), MAKELPARAM(0xFFFF, 0xFFFF));
    EXPECT_EQ(ClipboardText(), L"old");
}

}  // namespace
}  // namespace copytest
