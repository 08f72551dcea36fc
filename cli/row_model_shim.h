// Stand-in for the row model's interface that velkdump uses, over the element
// cursors, until present/row_model.h and present/listing.h take its place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "parse/file.h"
#include "parse/header.h"
#include "parse/mapping.h"
#include "parse/reparse.h"
#include "present/cell_text.h"

namespace velk {

enum class dcm_byte_order : std::uint8_t { little, big };

template <class T, dcm_byte_order order = dcm_byte_order::little>
inline T dcm_load(const void* p) {
    const auto* b = static_cast<const unsigned char*>(p);
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        const std::size_t shift = order == dcm_byte_order::little ? i : sizeof(T) - 1 - i;
        v |= std::uint64_t(b[i]) << (8 * shift);
    }
    if constexpr (std::is_floating_point_v<T>) {
        using bits_t = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;
        const bits_t bits = static_cast<bits_t>(v);
        T f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    } else {
        return static_cast<T>(static_cast<std::make_unsigned_t<T>>(v));
    }
}

struct dcm_bytes {
    const char* begin = nullptr;
    const char* end = nullptr;
    static dcm_bytes of(const dcm_file_mapping& file) { return {file.begin(), file.end()}; }
};

struct dcm_record {
    std::uint32_t offset, length, level;
    char vr[2];
    std::uint8_t header_length;
    bool container;
    std::uint64_t value_offset() const { return std::uint64_t(offset) + header_length; }
};

enum class dcm_reading : std::uint8_t { standard };

class dcm_row_model {
public:
    dcm_reading reading() const { return dcm_reading::standard; }
    void load(dcm_bytes file) {
        m_cursors.clear();
        m_levels.clear();
        m_contexts.clear();
        if (!file.begin || !dcm_has_marker(file.begin, file.end)) return;
        dcm_tracking_insert visitor(m_cursors, 0, nullptr, true, m_contexts, &m_levels);
        dcm_parse_file(file.begin, file.end, visitor);
    }
    std::size_t size() const { return m_cursors.size(); }
    int indent(std::size_t row) const { return m_cursors[row].depth; }
    dcm_record record(std::size_t row) const {
        const dcm_cursor& c = m_cursors[row];
        return {c.offset, c.length, m_levels[row], {c.vr[0], c.vr[1]}, c.header_length,
                c.container != 0};
    }
    std::size_t cell_text(dcm_bytes file, std::size_t row, int column, char* out,
                          std::size_t capacity) const {
        return dcm_cell_text(file.begin, file.end, m_cursors[row], column, out, capacity);
    }

private:
    dcm_cursor_vector m_cursors;
    std::vector<std::uint32_t> m_levels;
    std::vector<dcm_container_context> m_contexts;
};

enum class dcm_line_end : std::uint8_t { lf, crlf };

inline bool dcm_all_ascii(const char* text, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
    return true;
}

struct dcm_cp1252_to_utf8 {
    using unit = char;
    static constexpr std::size_t units_per_byte = 3;
    char* operator()(const char* text, std::size_t n, char* out) const {
        static const char16_t high[32] = {
            0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
        for (std::size_t i = 0; i < n; ++i) {
            const auto b = static_cast<unsigned char>(text[i]);
            const char16_t u = b >= 0x80 && b < 0xA0 ? high[b - 0x80] : char16_t(b);
            if (u < 0x80) {
                *out++ = static_cast<char>(u);
            } else if (u < 0x800) {
                *out++ = static_cast<char>(0xC0 | (u >> 6));
                *out++ = static_cast<char>(0x80 | (u & 0x3F));
            } else {
                *out++ = static_cast<char>(0xE0 | (u >> 12));
                *out++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
                *out++ = static_cast<char>(0x80 | (u & 0x3F));
            }
        }
        return out;
    }
};

template <class Convert, class Sink>
void dcm_write_rows(const dcm_row_model& rows, dcm_bytes file, const Convert& convert,
                    dcm_line_end line_end, Sink& sink) {
    char text[dcm_cell_capacity];
    for (std::size_t row = 0; row < rows.size(); ++row) {
        char* p = sink.claim(dcm_column_count * (16 + 3 * dcm_cell_capacity) + 2);
        const int indent = rows.indent(row);
        for (int column = 0; column < dcm_column_count; ++column) {
            if (column > 0) *p++ = ';';
            for (int i = 0; i < indent; ++i) *p++ = ' ';
            const std::size_t n = rows.cell_text(file, row, column, text, sizeof text);
            p = convert(text, n, p);
        }
        if (line_end == dcm_line_end::crlf) *p++ = '\r';
        *p++ = '\n';
        sink.commit(p);
    }
}

}  // namespace velk
