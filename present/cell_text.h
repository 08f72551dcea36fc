// The text of one cell of the element list: one element (a record) and one column,
// read afresh from the file's bytes. The 8-bit text that the list shows before
// its conversion to UTF-16.
#pragma once

#include <cstddef>
#include <cstdint>

#include "parse/cursor.h"
#include "parse/record.h"

namespace velk {

enum dcm_column : int {
    dcm_column_tag = 0,          // "(%04X,%04X)" from the element's first four bytes
    dcm_column_vr = 1,           // the two VR characters recorded in the record
    dcm_column_size = 2,         // the declared length as a signed 32-bit decimal
    dcm_column_description = 3,  // the dictionary's name for the tag, or nothing
    dcm_column_data = 4,         // the rendered value, cut to the buffer
    dcm_column_offset = 5,       // the element's byte offset in the file
};

constexpr int dcm_column_count = 6;

// The buffer a list cell is read back into, terminator included: a cell shows,
// copies and is searched in at most 259 characters. The one constant for it.
constexpr std::size_t dcm_cell_capacity = 260;

// Copies the first capacity - 1 bytes of [text, text + n) and a terminator into
// a cell's buffer (capacity at least 1); answers the length written. Every cell
// writer cuts its text here, so that all cells are cut alike.
std::size_t dcm_put_cell(const char* text, std::size_t n, char* out, std::size_t capacity);

// Value bytes an OB dump shows in the "Data" column.
constexpr std::size_t dcm_cell_byte_limit = 24;

// Writes the text of `column` for the element at `c` into out: cut at the first
// NUL and to capacity - 1 characters, then terminated (nothing at all when
// capacity is 0). Returns its length. Only bytes of [file_begin, file_end) are
// read: a cell whose element no longer starts inside the file (the file has
// shrunk since the load) is empty, a value reaching past the end shows the bytes
// that exist (one starting exactly at the end is an empty value, which OW and OF
// still name), and a tag without its four bytes shows no tag and no description.
// An unknown column gives empty text.
std::size_t dcm_cell_text(const char* file_begin, const char* file_end, const dcm_record& r,
                          int column, char* out, std::size_t capacity);

// The same for the collecting visitor's cursor (explicit little endian, as it
// was walked).
std::size_t dcm_cell_text(const char* file_begin, const char* file_end, const dcm_cursor& c,
                          int column, char* out, std::size_t capacity);

// The Tag cell's text of a tag, group in the high half: "(GGGG,EEEE)", cut and
// terminated as a cell is. Returns its length.
std::size_t dcm_put_tag(std::uint32_t tag, char* out, std::size_t capacity);

}  // namespace velk
