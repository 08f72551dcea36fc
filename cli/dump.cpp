#include "cli/dump.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "present/cell_text.h"

namespace velk {

namespace {

// Enough for a long run of rows between writes; one write per megabyte.
constexpr std::size_t buffer_size = 1 << 20;

// UTF-8 of each code page 1252 byte from 80H to 9FH; A0H to FFH are Latin-1.
const char16_t cp1252_high[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::size_t utf8(char16_t u, char* out) {
    if (u < 0x80) {
        out[0] = static_cast<char>(u);
        return 1;
    }
    if (u < 0x800) {
        out[0] = static_cast<char>(0xC0 | (u >> 6));
        out[1] = static_cast<char>(0x80 | (u & 0x3F));
        return 2;
    }
    out[0] = static_cast<char>(0xE0 | (u >> 12));
    out[1] = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (u & 0x3F));
    return 3;
}

char16_t cp1252(unsigned char b) {
    return b >= 0x80 && b < 0xA0 ? cp1252_high[b - 0x80] : char16_t(b);
}

// Cells are short: eight bytes at a time, then the rest.
bool all_ascii(const char* text, std::size_t n) {
    std::uint64_t any = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text + i, 8);
        any |= word;
    }
    for (; i < n; ++i) any |= static_cast<unsigned char>(text[i]);
    return (any & 0x8080808080808080u) == 0;
}

// Converts the n bytes at text, which has room for 3 * n, to UTF-8 in place;
// answers the new end. Works from the back so that no byte is overwritten unread.
char* widen_in_place(char* text, std::size_t n) {
    std::size_t size = 0;
    for (std::size_t i = 0; i < n; ++i) {
        char scratch[3];
        size += utf8(cp1252(static_cast<unsigned char>(text[i])), scratch);
    }
    char* out = text + size;
    for (std::size_t i = n; i-- > 0;) {
        char bytes[3];
        const std::size_t k = utf8(cp1252(static_cast<unsigned char>(text[i])), bytes);
        out -= k;
        std::memcpy(out, bytes, k);
    }
    return text + size;
}

}  // namespace

dump_output::dump_output(std::FILE* stream)
    : m_stream(stream), m_buffer(new char[buffer_size]), m_capacity(buffer_size) {}

dump_output::~dump_output() { flush(); }

void dump_output::flush() {
    if (m_used == 0) return;
    if (std::fwrite(m_buffer.get(), 1, m_used, m_stream) != m_used) m_failed = true;
    m_used = 0;
}

void dump_output::reserve(std::size_t n) {
    if (m_capacity - m_used < n) flush();
    if (m_capacity < n) {
        m_buffer.reset(new char[n]);
        m_capacity = n;
    }
}

char* dump_output::claim(std::size_t n) {
    reserve(n);
    return m_buffer.get() + m_used;
}

void dump_output::put(const char* text, std::size_t n) {
    reserve(n);
    std::memcpy(m_buffer.get() + m_used, text, n);
    m_used += n;
}

void dump_output::put(char c) {
    reserve(1);
    m_buffer[m_used++] = c;
}

void dump_rows(const char* file_begin, const char* file_end, const std::vector<dcm_cursor>& rows,
               dump_output& out) {
    // Each cell is written straight into the output and widened there when it
    // holds bytes above 7FH: room for its indent, three UTF-8 bytes per
    // character and the separator or line end.
    constexpr std::size_t cell_room = 16 + 3 * (dcm_cell_capacity - 1) + 1;
    static const char spaces[16] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                                    ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    for (const dcm_cursor& c : rows) {
        char* p = out.claim(dcm_column_count * cell_room + 1);
        for (int column = 0; column < dcm_column_count; ++column) {
            if (column > 0) *p++ = ';';
            std::memcpy(p, spaces, sizeof spaces);  // one store; the depth is below 16
            p += c.depth;
            const std::size_t n =
                dcm_cell_text(file_begin, file_end, c, column, p, dcm_cell_capacity);
            // Tags, numbers and dictionary names are ASCII; only the recorded VR
            // and the value can hold other bytes.
            const bool may_be_8bit = column == dcm_column_vr || column == dcm_column_data;
            p = !may_be_8bit || all_ascii(p, n) ? p + n : widen_in_place(p, n);
        }
        *p++ = '\n';
        out.commit(p);
    }
}

}  // namespace velk
