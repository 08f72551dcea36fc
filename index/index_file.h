// One file of the folder index: its first bytes read, its header scanned, its
// row filled; or the reason it could not be read, in the row.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "index/index_row.h"

namespace velk {

// The bytes read first. A header is a few kilobytes; one that reaches past them
// (long private sequences before the image's attributes) is read again from a
// mapping of the whole file, of which the walk touches only the header's pages.
constexpr std::size_t dcm_index_prefix_bytes = 64 * 1024;

enum class dcm_index_outcome {
    listed,      // a part-10 file: its key values are in the row
    not_part10,  // readable, but not a part-10 file: left out and counted
    unreadable,  // the row's problem says why (vanished, no permission, a device ...)
};

// Fills `row` (its path cell is the caller's) from the file at `path`.
// `buffer` holds the first bytes; a thread keeps one and passes it to each call,
// so that it is allocated once. Memory per file: the buffer
// (dcm_index_prefix_bytes), the row, and what dcm_scan_header holds.
dcm_index_outcome dcm_index_file(const std::filesystem::path& path, dcm_index_row& row,
                                 std::vector<char>& buffer);

}  // namespace velk
