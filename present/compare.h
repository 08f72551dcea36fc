// Two files compared element by element. Elements are matched by their path:
// the tags of the elements that hold them and the index of each item within its
// sequence, so that an element keeps its match when others are added or removed
// before it. A tag that appears twice in one data set is matched occurrence by
// occurrence. The differences come in the first file's order, with what only the
// second holds placed after the element it follows there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "parse/record.h"
#include "present/reading.h"

namespace velk {

// One file's side of a comparison: its bytes and its records in file order,
// every container expanded.
struct dcm_compare_side {
    const char* begin;
    const char* end;
    const std::vector<dcm_record>& rows;
    // How the records are read (the cells are UTF-8 in the Interpret reading).
    const dcm_record_reading& reading = dcm_default_reading();
};

struct dcm_difference {
    static constexpr std::size_t none = std::size_t(-1);
    std::size_t first = none;   // the row in the first file, or none
    std::size_t second = none;  // the row in the second file, or none
    bool changed = false;       // VR or value differ (containers: the VR)
    bool moved = false;         // in another order relative to the elements around it
    std::string path;           // "(0040,A730)[1].(0008,0100)", "#2" on a repeated tag
};

std::vector<dcm_difference> dcm_compare(const dcm_compare_side& first,
                                        const dcm_compare_side& second);

// The columns of a difference row.
enum dcm_difference_column : int {
    dcm_difference_kind =
        0,  // "only in first", "only in second", "changed", "moved", "changed, moved"
    dcm_difference_path = 1,
    dcm_difference_vr = 2,    // one VR, or "OB|OW" when they differ
    dcm_difference_name = 3,  // the dictionary's name
    dcm_difference_first_value = 4,
    dcm_difference_second_value = 5,
    dcm_difference_first_offset = 6,
    dcm_difference_second_offset = 7,
};
constexpr int dcm_difference_column_count = 8;

// The text of one cell of a difference row (UTF-8 when the sides are of the
// Interpret reading, else 8-bit), cut and terminated as
// dcm_cell_text cuts a cell; answers its length.
std::size_t dcm_difference_text(const dcm_difference& d, const dcm_compare_side& first,
                                const dcm_compare_side& second, int column, char* out,
                                std::size_t capacity);

// A file's records for a comparison, every container expanded.
std::vector<dcm_record> dcm_compare_load(const char* begin, const char* end);

}  // namespace velk
