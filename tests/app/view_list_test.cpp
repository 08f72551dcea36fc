// The element list as a user sees it: columns, the six cell texts, images and
// indents read back through display requests, the row shading, clicks on
// container icons, and Refresh.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dicom_builder.h"
#include "view/velk_view.h"
#include "view_test_support.h"

namespace velk {

namespace {

using namespace viewtest;
using test::dicom_builder;

// A small explicit file whose rows the tests name. offsets[i] is row i's offset.
struct sample {
    std::string bytes;
    std::vector<std::size_t> offsets;
};

sample cells_file() {
    dicom_builder b;
    std::vector<std::size_t> at;
    b.preamble();
    at.push_back(b.size());
    b.explicit_element(0x0002, 0x0000, "UL", test::le32(196));
    at.push_back(b.size());
    b.transfer_syntax(test::explicit_le_uid());
    at.push_back(b.size());
    b.explicit_element(0x0008, 0x0060, "CS", "MR");
    at.push_back(b.size());
    b.explicit_element(0x0009, 0x1001, "LO", "priv");
    at.push_back(b.size());
    b.sequence(0x0008, 0x1140);
    at.push_back(b.size());
    b.item();
    at.push_back(b.size());
    b.explicit_element(0x0008, 0x1150, "UI", "1.23");
    at.push_back(b.size());
    b.item_end();
    at.push_back(b.size());
    b.sequence_end();
    at.push_back(b.size());
    b.sequence(0x0008, 0x1115, 0);
    at.push_back(b.size());
    b.explicit_element(0x0010, 0x0010, "PN", "Doe^");
    return {b.bytes(), at};
}

// Row 2 holds rows 3 to 5; row 10 is a container too.
std::string renumber_file() {
    dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());  // row 0
    b.explicit_element(0x0008, 0x0060, "CS", "MR");         // row 1
    b.sequence(0x0008, 0x1140, 8 + 12 + 12).item(24);       // rows 2, 3
    b.explicit_element(0x0008, 0x1150, "UI", "1.23");       // row 4
    b.explicit_element(0x0008, 0x1155, "UI", "1234");       // row 5
    for (std::uint16_t e = 0x20; e < 0x24; ++e)             // rows 6 to 9
        b.explicit_element(0x0008, e, "DA", "20240101");
    b.sequence(0x0040, 0xA730).item();                 // rows 10, 11
    b.explicit_element(0x0040, 0xA040, "CS", "TEXT");  // row 12
    b.item_end().sequence_end();                       // rows 13, 14
    b.explicit_element(0x0010, 0x0010, "PN", "Doe^");  // row 15
    return b.bytes();
}

std::wstring offset_text(const sample& s, int row) {
    return std::to_wstring(s.offsets[std::size_t(row)]);
}

class ListTest : public DocumentsTest {};

TEST_F(ListTest, SixColumnsWithTheirHeadersAlignmentAndWidths) {
    HWND list = ListOf(Open(RunFolder() + L"missing.dcm"));
    struct column {
        const wchar_t* header;
        int format;
        int width;
    };
    const column expected[] = {{L"Tag", LVCFMT_LEFT, 180},  {L"VR", LVCFMT_LEFT, 40},
                               {L"Size", LVCFMT_RIGHT, 60}, {L"Description", LVCFMT_LEFT, 200},
                               {L"Data", LVCFMT_LEFT, 200}, {L"Offset", LVCFMT_RIGHT, 120}};
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 6);
    for (int i = 0; i < 6; ++i) {
        wchar_t text[64] = {};
        LVCOLUMNW c{};
        c.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        c.pszText = text;
        c.cchTextMax = 64;
        ASSERT_TRUE(::SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&c))) << i;
        EXPECT_STREQ(text, expected[i].header);
        EXPECT_EQ(c.fmt & LVCFMT_JUSTIFYMASK, expected[i].format) << i;
        EXPECT_EQ(c.cx, expected[i].width) << i;
        EXPECT_EQ(c.iSubItem, i);
    }
}

struct row_case {
    const char* name;
    int row;
    std::vector<std::wstring> texts;  // without the offset
    int image;
    int indent;
};

void PrintTo(const row_case& c, std::ostream* os) { *os << c.name; }

class Cells : public DocumentsTest, public ::testing::WithParamInterface<row_case> {};

TEST_P(Cells, SixTextsImageAndIndentOfARow) {
    const sample s = cells_file();
    HWND list = ListOf(OpenBytes(L"cells.dcm", s.bytes));
    ASSERT_EQ(ItemCount(list), 11);
    const row_case& c = GetParam();
    std::vector<std::wstring> expected = c.texts;
    expected.push_back(offset_text(s, c.row));
    EXPECT_EQ(ReadRow(list, c.row), expected);
    const Cell first = ReadCell(list, c.row, 0);
    EXPECT_EQ(first.image, c.image);
    EXPECT_EQ(first.indent, c.indent);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Cells,
    ::testing::Values(
        row_case{"GroupLength",
                 0,
                 {L"(0002,0000)", L"UL", L"4", L"Group 0002 Length", L"196"},
                 0,
                 0},
        row_case{"Modality", 2, {L"(0008,0060)", L"CS", L"2", L"Modality", L"MR"}, 0, 0},
        row_case{"Private", 3, {L"(0009,1001)", L"LO", L"4", L"", L"priv"}, 0, 0},
        row_case{"Sequence",
                 4,
                 {L"(0008,1140)", L"SQ", L"-1", L"Referenced Image Sequence", L""},
                 1,
                 0},
        row_case{"Item", 5, {L"(FFFE,E000)", L"", L"-1", L"Item", L""}, 1, 1},
        row_case{"NestedElement",
                 6,
                 {L"(0008,1150)", L"UI", L"4", L"Referenced SOP Class UID", L"1.23"},
                 0,
                 2},
        row_case{"ItemDelimiter",
                 7,
                 {L"(FFFE,E00D)", L"", L"0", L"Item Delimitation Item", L""},
                 0,
                 2},
        row_case{"SequenceDelimiter",
                 8,
                 {L"(FFFE,E0DD)", L"", L"0", L"Sequence Delimitation Item", L""},
                 0,
                 1},
        row_case{"EmptySequence",
                 9,
                 {L"(0008,1115)", L"SQ", L"0", L"Referenced Series Sequence", L""},
                 0,
                 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ListTest, AFileWithoutMarkerOrThatIsMissingShowsHeadersAndNoRows) {
    std::string unmarked = cells_file().bytes;
    unmarked[128] = 'X';
    for (HWND document : {OpenBytes(L"unmarked.dcm", unmarked), Open(RunFolder() + L"absent.dcm"),
                          OpenBytes(L"empty.dcm", "")}) {
        HWND list = ListOf(document);
        EXPECT_EQ(ItemCount(list), 0);
        HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
        EXPECT_EQ(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 6);
    }
}

// ------------------------------------------------------------- expand, collapse

TEST_F(ListTest, AClickOnAContainerIconHidesItsRowsAndASecondBringsThemBack) {
    const sample s = cells_file();
    HWND list = ListOf(OpenBytes(L"toggle.dcm", s.bytes));
    const std::vector<std::wstring> loaded = ReadAll(list);

    ClickIcon(list, 4);
    EXPECT_EQ(ItemCount(list), 7);
    EXPECT_EQ(ReadCell(list, 4, 0).image, 2);
    EXPECT_EQ(ReadCell(list, 5, 0).text, L"(0008,1115)");  // the rows below moved up

    ClickIcon(list, 4);
    EXPECT_EQ(ReadAll(list), loaded);
}

TEST_F(ListTest, CollapsedRowsBelowARowAreRenumberedBothWays) {
    HWND list = ListOf(OpenBytes(L"renumber.dcm", renumber_file()));
    ASSERT_EQ(ItemCount(list), 16);
    ClickIcon(list, 10);
    ClickIcon(list, 2);
    EXPECT_EQ(ItemCount(list), 9);
    EXPECT_EQ(ReadCell(list, 7, 0).image, 2);
    EXPECT_EQ(ReadCell(list, 7, 0).text, L"(0040,A730)");

    ClickIcon(list, 2);
    EXPECT_EQ(ItemCount(list), 12);
    EXPECT_EQ(ReadCell(list, 2, 0).image, 1);
    EXPECT_EQ(ReadCell(list, 10, 0).image, 2);
    EXPECT_EQ(ReadCell(list, 10, 0).text, L"(0040,A730)");
}

struct click_case {
    const char* name;
    int row;
    bool on_icon;
    bool double_click;
    int rows_after;
};

void PrintTo(const click_case& c, std::ostream* os) { *os << c.name; }

class Clicks : public DocumentsTest, public ::testing::WithParamInterface<click_case> {};

TEST_P(Clicks, OnlyAPressOnAContainerIconToggles) {
    HWND list = ListOf(OpenBytes(L"clicks.dcm", cells_file().bytes));
    const click_case& c = GetParam();
    Click(list, c.on_icon ? IconPoint(list, c.row) : LabelPoint(list, c.row), c.double_click);
    EXPECT_EQ(ItemCount(list), c.rows_after);
    // Whatever else it does, the click selects the row it hit.
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMSTATE, c.row, LVIS_SELECTED), LVIS_SELECTED);
}

INSTANTIATE_TEST_SUITE_P(Where, Clicks,
                         ::testing::Values(click_case{"ContainerIcon", 4, true, false, 7},
                                           click_case{"ContainerText", 4, false, false, 11},
                                           click_case{"DoubleClickTogglesOnce", 4, true, true, 7},
                                           click_case{"PlainElementIcon", 2, true, false, 11},
                                           click_case{"EmptySequenceIcon", 9, true, false, 11}),
                         [](const auto& info) { return std::string(info.param.name); });

// Left and -, Right and + fold the focused container; Left on a nested row
// climbs to its container; other keys fold nothing.
TEST_F(ListTest, TheFoldingKeysActOnTheFocusedRow) {
    HWND list = ListOf(OpenBytes(L"keys.dcm", cells_file().bytes));
    auto focus = [list](int row) {
        LVITEMW state{};
        state.stateMask = state.state = LVIS_FOCUSED | LVIS_SELECTED;
        ::SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    };
    auto press = [list](UINT message, WPARAM key) {
        ::SendMessageW(list, message, key, 0);
        if (message == WM_KEYDOWN) ::SendMessageW(list, WM_KEYUP, key, 0);
        Pump();
    };
    focus(6);  // the element in the sequence's item
    press(WM_KEYDOWN, VK_LEFT);
    EXPECT_EQ(::SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED), 5);
    EXPECT_EQ(ItemCount(list), 11);

    focus(4);
    press(WM_KEYDOWN, VK_LEFT);
    EXPECT_EQ(ItemCount(list), 7);
    press(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(ItemCount(list), 11);
    press(WM_CHAR, L'-');
    EXPECT_EQ(ItemCount(list), 7);
    press(WM_CHAR, L'+');
    EXPECT_EQ(ItemCount(list), 11);
    for (WPARAM key : {VK_RETURN, VK_SPACE, VK_SUBTRACT}) press(WM_KEYDOWN, key);
    EXPECT_EQ(ItemCount(list), 11);
}

// ---------------------------------------------------------------------- shading

TEST(RowShading, EachColourByteTimesPointNineEightTruncated) {
    EXPECT_EQ(ShadedRowColour(RGB(255, 255, 255)), RGB(249, 249, 249));
    EXPECT_EQ(ShadedRowColour(RGB(240, 128, 0)), RGB(235, 125, 0));
    EXPECT_EQ(ShadedRowColour(RGB(1, 50, 100)), RGB(0, 49, 98));
    EXPECT_EQ(ShadedRowColour(0x12FFFFFF) >> 24, 0u);  // the top byte is 0
}

TEST_F(ListTest, OddRowsAreDrawnOnTheShadedWindowColour) {
    HWND document = OpenBytes(L"shading.dcm", cells_file().bytes);
    HWND list = ListOf(document);
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    // As the list sends it to its parent, which reflects it back to the list.
    auto draw = [&](DWORD stage, DWORD_PTR row, COLORREF& background) {
        NMLVCUSTOMDRAW nm{};
        nm.nmcd.hdr.hwndFrom = list;
        nm.nmcd.hdr.idFrom = 0;
        nm.nmcd.hdr.code = NM_CUSTOMDRAW;
        nm.nmcd.dwDrawStage = stage;
        nm.nmcd.dwItemSpec = row;
        nm.clrTextBk = background = CLR_DEFAULT;
        nm.clrText = CLR_DEFAULT;
        const LRESULT answer =
            ::SendMessageW(document, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
        background = nm.clrTextBk;
        EXPECT_EQ(nm.clrText, COLORREF(CLR_DEFAULT));
        return answer;
    };
    COLORREF background = 0;
    // Item by item, and told the end of the paint (the file is mapped in between).
    EXPECT_EQ(draw(CDDS_PREPAINT, 0, background), CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT);
    // Rows 0 and 1 hold elements the check finds errors in: marked, and shaded
    // alike on the odd row; row 6 holds none.
    EXPECT_EQ(draw(CDDS_ITEMPREPAINT, 0, background), CDRF_NEWFONT);
    EXPECT_EQ(background, kErrorRowColour);
    EXPECT_EQ(draw(CDDS_ITEMPREPAINT, 1, background), CDRF_NEWFONT);
    EXPECT_EQ(background, ShadedRowColour(kErrorRowColour));
    EXPECT_EQ(draw(CDDS_ITEMPREPAINT, 6, background), CDRF_NEWFONT);
    EXPECT_EQ(background, window);
    EXPECT_EQ(draw(CDDS_ITEMPREPAINT, 7, background), CDRF_NEWFONT);
    EXPECT_EQ(background, ShadedRowColour(window));
    EXPECT_EQ(draw(CDDS_ITEMPOSTPAINT, 1, background), CDRF_DODEFAULT);
    EXPECT_EQ(draw(CDDS_POSTPAINT, 0, background), CDRF_DODEFAULT);
}

// ---------------------------------------------------------------------- refresh

TEST_F(ListTest, RefreshBringsEveryRowBackWithNothingSelectedAtTheTop) {
    dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    b.sequence(0x0040, 0xA730).item().explicit_element(0x0040, 0xA040, "CS", "TEXT");
    b.item_end().sequence_end();
    for (int i = 0; i < 200; ++i) b.explicit_element(0x0040, 0xA160, "LT", "row");
    HWND document = OpenBytes(L"refresh.dcm", b.bytes());
    HWND list = ListOf(document);
    const std::vector<std::wstring> loaded = ReadAll(list);
    ClickIcon(list, 2);
    ClickIcon(list, 1);
    Click(list, LabelPoint(list, 0));
    ::SendMessageW(list, LVM_ENSUREVISIBLE, ItemCount(list) - 1, FALSE);
    ASSERT_GT(::SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 0);
    ASSERT_EQ(::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);

    ::SendMessageW(document, WM_COMMAND, kRefreshCommand, 0);
    Pump();
    EXPECT_EQ(ReadAll(list), loaded);
    EXPECT_EQ(::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
    EXPECT_EQ(::SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 0);
}

}  // namespace

}  // namespace velk
