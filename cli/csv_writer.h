// The csv format: one record per row of the model, fields as RFC 4180 writes
// them, so that any CSV reader gets the cells back exactly.
#pragma once

#include <cstddef>
#include <string>

#include "cli/output.h"
#include "present/listing.h"
#include "present/row_model.h"

namespace velk {

// The most characters csv_field writes for n characters of text.
constexpr std::size_t csv_field_room(std::size_t n) { return 2 * n + 2; }

// Writes `text` as one field: as it is, or between double quotes with every
// quote doubled when it holds the separator, a quote, a CR or an LF. Answers
// the end.
char* csv_field(const char* text, std::size_t n, char* out, char separator = ',');

// The header record: the column names, and "path" first when `with_path`.
void write_csv_header(bool with_path, text_output& out);

// Every row of `rows` as one record: the row's true nesting level, then the
// cells the viewer shows (tag, VR, length, description, value, offset) in UTF-8
// (from code page 1252 in the default reading), unindented; `path` (UTF-8) first
// when not null.
void write_csv_rows(const dcm_row_model& rows, dcm_bytes file, const std::string* path,
                    text_output& out);

}  // namespace velk
