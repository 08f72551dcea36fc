#include "cli/csv_writer.h"

#include <charconv>
#include <cstring>

namespace velk {

namespace {

// Records end in CR LF, as RFC 4180 has them.
constexpr char record_end[] = "\r\n";

const char* const column_names[] = {"depth",       "tag",   "VR",    "length",
                                    "description", "value", "offset"};

bool needs_quotes(const char* text, std::size_t n, char separator) {
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c == separator || c == '"' || c == '\r' || c == '\n') return true;
    }
    return false;
}

char* put_text(const char* text, std::size_t n, char* out) {
    std::memcpy(out, text, n);
    return out + n;
}

}  // namespace

char* csv_field(const char* text, std::size_t n, char* out, char separator) {
    if (!needs_quotes(text, n, separator)) return put_text(text, n, out);
    *out++ = '"';
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] == '"') *out++ = '"';
        *out++ = text[i];
    }
    *out++ = '"';
    return out;
}

void write_csv_header(bool with_path, text_output& out) {
    std::string header = with_path ? "path," : "";
    for (const char* name : column_names) {
        header += name;
        header += ',';
    }
    header.back() = '\r';
    header += '\n';
    out.put(header);
}

namespace {

// Cells of 8-bit code page 1252 text (the default reading) are converted;
// UTF-8 cells (the Interpret reading) are written as they are.
template <class Convert>
void write_records(const dcm_row_model& rows, dcm_bytes file, const std::string* path,
                   text_output& out) {
    const Convert convert;
    constexpr std::size_t cell_room =
        csv_field_room(Convert::units_per_byte * (dcm_cell_capacity - 1)) + 1;
    char cell[dcm_cell_capacity];
    char utf8[Convert::units_per_byte * dcm_cell_capacity];
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const std::size_t path_room = path ? csv_field_room(path->size()) + 1 : 0;
        char* p = out.claim(path_room + 16 + dcm_column_count * cell_room + 2);
        if (path) {
            p = csv_field(path->data(), path->size(), p);
            *p++ = ',';
        }
        p = std::to_chars(p, p + 16, rows.record(row).level).ptr;
        for (int column = 0; column < dcm_column_count; ++column) {
            *p++ = ',';
            const std::size_t n = rows.cell_text(file, row, column, cell, sizeof cell);
            if (dcm_all_ascii(cell, n)) {
                p = csv_field(cell, n, p);
            } else {
                const char* end = convert(cell, n, utf8);
                p = csv_field(utf8, static_cast<std::size_t>(end - utf8), p);
            }
        }
        p = put_text(record_end, 2, p);
        out.commit(p);
    }
}

}  // namespace

void write_csv_rows(const dcm_row_model& rows, dcm_bytes file, const std::string* path,
                    text_output& out) {
    if (rows.cells_are_utf8())
        write_records<dcm_utf8_as_is>(rows, file, path, out);
    else
        write_records<dcm_cp1252_to_utf8>(rows, file, path, out);
}

}  // namespace velk
