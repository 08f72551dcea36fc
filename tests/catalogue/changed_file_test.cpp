// A document holds only the path and its rows; every cell, expand and refresh
// maps the file again. Between the load and those requests the file may shrink,
// vanish or be replaced by another. Then nothing outside the new bytes is read,
// the rows stay consistent, an expand inserts only rows inside the new file, and
// a refresh lists the new file.
#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "allocation_meter.h"
#include "catalogue.h"
#include "load_support.h"
#include "parse/mapping.h"
#include "present/cell_text.h"
#include "present/row_model.h"

namespace velk {

namespace {

using namespace catalogue_test;

const catalogue::case_file& find_case(const std::string& name) {
    for (const catalogue::case_file& c : catalogue::all_cases()) {
        if (name == c.name) return c;
    }
    throw std::invalid_argument("no catalogue case " + name);
}

// Collapsed rows are containers in the list.
void expect_consistent(const dcm_row_model& rows) {
    for (int r : rows.collapsed()) {
        ASSERT_LT(std::size_t(r), rows.size());
        EXPECT_TRUE(rows.records()[std::size_t(r)].container) << "row " << r;
    }
}

class ChangedFile : public ::testing::Test {
protected:
    void SetUp() override {
        original = find_case("sound_sequences").make();
        path = test_file_path();
        ASSERT_TRUE(write_file(path, original));
        rows.load_file(path.c_str());
        ASSERT_EQ(rows.size(), find_case("sound_sequences").rows);
    }
    void TearDown() override { std::remove(path.c_str()); }

    // What the list asks of the file as it is now: every cell of every row, then
    // a collapse and an expand of every container. Answers the rows inserted.
    std::size_t use_every_row() {
        const dcm_file_mapping now(path.c_str());
        char text[dcm_cell_capacity];
        allocation_meter::restart();
        for (const dcm_record& row : rows.records()) {
            for (int column = 0; column < dcm_column_count; ++column) {
                const std::size_t n =
                    dcm_cell_text(now.begin(), now.end(), row, column, text, sizeof text);
                EXPECT_EQ(std::strlen(text), n);
            }
        }
        EXPECT_EQ(allocation_meter::total(), 0u) << "a cell's text needs no heap";
        std::size_t inserted = 0;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (!rows.records()[i].container) continue;
            rows.collapse(i);
            const std::size_t n = rows.expand(i, {now.begin(), now.end()});
            const std::vector<dcm_record> added(rows.records().begin() + std::ptrdiff_t(i) + 1,
                                                rows.records().begin() + std::ptrdiff_t(i + n) + 1);
            expect_rows_inside(added, now.size());
            inserted += n;
        }
        expect_consistent(rows);
        return inserted;
    }

    std::string original;
    std::string path;
    dcm_row_model rows;
};

TEST_F(ChangedFile, UnchangedFileExpandsToTheSameRows) {
    const std::vector<dcm_record> before = rows.records();
    // Nested rows come back once for each container they are nested in: 3 + 2
    // for the defined-length sequence and its item, 7 + 2 + 2 for the other.
    EXPECT_EQ(use_every_row(), 16u);
    EXPECT_EQ(rows.records(), before);
}

TEST_F(ChangedFile, ShrunkFileExpandsOnlyWhatIsLeft) {
    for (std::size_t size : {original.size() - 1, original.size() - 9, original.size() / 2,
                             std::size_t(200), std::size_t(132), std::size_t(1)}) {
        rows.load_file(path.c_str());
        ASSERT_TRUE(write_file(path, original.substr(0, size)));
        use_every_row();
        rows.load_file(path.c_str());  // refresh
        expect_rows_inside(rows.records(), size);
        EXPECT_LT(rows.size(), find_case("sound_sequences").rows) << size;
        ASSERT_TRUE(write_file(path, original));
    }
}

TEST_F(ChangedFile, ShrinkingInsideAContainerCutsItsExpand) {
    // The undefined-length sequence loses its delimiter: expanded again, it
    // ends at the end of the file with the rows that are left.
    ASSERT_TRUE(write_file(path, original.substr(0, original.size() - 12 - 8)));
    const dcm_file_mapping now(path.c_str());
    const std::size_t sequence = 11;  // (0040,0275), after 7 rows and a 4-row sequence
    ASSERT_EQ(rows.records()[sequence].length, undefined_length);
    EXPECT_EQ(rows.collapse(sequence), 7u);
    EXPECT_EQ(rows.expand(sequence, {now.begin(), now.end()}), 6u);  // two items of three rows
    expect_consistent(rows);
}

TEST_F(ChangedFile, VanishedFileShowsEmptyCellsExpandsNothingAndRefreshesEmpty) {
    std::remove(path.c_str());
    EXPECT_EQ(use_every_row(), 0u);
    EXPECT_TRUE(rows.collapsed().empty());
    rows.load_file(path.c_str());
    EXPECT_EQ(rows.size(), 0u);
}

TEST_F(ChangedFile, ReplacedFileExpandsNothingThatIsNotThere) {
    // Other catalogue files, of other sizes and shapes; then one of the same size
    // that holds no element at all.
    for (const char* name : {"nested_16_sequences", "fragment_of_undefined_length",
                             "sound_implicit", "marker_misspelt", "empty"}) {
        const catalogue::case_file& replacement = find_case(name);
        rows.load_file(path.c_str());
        ASSERT_TRUE(write_file(path, replacement.make()));
        use_every_row();
        rows.load_file(path.c_str());  // refresh
        EXPECT_EQ(rows.size(), replacement.rows) << name;
        ASSERT_TRUE(write_file(path, original));
    }
    rows.load_file(path.c_str());
    ASSERT_TRUE(write_file(path, std::string(original.size(), '\xFF')));
    EXPECT_EQ(use_every_row(), 0u);
}

}  // namespace

}  // namespace velk
