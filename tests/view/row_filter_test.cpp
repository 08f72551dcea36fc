// The filter over a document's rows, through the cells the list shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dicom_builder.h"
#include "present/row_model.h"
#include "view/row_filter.h"

namespace velk {

namespace {

using test::dicom_builder;

struct filtered_file {
    explicit filtered_file(std::string b) : bytes(std::move(b)) { rows.load(file()); }
    std::vector<std::uint32_t> apply(const std::string& pattern, bool match_case = false) {
        const auto cells = [&](std::size_t row, int column, char* out, std::size_t capacity) {
            return rows.cell_text(file(), row, column, out, capacity);
        };
        filter.apply(rows.records(), dcm_column_count, cells, pattern, match_case);
        return filter.shown();
    }
    dcm_bytes file() const { return {bytes.data(), bytes.data() + bytes.size()}; }
    std::string bytes;
    dcm_row_model rows;
    dcm_row_filter filter;
};

std::string nested_file() {
    dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());                     // row 0
    b.explicit_element(0x0010, 0x0010, "PN", "Doe^Jane");                      // 1
    b.sequence(0x0040, 0xA730);                                                // 2
    b.item().explicit_element(0x0008, 0x0100, "SH", "T-A0100 ").item_end();    // 3 4 5
    b.item().sequence(0x0040, 0xA043);                                         // 6 7
    b.item().explicit_element(0x0008, 0x0104, "LO", "jane's doe").item_end();  // 8 9 10
    b.sequence_end().item_end();                                               // 11 12
    b.sequence_end();                                                          // 13
    b.explicit_header(0x7FE0, 0x0010, "OB", 2).raw("\x01\x02");                // 14
    return b.bytes();
}

}  // namespace

// A match deep in nested items comes with its item, sequence, item and sequence
// rows; the text is folded as Find folds it, tags are found as the Tag cell
// writes them, and nothing but the matches and their containers is shown.
TEST(RowFilter, MatchesWithTheirContainersFoldedAsFindFolds) {
    filtered_file f(nested_file());
    ASSERT_EQ(f.rows.size(), 15u);
    EXPECT_EQ(f.apply("JANE'S"), (std::vector<std::uint32_t>{2, 6, 7, 8, 9}));
    EXPECT_EQ(f.filter.matches(), (std::vector<std::uint32_t>{9}));
    EXPECT_EQ(f.apply("JANE'S", true), (std::vector<std::uint32_t>{}));
    EXPECT_EQ(f.apply("jane"), (std::vector<std::uint32_t>{1, 2, 6, 7, 8, 9}));
    EXPECT_EQ(f.apply("(0010,"), (std::vector<std::uint32_t>{1}));
    EXPECT_EQ(f.apply("7fe0"), (std::vector<std::uint32_t>{14}));
    EXPECT_EQ(f.apply("\xe9"), (std::vector<std::uint32_t>{}));  // accented letters compare exactly
}

// Typing on narrows the previous matches; the answer is the one a fresh filter
// gives, also after the text is shortened again or the rows changed.
TEST(RowFilter, NarrowingGivesWhatAFreshFilterGives) {
    filtered_file f(nested_file());
    const std::vector<std::string> typed = {"0",   "00", "000", "0008", "0008,",
                                            "000", "",   "E",   "Ea",   "Ite"};
    for (const std::string& text : typed) {
        const std::vector<std::uint32_t> narrowed = f.apply(text);
        filtered_file fresh(nested_file());
        EXPECT_EQ(narrowed, fresh.apply(text)) << text;
    }
    f.apply("T-A");
    f.rows.collapse(2);
    f.filter.reset();
    EXPECT_EQ(f.apply("T-A0"), (std::vector<std::uint32_t>{}));
}

}  // namespace velk
