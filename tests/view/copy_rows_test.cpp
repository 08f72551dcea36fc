// The Copy Rows text from a stand-in for the list: which rows, in which order,
// with which separators, indents, line ends and cuts.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <vector>

#include "view/copy_rows.h"

namespace velk {

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

template <class List>
text16 copied(List& list) {
    dcm_rows_text<char16_t> text;
    dcm_build_rows_text(list, text);
    return text.str();
}

fake_row row(int depth, text16 tag, text16 vr, text16 size, text16 description, text16 data, text16 offset) {
    return {depth, {tag, vr, size, description, data, offset}};
}

struct copy_case {
    const char* name;
    std::vector<fake_row> rows;
    std::set<int> selected;
    text16 expected;
};

class CopyRowsText : public testing::TestWithParam<copy_case> {};

TEST_P(CopyRowsText, IsTheSelectedRowsLineByLine) {
    copy_case c = GetParam();
    fake_list list{c.rows, c.selected};
    EXPECT_EQ(copied(list), c.expected);
}

const fake_row modality = row(0, u"(0008,0060)", u"CS", u"2", u"Modality", u"MR", u"300");
const fake_row nested_uid = row(1, u"(0008,1150)", u"UI", u"26", u"Referenced SOP Class UID", u"1.2.3", u"412");

INSTANTIATE_TEST_SUITE_P(
    Rows, CopyRowsText,
    testing::Values(
        copy_case{"depth_before_every_cell_and_crlf_after_every_line",
                  {modality, nested_uid},
                  {0, 1},
                  u"(0008,0060);CS;2;Modality;MR;300\r\n"
                  u" (0008,1150); UI; 26; Referenced SOP Class UID; 1.2.3; 412\r\n"},
        copy_case{"depth_two", {row(2, u"t", u"v", u"s", u"d", u"x", u"o")}, {0}, u"  t;  v;  s;  d;  x;  o\r\n"},
        copy_case{"ascending_whatever_the_order_of_selecting",
                  {row(0, u"a", u"", u"", u"", u"", u""), modality, row(0, u"b", u"", u"", u"", u"", u"")},
                  {2, 0},
                  u"a;;;;;\r\nb;;;;;\r\n"},
        copy_case{"no_selection_is_an_empty_text", {modality}, {}, u""},
        copy_case{"empty_description_leaves_two_semicolons",
                  {row(0, u"(0009,1001)", u"LO", u"4", u"", u"ABCD", u"500")},
                  {0},
                  u"(0009,1001);LO;4;;ABCD;500\r\n"},
        copy_case{"semicolon_inside_a_cell_unchanged", {row(0, u"a;b", u"", u"", u"", u"", u"")}, {0}, u"a;b;;;;;\r\n"},
        copy_case{"long_cell_cut_at_259",
                  {row(0, u"t", u"v", u"s", u"d", text16(1000, u'x'), u"o")},
                  {0},
                  u"t;v;s;d;" + text16(259, u'x') + u";o\r\n"}),
    [](const testing::TestParamInfo<copy_case>& info) { return std::string(info.param.name); });

TEST(CopyRows, ColumnCountIsAskedBeforeEachCellAndFollowed) {
    fake_list list{{modality}, {0}, 3};
    EXPECT_EQ(copied(list), u"(0008,0060);CS;2\r\n");
    EXPECT_EQ(list.column_questions, 4);  // before columns 0, 1, 2 and once to end
}

// A source that never moves on must not make the copy endless.
struct stuck_list : fake_list {
    int next_selected(int) const { return 0; }
};

TEST(CopyRows, ASelectionWalkThatDoesNotAdvanceEnds) {
    stuck_list list;
    list.rows.push_back(modality);
    EXPECT_EQ(copied(list), u"(0008,0060);CS;2;Modality;MR;300\r\n");
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

}  // namespace velk
