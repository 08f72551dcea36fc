// What the fuzz targets share: an exactly sized copy of the input, a check that
// ends the run with a finding, and the viewer's load and cell texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "parse/file.h"
#include "parse/record.h"
#include "present/cell_text.h"

namespace velk {

namespace fuzz {

// The input copied into a heap block of exactly its size, so that a read one
// byte past the end lands outside the block, where the address sanitizer sees
// it. libFuzzer's own buffer may be followed by readable bytes.
class exact_input {
public:
    exact_input(const std::uint8_t* data, std::size_t size)
        : m_size(size), m_bytes(new char[size]) {
        if (size) std::memcpy(m_bytes.get(), data, size);
    }
    const char* begin() const { return m_bytes.get(); }
    const char* end() const { return m_bytes.get() + m_size; }
    std::size_t size() const { return m_size; }

private:
    std::size_t m_size;
    std::unique_ptr<char[]> m_bytes;
};

// A property that must hold for every input; a failure is a finding.
inline void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "fuzz finding: %s\n", what);
    std::abort();
}

struct loaded_file {
    std::vector<dcm_record> rows;
};

// Loads the bytes as the viewer does and checks that every row lies inside
// them, in file order, no more rows than 8-byte headers fit.
inline loaded_file load(const char* begin, const char* end) {
    loaded_file file;
    dcm_read_records(begin, end, file.rows);
    const std::uint64_t size = static_cast<std::uint64_t>(end - begin);
    require(file.rows.size() <= size / 8 + 1, "more rows than headers fit in the file");
    std::uint64_t previous = 0;
    for (const dcm_record& row : file.rows) {
        require(row.offset >= dcm_stream_offset &&
                    row.offset + std::uint64_t(row.header_length) <= size,
                "row inside the file");
        require(row.offset > previous || previous == 0, "rows in file order");
        previous = row.offset;
    }
    return file;
}

// The text of every column of every row, read from [begin, end), which need not
// be the bytes the rows were loaded from. Out-of-range columns included.
inline void render_every_cell(const char* begin, const char* end,
                              const std::vector<dcm_record>& rows) {
    char text[dcm_cell_capacity];
    for (const dcm_record& row : rows) {
        for (int column = -1; column <= dcm_column_count; ++column) {
            const std::size_t n = dcm_cell_text(begin, end, row, column, text, sizeof text);
            require(n < sizeof text && text[n] == '\0' && std::strlen(text) == n,
                    "a cell is a terminated text that fits its buffer");
        }
    }
}

}  // namespace fuzz

}  // namespace velk
