// Every file of the bad-input catalogue, loaded from disk as the viewer loads it:
// the rows that did parse are listed, inside the file, with work and memory in
// proportion to the file, and expanding any container gives back the rows the
// load gave for it.
#include "catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <ostream>

#include "allocation_meter.h"
#include "check/check.h"
#include "load_support.h"
#include "parse/mapping.h"
#include "present/cell_text.h"
#include "present/row_model.h"

namespace velk {

namespace catalogue {
void PrintTo(const case_file& c, std::ostream* os) { *os << c.name; }
}  // namespace catalogue

namespace {

using catalogue::case_file;
using namespace catalogue_test;

class CatalogueFile : public ::testing::TestWithParam<case_file> {
protected:
    void SetUp() override {
        bytes = GetParam().make();
        path = test_file_path();
        ASSERT_TRUE(write_file(path, bytes));
    }
    void TearDown() override { std::remove(path.c_str()); }

    std::string bytes;
    std::string path;
};

TEST_P(CatalogueFile, ListsTheRowsThatParsed) {
    const loaded_file file = load_path(path);
    EXPECT_EQ(file.rows.size(), GetParam().rows);
    expect_rows_inside(file.rows, bytes.size());
    if (GetParam().extends_sound_file) {
        const std::string sound = catalogue::sound_file();
        const loaded_file before = load_bytes(sound.data(), sound.data() + sound.size());
        ASSERT_EQ(before.rows.size(), catalogue::sound_file_rows);
        ASSERT_GE(file.rows.size(), before.rows.size());
        EXPECT_TRUE(std::equal(before.rows.begin(), before.rows.end(), file.rows.begin()));
    }
}

// The cursors are the only thing a load keeps, 12 bytes for at least 8 bytes of
// file; a vector that doubles holds at most twice what it needs. Nothing may be
// sized by a length the file declares (a 2 GB text in a file of 300 bytes).
TEST_P(CatalogueFile, LoadAllocatesInProportionToTheFile) {
    allocation_meter::restart();
    const loaded_file file = load_path(path);
    const std::size_t largest = allocation_meter::largest();
    const std::size_t total = allocation_meter::total();
    EXPECT_LE(largest, 3 * bytes.size() + 4096);
    EXPECT_LE(total, 16 * bytes.size() + 65536);
}

TEST_P(CatalogueFile, ExpandGivesBackTheRowsOfTheLoad) {
    const loaded_file file = load_path(path);
    const dcm_file_mapping mapping(path.c_str());
    for (std::size_t i = 0; i < file.rows.size(); ++i) {
        const dcm_record& row = file.rows[i];
        if (!row.container) continue;
        const std::size_t end = nested_end(file, i);
        const std::vector<dcm_record> again =
            dcm_reparse_record(mapping.begin(), mapping.end(), row);
        ASSERT_EQ(again.size(), end - i) << "row " << i;
        ASSERT_TRUE(std::equal(again.begin(), again.end(), file.rows.begin() + i)) << "row " << i;
    }
}

// Where a file is cut: at every byte of a small file; for a larger one at the
// edges of each row's header, where a cut changes what can be read. Each cut
// costs a load, so the largest files are not cut.
std::vector<std::size_t> cut_points(const std::string& bytes, const std::vector<dcm_record>& rows) {
    constexpr std::size_t cut_everywhere = 2048;
    std::vector<std::size_t> cuts;
    if (bytes.size() <= cut_everywhere) {
        for (std::size_t cut = 0; cut <= bytes.size(); ++cut) cuts.push_back(cut);
    } else if (bytes.size() <= catalogue::seed_size_limit) {
        for (const dcm_record& row : rows) {
            for (std::size_t at : {0, 1, row.header_length - 1, row.header_length + 0}) {
                cuts.push_back(row.offset + at);
            }
        }
    }
    return cuts;
}

// Collapsing and expanding any container, as the list does on a click, gives
// back the rows of the load, however deep the nesting.
TEST_P(CatalogueFile, CollapseAndExpandRestoreTheRows) {
    dcm_row_model rows;
    rows.load_file(path.c_str());
    const std::vector<dcm_record> loaded = rows.records();
    const dcm_file_mapping mapping(path.c_str());
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        if (!loaded[i].container) continue;
        const std::size_t removed = rows.collapse(i);
        ASSERT_EQ(rows.expand(i, {mapping.begin(), mapping.end()}), removed) << "row " << i;
    }
    EXPECT_EQ(rows.records(), loaded);
    EXPECT_TRUE(rows.collapsed().empty());
}

// Every cell of every row is a terminated text that fits the list's buffer,
// made without the heap. The largest files are sampled at both ends.
TEST_P(CatalogueFile, EveryCellFitsItsBuffer) {
    constexpr std::size_t rows_at_each_end = 20000;
    const loaded_file file = load_path(path);
    const dcm_file_mapping mapping(path.c_str());
    char text[dcm_cell_capacity];
    allocation_meter::restart();
    for (std::size_t i = 0; i < file.rows.size(); ++i) {
        if (i == rows_at_each_end && file.rows.size() > 2 * rows_at_each_end) {
            i = file.rows.size() - rows_at_each_end;
        }
        for (int column = -1; column <= dcm_column_count; ++column) {
            const std::size_t n = dcm_cell_text(mapping.begin(), mapping.end(), file.rows[i],
                                                column, text, sizeof text);
            ASSERT_LT(n, sizeof text);
            ASSERT_EQ(std::strlen(text), n) << "row " << i << " column " << column;
        }
    }
    EXPECT_EQ(allocation_meter::total(), 0u);
}

// The check over every catalogue file, in both readings, from a heap copy of
// exactly the file's size (a read past it is the sanitizers' to catch): its
// findings lie inside the file, a few per row at most.
TEST_P(CatalogueFile, CheckStaysInsideTheFileAndIsBounded) {
    const std::unique_ptr<char[]> copy(new char[bytes.size()]);
    std::memcpy(copy.get(), bytes.data(), bytes.size());
    const dcm_bytes file{copy.get(), copy.get() + bytes.size()};
    for (const dcm_reading reading : {dcm_reading::standard, dcm_reading::interpret}) {
        dcm_row_model rows(reading);
        rows.load(file);
        const dcm_findings findings = dcm_check(rows, file);
        const dcm_bytes inflated_bytes = rows.reading().inflated();
        const std::size_t inflated = std::size_t(inflated_bytes.end - inflated_bytes.begin);
        for (const dcm_finding& f : findings.list)
            ASSERT_LE(f.offset, f.inflated ? inflated : bytes.size()) << findings.message(f);
        EXPECT_LE(findings.list.size(), 8 * rows.size() + 64);
    }
}

// A file cut short lists exactly the rows of the whole file whose headers lie
// before the cut: what parsed before the damage is kept, nothing after it is
// invented. Each cut is an exactly sized heap copy, so a read past it is caught.
TEST_P(CatalogueFile, EveryCutListsTheRowsBeforeIt) {
    const loaded_file whole = load_bytes(bytes.data(), bytes.data() + bytes.size());
    const std::vector<std::size_t> cuts = cut_points(bytes, whole.rows);
    if (cuts.empty()) GTEST_SKIP() << "too large to load once per cut";
    for (std::size_t cut : cuts) {
        const exact_copy copy(bytes, cut);
        const loaded_file part = load_bytes(copy.begin(), copy.end());
        std::vector<dcm_record> expected;
        if (cut >= dcm_stream_offset) {
            std::copy_if(whole.rows.begin(), whole.rows.end(), std::back_inserter(expected),
                         [cut](const dcm_record& c) {
                             return std::uint64_t(c.offset) + c.header_length <= cut;
                         });
        }
        ASSERT_EQ(part.rows, expected) << "cut at " << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, CatalogueFile, ::testing::ValuesIn(catalogue::all_cases()),
                         [](const ::testing::TestParamInfo<case_file>& info) {
                             return std::string(info.param.name);
                         });

// What a few damaged files show where it matters: the value that exists of a
// value declared past the end, text up to a NUL, numbers that are no numbers,
// and the sound element after the damage where the walk resumes.
struct shown_cell {
    const char* file;
    std::size_t row;
    int column;
    const char* text;
};

class CatalogueCell : public ::testing::TestWithParam<shown_cell> {};

TEST_P(CatalogueCell, ShowsWhatTheFileHolds) {
    const shown_cell& cell = GetParam();
    std::string bytes;
    for (const case_file& c : catalogue::all_cases()) {
        if (std::string(c.name) == cell.file) bytes = c.make();
    }
    const loaded_file file = load_bytes(bytes.data(), bytes.data() + bytes.size());
    ASSERT_LT(cell.row, file.rows.size());
    char text[dcm_cell_capacity];
    dcm_cell_text(bytes.data(), bytes.data() + bytes.size(), file.rows[cell.row], cell.column, text,
                  sizeof text);
    EXPECT_STREQ(text, cell.text);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, CatalogueCell,
    ::testing::Values(shown_cell{"text_2gb_declared", 7, dcm_column_size, "-2147483648"},
                      shown_cell{"text_2gb_declared", 7, dcm_column_data, "Image comments"},
                      shown_cell{"length_past_end", 7, dcm_column_data, "ID"},
                      shown_cell{"nul_bytes_in_text", 7, dcm_column_data, "ID"},
                      shown_cell{"nul_bytes_in_text", 8, dcm_column_data, ""},
                      shown_cell{"floats_nan_and_infinite", 7, dcm_column_data, "nan/inf/-inf/-0"},
                      shown_cell{"numbers_of_ragged_length", 7, dcm_column_data, "512"},
                      shown_cell{"numbers_of_ragged_length", 8, dcm_column_data, ""},
                      shown_cell{"delimiters_with_length", 12, dcm_column_data, "ID-7"},
                      shown_cell{"syntax_uid_nested", 13, dcm_column_vr, "LO"},
                      shown_cell{"vr_zero_bytes", 7, dcm_column_vr, ""},
                      shown_cell{"nested_100000_sequences", 264, dcm_column_data, "ID-7"}),
    [](const ::testing::TestParamInfo<shown_cell>& info) {
        return std::string(info.param.file) + "_row" + std::to_string(info.param.row) + "_column" +
               std::to_string(info.param.column);
    });

TEST(CatalogueNames, AreUniqueAndNameFiles) {
    std::vector<std::string> names;
    for (const case_file& c : catalogue::all_cases()) names.push_back(c.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
    for (const std::string& name : names) {
        EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_"),
                  std::string::npos)
            << name;
    }
}

}  // namespace

}  // namespace velk
