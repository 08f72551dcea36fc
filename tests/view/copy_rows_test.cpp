// The Copy Rows text from a stand-in for the list: which rows, in which order,
// with which separators, indents, line ends and cuts.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <vector>

#include "view/copy_rows.h"

namespace {

using text16 = std::u16string;

struct fake_row {
    int depth;
    std::array<text16, 6> cells;
};

// Answers as the list does: selected rows ascending, the header's column count,
// and each cell cut to the caller's buffer with the row's depth as indent.
struct fake_list {
    std::vector<fake_row> rows;
    std::set<int> selected;
    int columns = 6;
    int column_questions = 0;

    int next_selected(int after) const {
        auto it = selected.upper_bound(after);
        return it == selected.end() ? -1 : *it;
    }
    int column_count() {
        ++column_questions;
        return columns;
    }
    int cell(int row, int column, char16_t* buffer, std::size_t capacity) const {
        const text16& text = rows[std::size_t(row)].cells[std::size_t(column)];
        const std::size_t n = std::min(text.size(), capacity - 1);
        text.copy(buffer, n);
        buffer[n] = u'\0';
        return rows[std::size_t(row)].depth;
    }
};

text16 copied(fake_list& list) {
    dcm_rows_text<char16_t> text;
    dcm_build_rows_text(list, text);
    return text.str();
}

fake_row modality() { return {0, {u"(0008,0060)", u"CS", u"2", u"Modality", u"MR", u"300"}}; }
fake_row referenced_uid() {
    return {1, {u"(0008,1150)", u"UI", u"26", u"Referenced SOP Class UID", u"1.2.840.10008.5.1.4.1.1.4", u"412"}};
}
fake_row numbered(int i) {
    const std::u16string n(1, char16_t(u'0' + i));
    return {0, {u"t" + n, u"v" + n, u"s" + n, u"d" + n, u"x" + n, u"o" + n}};
}

TEST(CopyRows, NestedRowGetsItsDepthBeforeEveryCellAndEveryLineEndsWithCrLf) {
    fake_list list{{modality(), referenced_uid()}, {0, 1}};
    EXPECT_EQ(copied(list),
              u"(0008,0060);CS;2;Modality;MR;300\r\n"
              u" (0008,1150); UI; 26; Referenced SOP Class UID; 1.2.840.10008.5.1.4.1.1.4; 412\r\n");
}

TEST(CopyRows, DepthTwoGivesTwoSpacesBeforeEachOfTheSixCells) {
    fake_row deep = numbered(1);
    deep.depth = 2;
    fake_list list{{deep}, {0}};
    EXPECT_EQ(copied(list), u"  t1;  v1;  s1;  d1;  x1;  o1\r\n");
}

TEST(CopyRows, RowsComeInAscendingOrderWhateverOrderTheyWereSelectedIn) {
    fake_list list;
    for (int i = 0; i < 7; ++i) list.rows.push_back(numbered(i));
    list.selected.insert(5);
    list.selected.insert(2);
    EXPECT_EQ(copied(list), u"t2;v2;s2;d2;x2;o2\r\nt5;v5;s5;d5;x5;o5\r\n");
}

TEST(CopyRows, NoSelectionGivesAnEmptyText) {
    fake_list list{{modality()}, {}};
    EXPECT_EQ(copied(list), u"");
}

TEST(CopyRows, EmptyDescriptionLeavesTwoSemicolonsInARow) {
    fake_row priv{0, {u"(0009,1001)", u"LO", u"4", u"", u"ABCD", u"500"}};
    fake_list list{{priv}, {0}};
    EXPECT_EQ(copied(list), u"(0009,1001);LO;4;;ABCD;500\r\n");
}

TEST(CopyRows, SemicolonInsideACellIsCopiedUnchanged) {
    fake_row r{0, {u"a;b", u"", u"", u"", u"", u""}};
    fake_list list{{r}, {0}};
    EXPECT_EQ(copied(list), u"a;b;;;;;\r\n");
}

TEST(CopyRows, LongDataCellIsCutAt259Characters) {
    fake_row r = modality();
    r.cells[4] = text16(1000, u'x');
    fake_list list{{r}, {0}};
    EXPECT_EQ(copied(list), u"(0008,0060);CS;2;Modality;" + text16(259, u'x') + u";300\r\n");
}

TEST(CopyRows, ColumnCountIsAskedBeforeEachCellAndFollowed) {
    fake_list list{{modality()}, {0}, 3};
    EXPECT_EQ(copied(list), u"(0008,0060);CS;2\r\n");
    EXPECT_EQ(list.column_questions, 4);  // before columns 0, 1, 2 and once to end
}

// A source that never moves on must not make the copy endless.
struct stuck_list : fake_list {
    int next_selected(int) const { return 0; }
};

TEST(CopyRows, ASelectionWalkThatDoesNotAdvanceEnds) {
    stuck_list list;
    list.rows.push_back(numbered(0));
    dcm_rows_text<char16_t> text;
    dcm_build_rows_text(list, text);
    EXPECT_EQ(text.str(), u"t0;v0;s0;d0;x0;o0\r\n");
}

// Rows of the buffer's filler: what lies past the first zero, or past 259
// characters of a filler that wrote no zero, never reaches the text.
struct cell_bound_case {
    const char* name;
    text16 buffer;
    std::size_t capacity;
    std::size_t expected;
};

class CellBound : public testing::TestWithParam<cell_bound_case> {};

TEST_P(CellBound, StopsAtTheFirstZeroOrTheCapacity) {
    const cell_bound_case& c = GetParam();
    EXPECT_EQ(dcm_rows_text<char16_t>::bounded_length(c.buffer.data(), c.capacity), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CellBound,
    testing::Values(cell_bound_case{"empty", text16(1, u'\0'), 260, 0},
                    cell_bound_case{"zero_inside", text16(u"ab\0cd", 5), 260, 2},
                    cell_bound_case{"no_zero_at_all", text16(260, u'y'), 260, 259},
                    cell_bound_case{"capacity_one", text16(u"abc"), 1, 0},
                    cell_bound_case{"capacity_zero", text16(u"abc"), 0, 0}),
    [](const testing::TestParamInfo<cell_bound_case>& info) { return std::string(info.param.name); });

TEST(CopyRows, ClearKeepsTheRoomForTheNextCopy) {
    dcm_rows_text<char16_t> text;
    const char16_t cell[] = u"0123456789";
    for (int i = 0; i < 1000; ++i) text.add_cell(i % 6, 0, cell, 260);
    const std::size_t room = text.str().capacity();
    text.clear();
    EXPECT_EQ(text.size(), 0u);
    EXPECT_EQ(text.str().capacity(), room);
}

}  // namespace
