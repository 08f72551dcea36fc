// Files larger than 4 GiB: a 5 GiB file of the shape whole-slide images take
// (five 1 GiB fragments of encapsulated pixel data, then the delimiter and the
// padding) lists whole in both readings, its offsets past 4 GiB in full, and a
// collapse and expand of the Pixel Data walks it again to the same rows. The
// file is sparse: its fragments are holes, so it costs no disk. The same file
// read a window at a time, as where the system will not map it whole, lists
// the same rows in bounded memory.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "catalogue.h"
#include "load_support.h"
#include "parse/mapping.h"
#include "parse/windowed_view.h"
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

// A whole-view limit for the length of a test.
class whole_view_limit {
public:
    explicit whole_view_limit(std::uint64_t bytes) { dcm_set_whole_view_limit(bytes); }
    ~whole_view_limit() { dcm_set_whole_view_limit(m_before); }

private:
    std::uint64_t m_before = dcm_whole_view_limit();
};

std::uint64_t resident_kib() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stoull(line.substr(6));
    return 0;
}

TEST_P(LargeFile, ListsWholeThroughWindowsInBoundedMemory) {
    const whole_view_limit limit(dcm_window_bytes);
    const dcm_file_mapping mapping(path.c_str());
    ASSERT_TRUE(mapping.is_windowed());
    const dcm_bytes file = dcm_bytes::of(mapping);
    const std::uint64_t filled_before = dcm_windows_filled();
    dcm_row_model rows(GetParam());
    EXPECT_TRUE(rows.load(file).complete());
    ASSERT_EQ(rows.size(), catalogue::sparse_pixel_file_rows(fragments));
    EXPECT_EQ(rows.record(rows.size() - 1).offset,
              catalogue::sparse_pixel_file_last_offset(fragments, one_gib));
    // The headers only: the first window and the one of each fragment's start.
    EXPECT_LE(dcm_windows_filled() - filled_before, fragments + 2);

    std::size_t name = 0;
    while (cell(rows, file, name, dcm_column_tag) != "(0010,0010)") ++name;
    EXPECT_EQ(cell(rows, file, name, dcm_column_data), "Doe^Jane");

    // Twice as many windows as are held, read in the pixel data: the first
    // window is dropped, and what is held stays within its bound.
    const std::uint64_t resident_before = resident_kib();
    unsigned sum = 0;
    for (std::size_t k = 0; k < 2 * dcm_windows_held; ++k)
        sum += static_cast<unsigned char>(mapping.begin()[(k + 1) * dcm_window_bytes + k]);
    EXPECT_EQ(sum, 0u);  // holes
    EXPECT_LT(resident_kib(), resident_before + (dcm_windows_held + 8) * 1024);

    // The name's window is read again, to the same bytes.
    const std::uint64_t filled = dcm_windows_filled();
    EXPECT_EQ(cell(rows, file, name, dcm_column_data), "Doe^Jane");
    EXPECT_EQ(dcm_windows_filled(), filled + 1);
}

// Views read on several threads at once, as the folder window reads files: two
// threads share one view and two have one each, and every view has more
// windows read than it holds, so that fills and drops cross.
TEST_P(LargeFile, ListsThroughWindowsOnSeveralThreads) {
    const whole_view_limit limit(dcm_window_bytes);
    const dcm_file_mapping shared(path.c_str());
    ASSERT_TRUE(shared.is_windowed());
    std::atomic<unsigned> wrong{0};
    auto list = [&](const dcm_file_mapping& mapping, std::size_t first_window) {
        for (int round = 0; round < 2; ++round) {
            dcm_row_model rows(GetParam());
            if (!rows.load(dcm_bytes::of(mapping)).complete() ||
                rows.size() != catalogue::sparse_pixel_file_rows(fragments))
                ++wrong;
            for (std::size_t k = 0; k < dcm_windows_held / 2 + 8; ++k)
                if (mapping.begin()[(first_window + k) * dcm_window_bytes] != 0) ++wrong;
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            if (t < 2) return list(shared, 1 + t * 100);
            const dcm_file_mapping own(path.c_str());
            list(own, 1 + t * 100);
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, LargeFile,
                         ::testing::Values(dcm_reading::standard, dcm_reading::interpret),
                         [](const ::testing::TestParamInfo<dcm_reading>& info) {
                             return std::string(info.param == dcm_reading::standard ? "standard"
                                                                                    : "interpret");
                         });

}  // namespace

}  // namespace velk
