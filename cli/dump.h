// velkdump's work: each file's rows as the viewer's Copy Rows gives them after
// Select All with every container expanded, in UTF-8 with "\n" line ends.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <vector>

#include "parse/cursor.h"

namespace velk {

// Buffered output to a stdio stream.
class dump_output {
public:
    explicit dump_output(std::FILE* stream);
    ~dump_output();
    dump_output(const dump_output&) = delete;
    dump_output& operator=(const dump_output&) = delete;

    void put(const char* text, std::size_t n);
    void put(char c);

    // Direct writing: room for at least n bytes, then the end of what was written.
    char* claim(std::size_t n);
    void commit(char* end) { m_used = static_cast<std::size_t>(end - m_buffer.get()); }

    void flush();
    bool failed() const { return m_failed; }

private:
    void reserve(std::size_t n);

    std::FILE* m_stream;
    std::unique_ptr<char[]> m_buffer;  // not zeroed: pages are touched as used
    std::size_t m_capacity;
    std::size_t m_used = 0;
    bool m_failed = false;
};

// One line per cursor: the six cells in column order, ";" between them, each
// preceded by as many spaces as the row's depth and cut at 259 characters. The
// 8-bit text is converted as Windows code page 1252 converts it (the five bytes
// that page leaves undefined become the C1 controls U+0081, U+008D, U+008F,
// U+0090 and U+009D, as MultiByteToWideChar makes them).
void dump_rows(const char* file_begin, const char* file_end, const std::vector<dcm_cursor>& rows,
               dump_output& out);

}  // namespace velk
