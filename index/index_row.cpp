#include "index/index_row.h"

#include <cstdlib>

namespace velk {

namespace {

constexpr dcm_index_column_info kColumns[dcm_index_column_count] = {
    {"Path", "path", false},
    {"Patient's Name", "patient_name", false},
    {"Patient ID", "patient_id", false},
    {"Study Date", "study_date", false},
    {"Study Description", "study_description", false},
    {"Modality", "modality", false},
    {"Series Number", "series_number", true},
    {"Series Description", "series_description", false},
    {"Instance Number", "instance_number", true},
    {"SOP Class", "sop_class", false},
    {"Rows x Columns", "rows_x_columns", true},
    {"Frames", "frames", true},
    {"Transfer Syntax", "transfer_syntax", false},
    {"Size", "size", true},
    {"Errors", "errors", true},
    {"Warnings", "warnings", true},
    {"Problem", "problem", false},
};

// The number a cell starts with ("512 x 512" sorts by its rows), or false.
bool number_of(const std::string& cell, double& number) {
    if (cell.empty()) return false;
    char* end = nullptr;
    number = std::strtod(cell.c_str(), &end);
    return end != cell.c_str();
}

// -1, 0 or 1 for a before, tied with or after b in `column`.
int compare_cells(const dcm_index_row& a, const dcm_index_row& b, dcm_index_column column) {
    const std::string& x = a.cell(column);
    const std::string& y = b.cell(column);
    if (dcm_index_column_of(column).numeric) {
        double m = 0, n = 0;
        const bool has_m = number_of(x, m), has_n = number_of(y, n);
        if (has_m != has_n) return has_m ? -1 : 1;
        if (has_m && m != n) return m < n ? -1 : 1;
        if (has_m) return 0;
    }
    const int order = x.compare(y);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

}  // namespace

const dcm_index_column_info& dcm_index_column_of(dcm_index_column column) {
    return kColumns[static_cast<std::size_t>(column)];
}

bool dcm_index_less(const dcm_index_row& a, const dcm_index_row& b, dcm_index_column column) {
    const int order = compare_cells(a, b, column);
    if (order != 0) return order < 0;
    return a.cell(dcm_index_column::path) < b.cell(dcm_index_column::path);
}

}  // namespace velk
