// Files larger than 4 GiB. Offsets are 32-bit, so a walk ends where a 32-bit
// offset ends: an element whose header reaches past that point is not listed,
// one whose header fits is, and no offset wraps around to the file's start. The
// files are sparse: a sound file, an OB value of almost 4 GiB of holes, and the
// element under test written at its offset.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "catalogue.h"
#include "dicom_builder.h"
#include "load_support.h"
#include "parse/mapping.h"
#include "present/cell_text.h"

namespace velk {

namespace {

using test::dicom_builder;
using namespace catalogue_test;

constexpr std::uint64_t four_gib = std::uint64_t(1) << 32;

struct element_near_4gib {
    const char* name;
    std::uint64_t offset;  // where the element under test starts
    std::string element;   // its bytes
    bool listed;
};

void PrintTo(const element_near_4gib& e, std::ostream* os) { *os << e.name; }

std::string empty_patient_id() {
    return dicom_builder().explicit_header(0x0010, 0x0020, "LO", 0).bytes();
}

std::string comments_of_100_bytes() {
    return dicom_builder().explicit_element(0x0020, 0x4000, "UT", std::string(100, 'x')).bytes();
}

// Writes the sparse file; false when the file system cannot hold it.
bool write_sparse(const std::string& path, const element_near_4gib& e) {
    const std::string sound = catalogue::sound_file();
    const std::uint64_t value_at = sound.size() + 12;
    const std::string ob =
        dicom_builder()
            .explicit_header(0x7FE0, 0x0010, "OB", std::uint32_t(e.offset - value_at))
            .bytes();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << sound << ob;
        out.seekp(std::streamoff(e.offset));
        out << e.element;
        if (!out) return false;
    }
    const std::uint64_t size = std::max<std::uint64_t>(e.offset + e.element.size(), four_gib + 64);
    std::error_code error;
    std::filesystem::resize_file(path, size, error);
    return !error;
}

class LargeFile : public ::testing::TestWithParam<element_near_4gib> {
protected:
    void SetUp() override {
        path = test_file_path();
        if (!write_sparse(path, GetParam())) GTEST_SKIP() << "no room for a sparse 4 GiB file";
    }
    void TearDown() override { std::remove(path.c_str()); }
    std::string path;
};

TEST_P(LargeFile, ListsOnlyWhatA32BitOffsetReaches) {
    const loaded_file file = load_path(path);
    const std::size_t sound_rows = catalogue::sound_file_rows;
    ASSERT_EQ(file.rows.size(), sound_rows + 1 + (GetParam().listed ? 1 : 0));
    expect_rows_inside(file.rows, four_gib - 1);
    EXPECT_EQ(file.rows[sound_rows].length,
              GetParam().offset - catalogue::sound_file().size() - 12);
    if (!GetParam().listed) return;

    const dcm_record& last = file.rows.back();
    EXPECT_EQ(last.offset, GetParam().offset);
    const dcm_file_mapping mapping(path.c_str());
    char text[dcm_cell_capacity];
    dcm_cell_text(mapping.begin(), mapping.end(), last, dcm_column_offset, text, sizeof text);
    EXPECT_EQ(std::string(text), std::to_string(GetParam().offset));
    // The value lies in the file, if past the walk's end: the cell shows all of it.
    const std::size_t n =
        dcm_cell_text(mapping.begin(), mapping.end(), last, dcm_column_data, text, sizeof text);
    EXPECT_EQ(n, last.length);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, LargeFile,
    ::testing::Values(
        element_near_4gib{"header_ends_at_the_last_offset", four_gib - 9, empty_patient_id(), true},
        element_near_4gib{"header_ends_past_the_last_offset", four_gib - 8, empty_patient_id(),
                          false},
        element_near_4gib{"value_crosses_4_gib", four_gib - 40, comments_of_100_bytes(), true}),
    [](const ::testing::TestParamInfo<element_near_4gib>& info) {
        return std::string(info.param.name);
    });

}  // namespace

}  // namespace velk
