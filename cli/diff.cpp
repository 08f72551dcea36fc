#include "cli/diff.h"

#include <filesystem>
#include <memory>

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
    dcm_compare_side side() const { return {file.begin(), file.end(), rows.records(), rows.reading()}; }
};

// Why the file cannot be compared, or nothing.
std::string problem_of(const compared_file& f) {
    if (!f.file.is_open()) return dcm_open_failure_text(f.file.failure());
    if (!dcm_has_marker(f.file.begin(), f.file.end()))
        return "not a DICOM part-10 file (no \"DICM\" at byte 128)";
    return {};
}

// One line per difference, its cells separated by ";", in UTF-8 as velkdump
// writes the rows.
template <class Convert>
void write_differences(const std::vector<dcm_difference>& differences, const dcm_compare_side& a,
                       const dcm_compare_side& b, Convert convert, text_output& out) {
    constexpr std::size_t cell_room = Convert::units_per_byte * (dcm_cell_capacity - 1);
    for (const dcm_difference& d : differences) {
        char* p = out.claim(dcm_difference_column_count * (cell_room + 1) + 1);
        for (int column = 0; column < dcm_difference_column_count; ++column) {
            if (column > 0) *p++ = ';';
            char cell[dcm_cell_capacity];
            const std::size_t n = dcm_difference_text(d, a, b, column, cell, sizeof cell);
            p = convert(cell, n, p);
        }
        *p++ = '\n';
        out.commit(p);
    }
}

}  // namespace

int velkdump_diff(const std::string& first, const std::string& second, dcm_reading reading,
                  std::FILE* out, std::FILE* err) {
    const auto a = std::make_unique<compared_file>(first, reading);
    const auto b = std::make_unique<compared_file>(second, reading);
    int status = 0;
    for (const auto* f : {a.get(), b.get()}) {
        const std::string problem = problem_of(*f);
        if (problem.empty()) continue;
        std::fprintf(err, "velkdump: %s: %s\n", (f == a.get() ? first : second).c_str(), problem.c_str());
        status = 2;
    }
    if (status) return status;
    a->rows.load(dcm_bytes::of(a->file));
    b->rows.load(dcm_bytes::of(b->file));
    if (a->rows.out_of_memory() || b->rows.out_of_memory()) {
        std::fputs("velkdump: not enough memory to compare the files\n", err);
        return 2;
    }
    const dcm_compare_side side_a = a->side(), side_b = b->side();
    const std::vector<dcm_difference> differences = dcm_compare(side_a, side_b);
    text_output output(out);
    if (a->rows.cells_are_utf8())
        write_differences(differences, side_a, side_b, dcm_utf8_as_is(), output);
    else
        write_differences(differences, side_a, side_b, dcm_cp1252_to_utf8(), output);
    output.flush();
    if (output.failed() || std::fflush(out) != 0) {
        std::fputs("velkdump: write error\n", err);
        return 2;
    }
    return differences.empty() ? 0 : 1;
}

}  // namespace velk
