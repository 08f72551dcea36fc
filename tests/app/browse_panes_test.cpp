// The filter box, the inspector pane and the comparison window in real document
// windows, driven by the commands and keys a user gives them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/child_frame.h"
#include "app/compare_frame.h"
#include "app/resource.h"
#include "copy_find_support.h"
#include "dicom_builder.h"
#include "view_test_support.h"

namespace velk {

namespace {

using namespace viewtest;
using test::dicom_builder;

// Row 2 is a sequence whose second item holds a sequence that holds the name.
std::string nested_file(const std::string& name) {
    dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());                   // row 0
    b.explicit_element(0x0008, 0x0060, "CS", "MR");                          // 1
    b.sequence(0x0040, 0xA730);                                              // 2
    b.item().explicit_element(0x0008, 0x0100, "SH", "T-A0100 ").item_end();  // 3 4 5
    b.item().sequence(0x0040, 0xA043);                                       // 6 7
    b.item().explicit_element(0x0010, 0x0010, "PN", name).item_end();        // 8 9 10
    b.sequence_end().item_end().sequence_end();                              // 11 12 13
    return b.bytes();
}

// The panes, by the child identifiers the document window gives them.
HWND FilterBoxOf(HWND document) { return ::GetDlgItem(document, 0x7F01); }
HWND InspectorOf(HWND document) { return ::GetDlgItem(document, 0x7F02); }
std::wstring Line(HWND inspector, int line) { return ReadCell(inspector, line, 0).text; }

std::vector<std::wstring> Tags(HWND list) {
    std::vector<std::wstring> tags;
    for (int row = 0; row < ItemCount(list); ++row) tags.push_back(ReadCell(list, row, 0).text);
    return tags;
}

// The command of the item of a popup of `menu` whose text is `text`; 0 for none.
UINT MenuCommand(HMENU menu, const std::wstring& text) {
    for (int popup = 0; popup < ::GetMenuItemCount(menu); ++popup) {
        const HMENU items = ::GetSubMenu(menu, popup);
        for (int i = 0; items && i < ::GetMenuItemCount(items); ++i) {
            wchar_t item[128] = {};
            ::GetMenuStringW(items, UINT(i), item, 128, MF_BYPOSITION);
            if (text == item) return ::GetMenuItemID(items, i);
        }
    }
    return 0;
}

std::wstring StatusPane(HWND bar, int pane) {
    wchar_t text[256] = {};
    ::SendMessageW(bar, SB_GETTEXTW, WPARAM(pane), reinterpret_cast<LPARAM>(text));
    return text;
}

class BrowsePanes : public DocumentsTest {};

}  // namespace

// Ctrl+L's command shows the filter box; typing shows the match with every
// container above it; Escape brings back the rows and the collapse made before.
TEST_F(BrowsePanes, FilterShowsMatchesInTheirContainersAndEscapeRestores) {
    const HWND document = OpenBytes(L"filter.dcm", nested_file("Doe^Jane"));
    const HWND list = ListOf(document);
    ClickIcon(list, 3);  // the first item collapsed
    const int rows = ItemCount(list);
    ASSERT_EQ(rows, 12);
    ::SendMessageW(document, WM_COMMAND, ID_VIEW_FILTER, 0);
    const HWND box = FilterBoxOf(document);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(::GetFocus(), box);
    EXPECT_EQ(ListOf(document), list) << "the list stays the window's first child";

    ::SetWindowTextW(box, L"doe^j");
    EXPECT_EQ(Tags(list), (std::vector<std::wstring>{L"(0040,A730)", L"(FFFE,E000)", L"(0040,A043)",
                                                     L"(FFFE,E000)", L"(0010,0010)"}));
    // Select All and Copy Rows take the rows shown.
    ::SetFocus(list);
    ::SendMessageW(document, WM_COMMAND, ID_EDIT_SELECT_ALL, 0);
    ::SendMessageW(document, WM_COMMAND, ID_EDIT_COPY_ROWS, 0);
    const std::wstring copied = copytest::ClipboardText();
    EXPECT_EQ(std::count(copied.begin(), copied.end(), L'\n'), 5) << copied;
    EXPECT_NE(copied.find(L"Doe^Jane"), std::wstring::npos);
    ::SetWindowTextW(box, L"(0008,");
    EXPECT_EQ(Tags(list), (std::vector<std::wstring>{L"(0008,0060)", L"(0040,A730)", L"(FFFE,E000)",
                                                     L"(0008,0100)"}));
    ::SendMessageW(box, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(TextOf(box), L"");
    EXPECT_EQ(ItemCount(list), rows);
    EXPECT_EQ(ReadCell(list, 3, 0).image, ReadCell(list, 2, 0).image + 1)
        << "row 3 still collapsed";
}

// From the filter box Down (or Tab, or Enter) goes to the list with the first
// match focused; the bar counts the matches; Escape in the list clears the filter
// and keeps the focused row; Ctrl+L in the box and View > Filter hide the bar.
TEST_F(BrowsePanes, FilterBoxKeysCountsAndHides) {
    const HWND document = OpenBytes(L"keys.dcm", nested_file("Doe^Jane"));
    const HWND list = ListOf(document);
    const UINT filter = ID_VIEW_FILTER;  // from the menu: HIWORD 0; Ctrl+L: 1
    ::SendMessageW(document, WM_COMMAND, filter, 0);
    const HWND box = FilterBoxOf(document);
    const HWND count = ::GetDlgItem(document, 0x7F03);
    ASSERT_TRUE(box && count);
    ::SetWindowTextW(box, L"doe^j");
    EXPECT_EQ(TextOf(count), L"1 of 14 rows");
    ::SendMessageW(box, WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(::GetFocus(), list);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 4);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 4);

    ::SendMessageW(list, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(TextOf(box) + TextOf(count), L"");
    EXPECT_EQ(ItemCount(list), 14);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 9)
        << "the name's row, where the user was";

    ::SetWindowTextW(box, L"no such text");
    EXPECT_EQ(TextOf(count), L"No rows match");
    ::SetFocus(box);
    ::SendMessageW(document, WM_COMMAND, MAKEWPARAM(filter, 1), 0);  // Ctrl+L, the box focused
    EXPECT_FALSE(::IsWindowVisible(box));
    EXPECT_EQ(::GetFocus(), list);
    ::SendMessageW(document, WM_COMMAND, filter, 0);
    EXPECT_TRUE(::IsWindowVisible(box));
    ::SendMessageW(document, WM_COMMAND, filter,
                   0);  // the menu's command hides it wherever the focus is
    EXPECT_FALSE(::IsWindowVisible(box));
}

// The list's tooltip control for its cells: the one whose tool is the list.
HWND CellTipsOf(HWND list) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    for (HWND tips = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tips;
         tips = ::FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr)) {
        if (::SendMessageW(tips, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)) &&
            tool.hwnd == list)
            return tips;
    }
    return nullptr;
}

// Resting the mouse on a cell cut by its column shows its whole text; a cell
// that fits has no tip.
TEST_F(BrowsePanes, ACutCellShowsItsWholeTextAsATip) {
    const std::string uid = "1.2.840.113619.2.55.3.604688119.969.1268071029.320.1234567890";
    dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    b.explicit_element(0x0008, 0x0060, "CS", "MR").explicit_element(0x0008, 0x0018, "UI", uid);
    const HWND list = ListOf(OpenBytes(L"tips.dcm", b.bytes()));
    const auto tipAt = [list](int row, int column) {
        RECT cell{};
        ListView_GetSubItemRect(list, row, column, LVIR_LABEL, &cell);
        ::SendMessageW(list, WM_MOUSEMOVE, 0,
                       MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
        const HWND tips = CellTipsOf(list);
        if (!tips) return std::wstring(L"(no tooltip control)");
        wchar_t text[256] = {};
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        ::SendMessageW(tips, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool));
        tool.lpszText = text;
        ::SendMessageW(tips, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
        return std::wstring(text);
    };
    EXPECT_EQ(tipAt(2, 4), std::wstring(uid.begin(), uid.end()));
    EXPECT_EQ(tipAt(1, 4), L"");
}

// The Interpret reading's cells are UTF-8: text outside the ANSI code page is found.
TEST_F(BrowsePanes, FilterFindsTextOutsideTheCodePageInInterpretCells) {
    dicom_builder b;
    b.preamble()
        .transfer_syntax(test::explicit_le_uid())
        .explicit_element(0x0008, 0x0005, "CS", "ISO_IR 192");
    b.explicit_element(0x0010, 0x0010, "PN", "\xCE\xB1\xCE\xB2^x ")
        .explicit_element(0x0010, 0x0020, "LO", "ab");
    const HWND document = OpenBytes(L"greek.dcm", b.bytes(), dcm_reading::interpret);
    ::SendMessageW(document, WM_COMMAND, ID_VIEW_FILTER, 0);
    ::SetWindowTextW(FilterBoxOf(document), L"\u03B1\u03B2");
    EXPECT_EQ(Tags(ListOf(document)), std::vector<std::wstring>{L"(0010,0010)"});
}

// Enter opens the inspector on the focused row; it follows the focus, and its
// lines are copied.
TEST_F(BrowsePanes, InspectorOpensWithEnterAndFollowsTheFocus) {
    const HWND document = OpenBytes(L"inspect.dcm", nested_file("Doe^Jane"));
    const HWND list = ListOf(document);
    EXPECT_EQ(InspectorOf(document), nullptr) << "no pane until one is asked for";
    ::SetFocus(list);
    ListView_SetItemState(list, 9, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    ::SendMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
    const HWND inspector = InspectorOf(document);
    ASSERT_TRUE(inspector && ::IsWindowVisible(inspector));
    EXPECT_EQ(Line(inspector, 0), L"Tag: (0010,0010)");
    EXPECT_EQ(Line(inspector, ItemCount(inspector) - 1), L"[0] Doe^Jane");
    ListView_SetItemState(list, 1, LVIS_FOCUSED, LVIS_FOCUSED);
    EXPECT_EQ(Line(inspector, 0), L"Tag: (0008,0060)");
    ::SetFocus(inspector);  // its lines are selected and copied as the list's rows are
    ::SendMessageW(document, WM_COMMAND, ID_EDIT_SELECT_ALL, 0);
    ::SendMessageW(document, WM_COMMAND, ID_EDIT_COPY_ROWS, 0);
    const std::wstring copied = copytest::ClipboardText();
    EXPECT_EQ(copied.rfind(L"Tag: (0008,0060)\r\n", 0), 0u) << copied;
    EXPECT_NE(copied.find(L"MR"), std::wstring::npos) << copied;
    ::SetFocus(list);
    ListView_SetItemState(list, -1, 0, LVIS_FOCUSED);
    EXPECT_EQ(Line(inspector, 0), L"no element");
    ::SendMessageW(document, WM_COMMAND, ID_VIEW_INSPECTOR, 0);
    EXPECT_FALSE(::IsWindowVisible(inspector));
    RECT dirty{}, client{};  // the list, grown over the inspector's place, is drawn whole
    ::GetUpdateRect(list, &dirty, FALSE);
    ::GetClientRect(list, &client);
    EXPECT_TRUE(::EqualRect(&dirty, &client));
}

// Compare With, given in one document with another open, offers that one in its
// menu; the window it opens lists the one changed value of the two files.
// Two frames of 2 x 2 values: Enter on the Pixel Data row shows frame 1 beside
// the hex lines; Page Down shows frame 2, a right-button drag widens the
// window, Home restores the file's (here the frame's extremes).
TEST_F(BrowsePanes, PixelDataShowsItsFramesAndWindow) {
    using test::le16;
    const std::string values =
        le16(0) + le16(100) + le16(200) + le16(300) + le16(7) + le16(5) + le16(6) + le16(7);
    dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    b.explicit_element(0x0028, 0x0002, "US", le16(1))
        .explicit_element(0x0028, 0x0004, "CS", "MONOCHROME2 ");
    b.explicit_element(0x0028, 0x0008, "IS", "2 ").explicit_element(0x0028, 0x0010, "US", le16(2));
    b.explicit_element(0x0028, 0x0011, "US", le16(2))
        .explicit_element(0x0028, 0x0100, "US", le16(16));
    b.explicit_element(0x0028, 0x0101, "US", le16(16))
        .explicit_element(0x0028, 0x0102, "US", le16(15));
    b.explicit_element(0x7FE0, 0x0010, "OW", values);
    // A status bar where the program's frame has it, for the pixel under the pointer.
    const HWND bar = ::CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0,
                                       0, m_frame.m_hWnd, reinterpret_cast<HMENU>(IDW_STATUS_BAR),
                                       nullptr, nullptr);
    const HWND document = OpenBytes(L"frames.dcm", b.bytes());
    const HWND list = ListOf(document);
    ::SendMessageW(list, WM_KEYDOWN, VK_END, 1);
    ::SendMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
    const HWND pane = ::GetDlgItem(document, 0x7F04);
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(::IsWindowVisible(pane));
    const std::wstring first = TextOf(pane);
    EXPECT_EQ(first.rfind(L"Frame 1 of 2   W 301  L 150.5", 0), 0u) << first;
    ::SendMessageW(pane, WM_KEYDOWN, VK_NEXT, 1);
    EXPECT_EQ(TextOf(pane).rfind(L"Frame 2 of 2", 0), 0u) << TextOf(pane);
    ::SendMessageW(pane, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    ::SendMessageW(pane, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(60, 10));
    ::SendMessageW(pane, WM_RBUTTONUP, 0, MAKELPARAM(60, 10));
    EXPECT_EQ(TextOf(pane).find(L"W 301 "), std::wstring::npos) << TextOf(pane);
    // No window in the file: View > Restore Window/Level gives the one from frame 2's own extremes,
    // 5 and 7.
    const UINT restore = MenuCommand(CChildFrame::Of(document)->m_hMenu, L"Restore Window/&Level");
    ASSERT_NE(restore, 0u);
    ::SendMessageW(document, WM_COMMAND, restore, 0);
    EXPECT_NE(TextOf(pane).find(L"W 3  L 6.5"), std::wstring::npos) << TextOf(pane);
    // The pointer a quarter into the 2 x 2 image, below the text line: its top left pixel in the
    // status bar.
    RECT area{};
    ::GetClientRect(pane, &area);
    const int side = std::min(int(area.right), int(area.bottom) - 18);
    const int x = (area.right - side) / 2 + side / 4,
              y = 18 + (area.bottom - 18 - side) / 2 + side / 4;
    ::SendMessageW(pane, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    EXPECT_EQ(::SendMessageW(bar, SB_GETPARTS, 0, 0), 7);
    EXPECT_EQ(StatusPane(bar, 6), L"Column 1, row 1: 7 (7)");
    ::SendMessageW(pane, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(::SendMessageW(bar, SB_GETPARTS, 0, 0), 6);
    // Another row hides it.
    ::SendMessageW(list, WM_KEYDOWN, VK_HOME, 1);
    EXPECT_FALSE(::IsWindowVisible(pane));
    ::DestroyWindow(bar);
}

TEST_F(BrowsePanes, ComparisonWithAnOpenDocumentListsTheDifferences) {
    const HWND second = OpenBytes(L"second.dcm", nested_file("Doe^Joan"));
    const HWND first = OpenBytes(L"first.dcm", nested_file("Doe^Jane"));
    ASSERT_TRUE(first && second);
    ::PostMessageW(first, WM_KEYDOWN, VK_DOWN, 0);  // the menu's first entry: second.dcm
    ::PostMessageW(first, WM_KEYDOWN, VK_RETURN, 0);
    ::SendMessageW(first, WM_COMMAND, ID_FILE_COMPARE, 0);
    const HWND compare = reinterpret_cast<HWND>(::SendMessageW(m_client, WM_MDIGETACTIVE, 0, 0));
    ASSERT_TRUE(compare && compare != first && compare != second);
    const HWND list = ListOf(compare);
    ASSERT_EQ(ItemCount(list), 1);
    std::vector<std::wstring> row;
    for (int column = 0; column < 8; ++column) row.push_back(ReadCell(list, 0, column).text);
    EXPECT_EQ(row, (std::vector<std::wstring>{
                       L"changed", L"(0040,A730)[1].(0040,A043)[0].(0010,0010)", L"PN",
                       L"Patient's Name", L"Doe^Jane", L"Doe^Joan", L"242", L"242"}));
}

}  // namespace velk
