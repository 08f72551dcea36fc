// The bad-input catalogue: part-10 files that are damaged or hostile in one way
// each, in the ways DICOM readers have been broken before (lengths that run past
// the end or wrap 32-bit arithmetic, endless zero-length items, deep nesting,
// values sized by a declared length), beside sound files of each shape.
//
// Every case says how many rows a load lists. Most damaged cases are a sound file
// with the damage appended: the rows of the sound file must come first, intact.
#pragma once

#include <cstddef>
#include <cstdint>
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

// A file of the shape whole-slide images and long loops take: file meta
// information naming JPEG baseline, a few elements, Pixel Data of undefined
// length holding an empty offset table and `fragments` fragments of
// `fragment_size` bytes, its delimiter, then Data Set Trailing Padding. The
// fragments' bytes are never written: the file is sparse, and costs no disk
// where the file system keeps holes. False when it could not be written whole.
bool write_sparse_pixel_file(const std::string& path, unsigned fragments,
                             std::uint32_t fragment_size);
// The rows it lists, and the offset of its last row, the padding.
std::size_t sparse_pixel_file_rows(unsigned fragments);
std::uint64_t sparse_pixel_file_last_offset(unsigned fragments, std::uint32_t fragment_size);

// Cases this size or smaller seed the fuzzers; larger ones only make them slow.
constexpr std::size_t seed_size_limit = 64 * 1024;

}  // namespace catalogue

}  // namespace velk
