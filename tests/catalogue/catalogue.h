// The bad-input catalogue: part-10 files that are damaged or hostile in one way
// each, in the ways DICOM readers have been broken before (lengths that run past
// the end or wrap 32-bit arithmetic, endless zero-length items, deep nesting,
// values sized by a declared length), beside sound files of each shape.
//
// Every case says how many rows a load lists. Most damaged cases are a sound file
// with the damage appended: the rows of the sound file must come first, intact.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace velk {

namespace catalogue {

struct case_file {
    const char* name;         // file name without extension: what is wrong with it
    std::size_t rows;         // rows a load lists
    bool extends_sound_file;  // the bytes begin with sound_file() whole
    std::string (*make)();    // builds the bytes; the large cases take megabytes
};

// Every case, in a fixed order, names unique.
const std::vector<case_file>& all_cases();

// The sound explicit VR little endian file most damaged cases start from, and
// the rows it lists.
std::string sound_file();
constexpr std::size_t sound_file_rows = 7;

// Cases this size or smaller seed the fuzzers; larger ones only make them slow.
constexpr std::size_t seed_size_limit = 64 * 1024;

}  // namespace catalogue

}  // namespace velk
