// Real files that nobody here wrote: every container of every readable part-10
// file in pydicom's data folder collapses and expands back to the rows of the
// load, and the file read by its path gives the same rows as its bytes; a load
// handed on in small chunks writes the same listing as a whole load, in both
// readings.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cursor_compare.h"
#include "present/listing.h"
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

// The listing's text, as velkdump writes it.
struct text_sink {
    std::string text;
    char* claim(std::size_t n) {
        m_at = text.size();
        text.resize(m_at + n);
        return &text[m_at];
    }
    void commit(char* end) { text.resize(static_cast<std::size_t>(end - text.data())); }

private:
    std::size_t m_at = 0;
};

std::string listing(const dcm_row_model& rows, dcm_bytes file, text_sink& sink) {
    if (rows.cells_are_utf8())
        dcm_write_rows(rows, file, dcm_utf8_as_is(), dcm_line_end::lf, sink);
    else
        dcm_write_rows(rows, file, dcm_cp1252_to_utf8(), dcm_line_end::lf, sink);
    return sink.text;
}

TEST(RealFiles, ChunkedLoadsListWhatAWholeLoadLists) {
    const std::vector<fs::path> files = real_files();
    if (files.empty()) GTEST_SKIP() << "no pydicom data folder";
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.string());
        const dcm_file_mapping file(path.c_str());
        const dcm_bytes bytes = dcm_bytes::of(file);
        for (const dcm_reading reading : {dcm_reading::standard, dcm_reading::interpret}) {
            dcm_row_model rows(reading);
            const dcm_walk_result whole = rows.load(bytes);
            text_sink all;
            const std::string expected = listing(rows, bytes, all);
            for (const std::size_t chunk : {1, 3, 64}) {
                text_sink sink;
                const dcm_walk_result chunked =
                    rows.load_in_chunks(bytes, chunk, [&](const dcm_row_model& part) {
                        if (!part.reading().holds_records()) {
                            ASSERT_LE(part.size(), chunk);
                        }
                        listing(part, bytes, sink);
                    });
                ASSERT_EQ(sink.text, expected) << "chunks of " << chunk;
                EXPECT_EQ(chunked.status, whole.status);
                EXPECT_EQ(chunked.offset, whole.offset);
                EXPECT_EQ(rows.size(), 0u);
            }
        }
    }
}

}  // namespace

}  // namespace velk
