// Copy Rows and Find Next through the row model, on a file built here: which rows,
// in which order, with which indents, cuts, conversion and line ends; and what a
// search over the model's cells finds.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "dicom_builder.h"
#include "view/copy_rows.h"
#include "view/find.h"

namespace velk {

namespace {

using test::dicom_builder;

// Rows: 0..2 meta and plain elements, 3 a sequence, 4 its item, 5 nested in it,
// 6 the item's end, 7 the sequence's end, 8 a long text, 9 an OW of no bytes
// that ends the file.
std::string sample_file() {
    dicom_builder b;
    b.preamble()
        .explicit_element(0x0002, 0x0001, "OB", std::string("\x00\x01", 2))
        .explicit_element(0x0008, 0x0060, "CS", "MR")
        .explicit_element(0x0010, 0x0010, "PN", "Ren\xE9;\x80 ")
        .sequence(0x0008, 0x1140)
        .item()
        .explicit_element(0x0008, 0x1150, "UI", "1.2")
        .item_end()
        .sequence_end()
        .explicit_element(0x0020, 0x4000, "LT", std::string(300, 'x'))
        .explicit_element(0x7FE0, 0x0010, "OW", "");
    return b.bytes();
}

class RowsOfAFile : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(rows.load(file()).status, dcm_walk_status::complete); }

    dcm_bytes file() const { return {bytes.data(), bytes.data() + bytes.size()}; }
    std::string offset(std::size_t row) const { return std::to_string(rows.record(row).offset); }

    std::string copied(const std::set<int>& selected) const {
        dcm_text_buffer<char> text;
        const auto next = [&](int after) {
            const auto it = selected.upper_bound(after);
            return it == selected.end() ? -1 : *it;
        };
        dcm_copy_rows_text(rows, file(), next, dcm_cp1252_to_utf8(), text);
        return text.str();
    }

    dcm_find_result find(const char16_t* what, bool match_case, int mark) const {
        const dcm_cell_matcher<char16_t> matcher(what, match_case);
        dcm_row_find_source source(rows, file(), mark, utf16, [] { return std::uint32_t(0); });
        return dcm_find_next(source, matcher, true);
    }

    // Code page 1252 through UTF-8 back to UTF-16, enough for the bytes used here.
    struct to_utf16 {
        using unit = char16_t;
        static constexpr std::size_t units_per_byte = 1;
        char16_t* operator()(const char* text, std::size_t n, char16_t* out) const {
            for (std::size_t i = 0; i < n; ++i) {
                const auto b = static_cast<unsigned char>(text[i]);
                *out++ = b == 0x80 ? u'\u20AC' : char16_t(b);
            }
            return out;
        }
    } utf16;

    std::string bytes = sample_file();
    dcm_row_model rows;
};

TEST_F(RowsOfAFile, CopiesTheSelectedRowsAscendingWithIndentsCutsAndCrLf) {
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(copied({9, 5, 2}),
              "(0010,0010);PN;7;Patient's Name;Ren\xC3\xA9;\xE2\x82\xAC ;" + offset(2) + "\r\n" +
                  "  (0008,1150);  UI;  3;  Referenced SOP Class UID;  1.2;  " + offset(5) +
                  "\r\n(7FE0,0010);OW;0;Pixel Data;other word data;" + offset(9) + "\r\n");
    const std::string long_text = copied({8});
    EXPECT_NE(long_text.find(";" + std::string(259, 'x') + ";"), std::string::npos);
    EXPECT_EQ(copied({}), "");
}

TEST_F(RowsOfAFile, CopiesTheRowsShownAfterACollapse) {
    ASSERT_EQ(rows.collapse(3), 4u);
    EXPECT_EQ(copied({3, 4}).substr(0, 12), "(0008,1140);");
    EXPECT_NE(copied({4}).find("(0020,4000)"), std::string::npos);
}

TEST_F(RowsOfAFile, ASelectionThatDoesNotAdvanceOrLeavesTheRowsEnds) {
    dcm_text_buffer<char> text;
    dcm_copy_rows_text(
        rows, file(), [](int) { return 1; }, dcm_cp1252_to_utf8(), text);
    EXPECT_EQ(std::count(text.data(), text.data() + text.size(), '\n'), 1);
    dcm_copy_rows_text(
        rows, file(), [](int after) { return after + 9; }, dcm_cp1252_to_utf8(), text);
    EXPECT_EQ(std::count(text.data(), text.data() + text.size(), '\n'), 1);  // 8, not 17
}

TEST_F(RowsOfAFile, FindsInTheConvertedCellsFromTheMark) {
    EXPECT_EQ(find(u"\u20AC", true, -1).row, 2);      // a converted byte
    EXPECT_EQ(find(u"REN\u00C9", false, -1).outcome,  // only a to z fold
              dcm_find_result::kind::not_found);
    EXPECT_EQ(find(u"ren\u00E9", false, -1).row, 2);
    EXPECT_EQ(find(u"other word", false, 2).row, 9);  // the empty OW's text
    EXPECT_EQ(find(u"MR", true, 2).row, 1);           // wraps past the end
    EXPECT_EQ(find(u"nowhere", false, -1).outcome, dcm_find_result::kind::not_found);
}

}  // namespace

}  // namespace velk
