// Files larger than 4 GiB: a 5 GiB file of the shape whole-slide images take
// (five 1 GiB fragments of encapsulated pixel data, then the delimiter and the
// padding) lists whole in both readings, its offsets past 4 GiB in full, and a
// collapse and expand of the Pixel Data walks it again to the same rows. The
// file is sparse: its fragments are holes, so it costs no disk.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "catalogue.h"
#include "load_support.h"
#include "parse/mapping.h"
#include "present/cell_text.h"
#include "present/row_model.h"

namespace velk {

namespace {

using namespace catalogue_test;

constexpr std::uint64_t four_gib = std::uint64_t(1) << 32;
constexpr unsigned fragments = 5;
constexpr std::uint32_t one_gib = std::uint32_t(1) << 30;

class LargeFile : public ::testing::TestWithParam<dcm_reading> {
protected:
    void SetUp() override {
        path = test_file_path();
        if (!catalogue::write_sparse_pixel_file(path, fragments, one_gib))
            GTEST_SKIP() << "no sparse 5 GiB file could be made in " << ::testing::TempDir();
    }
    void TearDown() override { std::remove(path.c_str()); }
    std::string path;
};

std::string cell(const dcm_row_model& rows, dcm_bytes file, std::size_t row, int column) {
    char text[dcm_cell_capacity];
    rows.cell_text(file, row, column, text, sizeof text);
    return text;
}

TEST_P(LargeFile, FiveGibListsWholeAndExpandsAgain) {
    const dcm_file_mapping mapping(path.c_str());
    ASSERT_TRUE(mapping.is_open());
    const dcm_bytes file = dcm_bytes::of(mapping);
    dcm_row_model rows(GetParam());
    const dcm_walk_result walk = rows.load(file);
    EXPECT_TRUE(walk.complete()) << dcm_walk_status_text(walk.status) << " at " << walk.offset;
    ASSERT_EQ(rows.size(), catalogue::sparse_pixel_file_rows(fragments));
    expect_rows_inside(rows.records(), mapping.size());

    const std::uint64_t last = catalogue::sparse_pixel_file_last_offset(fragments, one_gib);
    ASSERT_GT(last, four_gib);
    const std::size_t padding = rows.size() - 1;
    EXPECT_EQ(rows.record(padding).offset, last);
    EXPECT_EQ(cell(rows, file, padding, dcm_column_tag), "(FFFC,FFFC)");
    EXPECT_EQ(cell(rows, file, padding, dcm_column_offset), std::to_string(last));
    EXPECT_EQ(cell(rows, file, padding - 1, dcm_column_tag), "(FFFE,E0DD)");

    // Pixel Data, folded and unfolded: its fragments are walked again from
    // their recorded offsets.
    std::size_t pixel_data = 0;
    while (cell(rows, file, pixel_data, dcm_column_tag) != "(7FE0,0010)") ++pixel_data;
    const std::size_t nested = rows.size() - pixel_data - 2;  // all but the padding
    EXPECT_EQ(rows.collapse(pixel_data), nested);
    EXPECT_EQ(rows.expand(pixel_data, file), nested);
    EXPECT_EQ(rows.record(padding).offset, last);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, LargeFile,
                         ::testing::Values(dcm_reading::standard, dcm_reading::interpret),
                         [](const ::testing::TestParamInfo<dcm_reading>& info) {
                             return std::string(info.param == dcm_reading::standard ? "standard"
                                                                                    : "interpret");
                         });

}  // namespace

}  // namespace velk
