#include "cli/diff.h"

#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/csv_writer.h"
#include "cli/exit_status.h"
#include "cli/output.h"
#include "parse/file.h"
#include "parse/mapping.h"
#include "present/cell_text.h"
#include "present/compare.h"
#include "present/listing.h"
#include "present/row_model.h"

namespace velk {

namespace {

// One side of the comparison: the file mapped for the whole command and its
// rows, every container expanded.
struct compared_file {
    compared_file(const std::string& name, dcm_reading reading)
        : file(std::filesystem::u8path(name).c_str()), rows(reading) {}
    dcm_file_mapping file;
    dcm_row_model rows;
    dcm_compare_side side() const {
        return {file.begin(), file.end(), rows.records(), rows.reading()};
    }
};

// Why the file cannot be compared, or nothing.
std::string problem_of(const compared_file& f) {
    if (!f.file.is_open()) return dcm_open_failure_text(f.file.failure());
    if (!dcm_has_marker(f.file.begin(), f.file.end())) return no_marker_problem;
    return {};
}

// The csv header record and the json keys of a difference's cells, in column order.
const char* const difference_names[dcm_difference_column_count] = {
    "difference",  "path",         "VR",           "name",
    "first value", "second value", "first offset", "second offset"};

// The cells of one difference in UTF-8, as velkdump writes the rows.
template <class Convert>
std::vector<std::string> difference_cells(const dcm_difference& d, const dcm_compare_side& a,
                                          const dcm_compare_side& b, Convert convert) {
    std::vector<std::string> cells;
    for (int column = 0; column < dcm_difference_column_count; ++column) {
        char cell[dcm_cell_capacity];
        const std::size_t n = dcm_difference_text(d, a, b, column, cell, sizeof cell);
        std::string utf8(Convert::units_per_byte * n, '\0');
        utf8.resize(static_cast<std::size_t>(convert(cell, n, utf8.data()) - utf8.data()));
        cells.push_back(std::move(utf8));
    }
    return cells;
}

// The cells as one record: text separated by ";" and ending in LF, csv by ","
// and ending in CR LF; in both a cell holding the separator, a quote or a line
// break is quoted as csv quotes it, so that a value never splits a record.
void write_record(const std::vector<std::string>& cells, char separator, const char* end,
                  text_output& out) {
    std::string record;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) record += separator;
        const std::string& cell = cells[i];
        std::string field(csv_field_room(cell.size()), '\0');
        const char* field_end = csv_field(cell.data(), cell.size(), field.data(), separator);
        record.append(field.data(), static_cast<std::size_t>(field_end - field.data()));
    }
    out.put(record + end);
}

// One object a line, its keys the csv header's names.
void write_json_object(const std::vector<std::string>& cells, text_output& out) {
    nlohmann::ordered_json object;
    for (int column = 0; column < dcm_difference_column_count; ++column)
        object[difference_names[column]] = cells[static_cast<std::size_t>(column)];
    out.put(object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
}

template <class Convert>
void write_differences(const std::vector<dcm_difference>& differences, const dcm_compare_side& a,
                       const dcm_compare_side& b, Convert convert, dump_format format,
                       text_output& out) {
    if (format == dump_format::csv)
        write_record({std::begin(difference_names), std::end(difference_names)}, ',', "\r\n", out);
    for (const dcm_difference& d : differences) {
        const std::vector<std::string> cells = difference_cells(d, a, b, convert);
        if (format == dump_format::json)
            write_json_object(cells, out);
        else if (format == dump_format::csv)
            write_record(cells, ',', "\r\n", out);
        else
            write_record(cells, ';', "\n", out);
    }
}

}  // namespace

int velkdump_diff(const std::string& first, const std::string& second, dcm_reading reading,
                  dump_format format, std::FILE* out, std::FILE* err) {
    const auto a = std::make_unique<compared_file>(first, reading);
    const auto b = std::make_unique<compared_file>(second, reading);
    int status = diff_exit_alike;
    for (const auto* f : {a.get(), b.get()}) {
        const std::string problem = problem_of(*f);
        if (problem.empty()) continue;
        std::fprintf(err, "velkdump: %s: %s\n", (f == a.get() ? first : second).c_str(),
                     problem.c_str());
        status = diff_exit_failed;
    }
    if (status != diff_exit_alike) return status;
    a->rows.load(dcm_bytes::of(a->file));
    b->rows.load(dcm_bytes::of(b->file));
    if (a->rows.out_of_memory() || b->rows.out_of_memory()) {
        std::fputs("velkdump: not enough memory to compare the files\n", err);
        return diff_exit_failed;
    }
    const dcm_compare_side side_a = a->side(), side_b = b->side();
    const std::vector<dcm_difference> differences = dcm_compare(side_a, side_b);
    text_output output(out);
    if (a->rows.cells_are_utf8())
        write_differences(differences, side_a, side_b, dcm_utf8_as_is(), format, output);
    else
        write_differences(differences, side_a, side_b, dcm_cp1252_to_utf8(), format, output);
    output.flush();
    if (output.failed() || std::fflush(out) != 0) {
        std::fputs("velkdump: write error\n", err);
        return diff_exit_failed;
    }
    return differences.empty() ? diff_exit_alike : diff_exit_differ;
}

}  // namespace velk
