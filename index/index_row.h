// One row of the folder index: the key values of one file, as text, in the
// columns that the folder window, velkdump's csv and its json all show.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace velk {

enum class dcm_index_column : unsigned char {
    path,
    patient_name,
    patient_id,
    study_date,
    study_description,
    modality,
    series_number,
    series_description,
    instance_number,
    sop_class,
    dimensions,
    frames,
    transfer_syntax,
    size,
    problem,
};
constexpr std::size_t dcm_index_column_count = 15;

// How a column is headed and keyed, and whether it sorts as a number.
struct dcm_index_column_info {
    const char* title;  // the header cell: "Patient's Name"
    const char* key;    // the json key: "patient_name"
    bool numeric;
};

const dcm_index_column_info& dcm_index_column_of(dcm_index_column column);
inline const dcm_index_column_info& dcm_index_column_of(std::size_t column) {
    return dcm_index_column_of(static_cast<dcm_index_column>(column));
}

struct dcm_index_row {
    std::array<std::string, dcm_index_column_count> cells;  // UTF-8
    std::string study_uid;  // what grouping by study and series keys on
    std::string series_uid;
    std::uint64_t size = 0;
    bool directory = false;  // a DICOMDIR (Media Storage Directory Storage)

    std::string& cell(dcm_index_column column) { return cells[static_cast<std::size_t>(column)]; }
    const std::string& cell(dcm_index_column column) const {
        return cells[static_cast<std::size_t>(column)];
    }
};

// Orders two rows by one column: numeric columns by their number (an empty or
// non-numeric cell after every number), the others by their bytes. Ties keep
// the path order, so that a sort is the same whatever order it starts from.
bool dcm_index_less(const dcm_index_row& a, const dcm_index_row& b, dcm_index_column column);

}  // namespace velk
