// Whole listings from the row model: the one line format that Copy Rows and
// velkdump write (and other writers build on). One line per row: the six cells in
// column order, ";" between them, every cell preceded by as many spaces as the
// row's depth and cut at dcm_cell_capacity - 1 bytes; then the line end. No
// header line, no quoting: a ";" inside a cell is written as it is.
//
// The 8-bit text of the cells becomes the listing's characters through one
// conversion, the writer's parameter: UTF-8 by code page 1252 for velkdump, the
// thread's ANSI code page for the list's Copy Rows. ASCII is the same in every
// such code page, so a cell of ASCII bytes is copied without it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "present/row_model.h"

namespace velk {

enum class dcm_line_end : std::uint8_t { lf, crlf };

// A conversion answers:
//   using unit = ...;                         the listing's character type
//   static constexpr std::size_t units_per_byte;   the most units one byte becomes
//   unit* operator()(const char* text, std::size_t n, unit* out) const
//                                             converts n bytes, answers the end
// A sink answers:
//   unit* claim(std::size_t n)                room for at least n units
//   void commit(unit* end)                    what was written ends here

// Whether the n bytes at text are all below 80H. Cells are short: eight at a time.
inline bool dcm_all_ascii(const char* text, std::size_t n) {
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

// Tags, sizes, offsets and dictionary names are ASCII whatever the file holds:
// only the VR as read and the value can hold other bytes. Testing only those two
// also spares reading back, word by word, bytes just written byte by byte, which
// stalls the processor on every cell.
constexpr bool dcm_cell_may_be_8bit(int column) {
    return column == dcm_column_vr || column == dcm_column_data;
}

// Writes row `row` of `rows`, read from `file`, as one line into `sink`.
template <class Convert, class Sink>
void dcm_write_row(const dcm_row_model& rows, dcm_bytes file, std::size_t row,
                   const Convert& convert, dcm_line_end line_end, Sink& sink) {
    using unit = typename Convert::unit;
    constexpr std::size_t cell_room = 16 + Convert::units_per_byte * (dcm_cell_capacity - 1) + 1;
    unit* p = sink.claim(dcm_column_count * cell_room + 2);
    const dcm_row_model::row_cells cells = rows.cells(file, row);
    const int indent = rows.indent(row);
    for (int column = 0; column < dcm_column_count; ++column) {
        if (column > 0) *p++ = unit(';');
        // Sixteen spaces stored at once (a cell's room has them), the depth kept:
        // a loop of depth stores costs more than the cell's text.
        for (int i = 0; i < 16; ++i) p[i] = unit(' ');
        p += indent;
        if constexpr (std::is_same_v<unit, char>) {
            // Straight into the sink, converted there when it holds bytes above 7FH
            // (units_per_byte leaves room for that).
            const std::size_t n = cells.text(column, p, dcm_cell_capacity);
            if (Convert::units_per_byte == 1 || !dcm_cell_may_be_8bit(column) ||
                dcm_all_ascii(p, n)) {
                p += n;
            } else {
                char text[dcm_cell_capacity];
                std::memcpy(text, p, n);
                p = convert(text, n, p);
            }
        } else {
            char text[dcm_cell_capacity];
            const std::size_t n = cells.text(column, text, sizeof text);
            if (!dcm_cell_may_be_8bit(column) || dcm_all_ascii(text, n)) {
                for (std::size_t i = 0; i < n; ++i) p[i] = unit(text[i]);
                p += n;
            } else {
                p = convert(text, n, p);
            }
        }
    }
    if (line_end == dcm_line_end::crlf) *p++ = unit('\r');
    *p++ = unit('\n');
    sink.commit(p);
}

// Every row of `rows`, in row order.
template <class Convert, class Sink>
void dcm_write_rows(const dcm_row_model& rows, dcm_bytes file, const Convert& convert,
                    dcm_line_end line_end, Sink& sink) {
    for (std::size_t row = 0; row < rows.size(); ++row)
        dcm_write_row(rows, file, row, convert, line_end, sink);
}

// 8-bit text to UTF-8 as Windows code page 1252 converts it (the five bytes that
// page leaves undefined become the C1 controls U+0081, U+008D, U+008F, U+0090 and
// U+009D, as MultiByteToWideChar makes them): the conversion where there is no
// ANSI code page.
struct dcm_cp1252_to_utf8 {
    using unit = char;
    static constexpr std::size_t units_per_byte = 3;
    char* operator()(const char* text, std::size_t n, char* out) const;
};

// Cells that are UTF-8 already (the Interpret reading's): copied as they are
// (a converter of one unit per byte is taken to be this one).
struct dcm_utf8_as_is {
    using unit = char;
    static constexpr std::size_t units_per_byte = 1;
    char* operator()(const char* text, std::size_t n, char* out) const {
        std::memcpy(out, text, n);
        return out + n;
    }
};

}  // namespace velk
