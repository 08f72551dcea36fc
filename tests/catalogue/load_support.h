// Loading a catalogue file the way the viewer does, and the checks every load
// must pass whatever the file holds.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cursor_compare.h"
#include "parse/file.h"
#include "parse/mapping.h"
#include "parse/record.h"

namespace velk {

namespace catalogue_test {

// What a document keeps of a load: the records of its rows.
struct loaded_file {
    std::vector<dcm_record> rows;
};

inline loaded_file load_path(const std::string& path) {
    loaded_file file;
    const dcm_file_mapping mapping(path.c_str());
    dcm_read_records(mapping.begin(), mapping.end(), file.rows);
    return file;
}

// A copy of bytes in a heap block of exactly their size, so that a read one byte
// past the end lands outside the block, where the address sanitizer sees it.
class exact_copy {
public:
    explicit exact_copy(const std::string& bytes, std::size_t size)
        : m_size(size), m_bytes(new char[size]) {
        std::memcpy(m_bytes.get(), bytes.data(), size);
    }
    const char* begin() const { return m_bytes.get(); }
    const char* end() const { return m_bytes.get() + m_size; }

private:
    std::size_t m_size;
    std::unique_ptr<char[]> m_bytes;
};

inline loaded_file load_bytes(const char* begin, const char* end) {
    loaded_file file;
    dcm_read_records(begin, end, file.rows);
    return file;
}

// A file name of the running test's own: ctest runs test cases side by side.
inline std::string test_file_path() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("velk_") + test->test_suite_name() + "_" + test->name();
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    return ::testing::TempDir() + name + ".dcm";
}

inline bool write_file(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

// Rows lie in the file in strictly increasing order, each with a whole header,
// and there are no more of them than 8-byte headers fit in the file: the work of
// a load is linear in the file, whatever the lengths it declares.
inline void expect_rows_inside(const std::vector<dcm_record>& rows, std::size_t file_size) {
    EXPECT_LE(rows.size(), file_size / 8 + 1);
    std::uint64_t previous = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const dcm_record& row = rows[i];
        ASSERT_GE(row.offset, dcm_stream_offset) << "row " << i;
        ASSERT_TRUE(row.header_length == 8 || row.header_length == 12) << "row " << i;
        ASSERT_LE(std::uint64_t(row.offset) + row.header_length, file_size) << "row " << i;
        ASSERT_TRUE(i == 0 || row.offset > previous) << "row " << i;
        previous = row.offset;
    }
}

// The rows after `row` that are nested in it, by their true levels.
inline std::size_t nested_end(const loaded_file& file, std::size_t row) {
    std::size_t end = row + 1;
    while (end < file.rows.size() && file.rows[end].level > file.rows[row].level) ++end;
    return end;
}

}  // namespace catalogue_test

}  // namespace velk
