// Real files that nobody here wrote: every container of every readable part-10
// file in pydicom's data folder collapses and expands back to the rows of the
// load, and the file read by its path gives the same rows as its bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cursor_compare.h"
#include "present/row_model.h"

namespace velk {

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> real_files() {
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(VELK_PYDICOM_DATA, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file(error) && it->path().extension() == ".dcm")
            files.push_back(it->path());
    }
    return files;
}

TEST(RealFiles, EveryContainerCollapsesAndExpandsBackToTheLoad) {
    const std::vector<fs::path> files = real_files();
    if (files.empty()) GTEST_SKIP() << "no pydicom data folder";
    int with_containers = 0;
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.string());
        const dcm_file_mapping file(path.c_str());
        dcm_row_model full;
        full.load_file(path.c_str());
        dcm_row_model from_bytes;
        from_bytes.load({file.begin(), file.end()});
        ASSERT_EQ(full.records(), from_bytes.records());

        bool any = false;
        for (std::size_t i = 0; i < full.size(); ++i) {
            if (!full.records()[i].container) continue;
            any = true;
            dcm_row_model rows = full;
            rows.collapse(i);
            rows.expand(i, {file.begin(), file.end()});
            ASSERT_EQ(rows.records(), full.records()) << "row " << i;
            ASSERT_TRUE(rows.collapsed().empty());
        }
        with_containers += any;
    }
    // The folder holds dozens of files with sequences and encapsulated pixel data.
    EXPECT_GE(with_containers, 20);
}

}  // namespace

}  // namespace velk
