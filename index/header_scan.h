// Reading the key values of one part-10 file for the folder index: a walk of
// the header that stops at the first data set element after the last tag it
// wants (Columns, (0028,0011)), so Pixel Data and everything after it are never
// read. Read as the Interpret reading reads a file: implicit and explicit VR,
// big endian and deflated data sets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "index/index_row.h"
#include "parse/record.h"

namespace velk {

// A value copied into a row is at most this many bytes: several times the
// longest a wanted value may be (a Person Name of three 64-character groups in
// a multi-byte character set), so a hostile length costs nothing.
constexpr std::size_t dcm_index_value_cap = 1024;

// A deflated data set is inflated to at most this many bytes for the index: its
// header comes first, and the rest is never needed.
constexpr std::size_t dcm_index_inflate_cap = std::size_t(4) << 20;

enum class dcm_scan_end {
    not_part10,  // no "DICM" at byte 128: not listed
    stopped,     // every wanted tag's place was passed
    walked,      // the bytes ended first (a file of header alone, or a cut one)
};

struct dcm_scan_result {
    dcm_scan_end end = dcm_scan_end::not_part10;
    dcm_walk_result walk;  // how the walk ended, when it was not stopped
    // Where a stopped walk stopped: the first byte of the first element past the
    // wanted ones, counted in the inflated bytes when `stopped_inflated`.
    std::uint64_t stop_offset = 0;
    std::uint32_t stop_tag = 0;
    bool stopped_inflated = false;
};

// Fills the key value cells of `row` (all but path, size and problem) from the
// part-10 bytes [begin, end). Memory beyond the row: the walk's open levels and
// one record, and for a deflated data set the inflated bytes (at most
// dcm_index_inflate_cap).
dcm_scan_result dcm_scan_header(const char* begin, const char* end, dcm_index_row& row);

}  // namespace velk
