// Find Next from a stand-in for the list: the order rows are looked at in, the
// a-to-z-only case folding, what counts as a match, and the time limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "view/find.h"

namespace velk {

namespace {

using text16 = std::u16string;

std::vector<int> order_of(int rows, int mark, bool down) {
    const dcm_find_order order(rows, mark, down);
    std::vector<int> seen;
    for (int i = 0; i < order.count(); ++i) seen.push_back(order.row(i));
    return seen;
}

struct order_case {
    const char* name;
    int rows;
    int mark;
    bool down;
    std::vector<int> expected;
};

class FindOrder : public testing::TestWithParam<order_case> {};

TEST_P(FindOrder, LooksAtEveryRowOnceWithTheMarkLast) {
    const order_case& c = GetParam();
    EXPECT_EQ(order_of(c.rows, c.mark, c.down), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FindOrder,
    testing::Values(order_case{"down_from_mark_3", 10, 3, true, {4, 5, 6, 7, 8, 9, 0, 1, 2, 3}},
                    order_case{"up_from_mark_3", 10, 3, false, {2, 1, 0, 9, 8, 7, 6, 5, 4, 3}},
                    order_case{"up_without_mark", 10, -1, false, {0, 9, 8, 7, 6, 5, 4, 3, 2, 1}},
                    order_case{"down_without_mark", 4, -1, true, {0, 1, 2, 3}},
                    order_case{"down_from_last_row", 4, 3, true, {0, 1, 2, 3}},
                    order_case{"up_from_row_0", 4, 0, false, {3, 2, 1, 0}},
                    order_case{"single_row_marked", 1, 0, true, {0}},
                    order_case{"mark_past_the_end", 3, 7, true, {2, 0, 1}},
                    order_case{"empty_list", 0, -1, true, {}},
                    order_case{"empty_list_with_stale_mark", 0, 4, false, {}}),
    [](const testing::TestParamInfo<order_case>& info) { return std::string(info.param.name); });

struct match_case {
    const char* name;
    text16 pattern;
    bool match_case;
    text16 cell;
    bool expected;
};

class CellMatch : public testing::TestWithParam<match_case> {};

TEST_P(CellMatch, FoldsOnlyAToZ) {
    const match_case& c = GetParam();
    const dcm_cell_matcher<char16_t> matcher(c.pattern.c_str(), c.match_case);
    EXPECT_EQ(matcher.matches(c.cell.data(), c.cell.size()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, CellMatch,
    testing::Values(match_case{"lower_finds_title_case", u"modality", false, u"Modality", true},
                    match_case{"match_case_refuses_other_case", u"modality", true, u"Modality",
                               false},
                    match_case{"match_case_exact", u"Modality", true, u"Modality", true},
                    match_case{"upper_pattern_finds_lower_cell", u"MR", false, u"mr", true},
                    match_case{"substring_in_the_middle", u"0010", false, u"(0010,0010)", true},
                    match_case{"whole_tag", u"(0010,0010)", false, u"(0010,0010)", true},
                    match_case{"longer_than_cell", u"Modality!", false, u"Modality", false},
                    match_case{"e_acute_not_folded", u"\u00e9", false, u"\u00c9", false},
                    match_case{"e_acute_exact", u"\u00e9", false, u"caf\u00e9", true},
                    match_case{"sharp_s_not_folded", u"\u00df", false, u"SS", false},
                    match_case{"brackets_not_letters", u"[", false, u"{", false},
                    match_case{"at_sign_not_folded", u"@", false, u"`", false},
                    match_case{"empty_pattern_matches_anything", u"", false, u"x", true}),
    [](const testing::TestParamInfo<match_case>& info) { return std::string(info.param.name); });

TEST(CellMatch, PatternIsCutAt259Characters) {
    const text16 long_pattern = text16(259, u'a') + u"TAIL";
    const dcm_cell_matcher<char16_t> matcher(long_pattern.c_str(), false);
    const text16 cell(259, u'A');
    EXPECT_TRUE(matcher.matches(cell.data(), cell.size()));
}

TEST(CellMatch, OnlyTheFirst259CharactersOfACellAreSearched) {
    const dcm_cell_matcher<char16_t> matcher(u"needle", true);
    text16 cell(259, u'.');
    cell += u"needle";
    EXPECT_FALSE(matcher.matches(cell.data(), cell.size()));
}

// A list of rows with six cells each, a selection mark, and a clock that moves
// by a fixed step every time it is read.
struct fake_list {
    std::vector<std::array<text16, 6>> rows;
    int mark = -1;
    std::uint32_t now = 0;
    std::uint32_t tick_step = 0;
    std::vector<int> rows_read;

    std::uint32_t ticks() {
        const std::uint32_t t = now;
        now += tick_step;
        return t;
    }
    int row_count() const { return int(rows.size()); }
    int column_count() const { return 6; }
    int selection_mark() const { return mark; }
    std::size_t cell(int row, int column, char16_t* buffer, std::size_t capacity) {
        if (column == 0) rows_read.push_back(row);
        const text16& text = rows[std::size_t(row)][std::size_t(column)];
        const std::size_t n = std::min(text.size(), capacity - 1);
        text.copy(buffer, n);
        buffer[n] = u'\0';
        return n;
    }
};

std::array<text16, 6> row_of(const text16& tag, const text16& description) {
    return {tag, u"CS", u"2", description, u"", u"300"};
}

fake_list ten_rows() {
    fake_list list;
    for (int i = 0; i < 10; ++i)
        list.rows.push_back(row_of(u"(0008,00" + text16(1, char16_t(u'0' + i)) + u"0)", u""));
    return list;
}

dcm_find_result find(fake_list& list, const text16& what, bool down = true,
                     bool match_case = false) {
    const dcm_cell_matcher<char16_t> matcher(what.c_str(), match_case);
    return dcm_find_next(list, matcher, down);
}

TEST(FindNext, FindsTheDescriptionOfTheMatchingRow) {
    fake_list list = ten_rows();
    list.rows[6][3] = u"Modality";
    const dcm_find_result found = find(list, u"modality");
    EXPECT_EQ(found.outcome, dcm_find_result::kind::found);
    EXPECT_EQ(found.row, 6);
    EXPECT_EQ(find(list, u"modality", true, true).outcome, dcm_find_result::kind::not_found);
}

TEST(FindNext, ASingleMatchIsFoundAgainFromItsOwnMark) {
    fake_list list = ten_rows();
    list.rows[4][3] = u"Modality";
    for (int press = 0; press < 3; ++press) {
        const dcm_find_result found = find(list, u"MODALITY");
        ASSERT_EQ(found.row, 4);
        list.mark = found.row;
    }
    EXPECT_EQ(list.rows_read.back(), 4);  // it came last, after every other row
    EXPECT_EQ(list.rows_read.size(), 5u + 10u + 10u);
}

TEST(FindNext, WrapsToTheFirstMatchAfterTheLast) {
    fake_list list = ten_rows();
    list.rows[2][3] = u"Patient Name";
    list.rows[8][3] = u"Patient ID";
    list.mark = 2;
    EXPECT_EQ(find(list, u"patient").row, 8);
    list.mark = 8;
    EXPECT_EQ(find(list, u"patient").row, 2);
    EXPECT_EQ(find(list, u"patient", false).row, 2);
}

TEST(FindNext, UpwardWithoutMarkLooksAtRow0ThenTheLastRow) {
    fake_list list = ten_rows();
    list.rows[0][3] = u"x";
    list.rows[9][3] = u"x";
    EXPECT_EQ(find(list, u"x", false).row, 0);
    list.rows[0][3] = u"";
    EXPECT_EQ(find(list, u"x", false).row, 9);
    EXPECT_EQ(list.rows_read, (std::vector<int>{0, 0, 9}));
}

TEST(FindNext, EmptyListFindsNothingAndReadsNoCell) {
    fake_list list;
    list.mark = 3;
    EXPECT_EQ(find(list, u"x").outcome, dcm_find_result::kind::not_found);
    EXPECT_TRUE(list.rows_read.empty());
}

TEST(FindNext, NothingFoundLooksAtEveryRowOnce) {
    fake_list list = ten_rows();
    list.mark = 5;
    EXPECT_EQ(find(list, u"absent").outcome, dcm_find_result::kind::not_found);
    EXPECT_EQ(list.rows_read, (std::vector<int>{6, 7, 8, 9, 0, 1, 2, 3, 4, 5}));
}

TEST(FindNext, GivesUpOnceMoreThanFiveSecondsHavePassedWithoutAMatch) {
    fake_list list = ten_rows();
    list.rows[9][3] = u"late";
    list.tick_step = 1000;  // t0 = 0, then 1000 after row 0, ... 6000 after row 5
    const dcm_find_result result = find(list, u"late");
    EXPECT_EQ(result.outcome, dcm_find_result::kind::timed_out);
    EXPECT_EQ(list.rows_read.size(), 6u);
}

TEST(FindNext, ExactlyFiveSecondsIsStillWithinTheLimit) {
    fake_list list = ten_rows();
    list.rows[5][3] = u"late";
    list.tick_step = 1000;  // the clock reads 5000 after row 4: not yet over
    EXPECT_EQ(find(list, u"late").row, 5);
}

TEST(FindNext, TheClockMayWrapDuringASearch) {
    fake_list list = ten_rows();
    list.rows[3][3] = u"soon";
    list.now = 0xFFFFFF00u;  // wraps to small values after the first reading
    list.tick_step = 0x100;
    EXPECT_EQ(find(list, u"soon").row, 3);
}

TEST(FindNext, AMatchInAnyColumnEndsTheLookAtTheRow) {
    fake_list list = ten_rows();
    list.rows[7][5] = u"1234";
    EXPECT_EQ(find(list, u"234").row, 7);
    EXPECT_EQ(find(list, u"(0008,0070)").row, 7);
}

}  // namespace

}  // namespace velk
