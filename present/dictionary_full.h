// The complete data dictionary of the Interpret mode: every public data element of
// the DICOM registry with its VR, VM and retired mark, generated from data (see
// tools/gen-dictionary-full). The default mode keeps its own, smaller table in
// present/dictionary.h. Besides the listed tags it knows the tag ranges the
// registry describes by pattern: repeating groups (50xx, 60xx, 7Fxx and the
// retired compression groups), group lengths (gggg,0000) and private creators
// (gggg,0010-00FF in an odd group).
#pragma once

#include <cstddef>
#include <cstdint>

namespace velk {

struct dcm_full_entry {
    std::uint32_t tag;  // group in the high half
    const char* vr;     // two letters, or "" for items and delimiters
    const char* vm;     // "1", "1-n", "2-2n", ...
    bool retired;
    const char* name;  // UTF-8
};

// A registry row given by pattern: it matches every tag t with (t & mask) == value.
struct dcm_full_repeater {
    std::uint32_t mask;
    std::uint32_t value;
    const char* vr;
    const char* vm;
    bool retired;
    const char* name;
};

// The generated rows, ascending by tag.
extern const dcm_full_entry dcm_full_dictionary[];
extern const std::size_t dcm_full_dictionary_size;
extern const dcm_full_repeater dcm_full_repeaters[];
extern const std::size_t dcm_full_repeaters_size;

// The tags whose registry VR is "US or SS" (the table's vr says "US"), ascending:
// unsigned or signed as the data set's Pixel Representation (0028,0103) says.
extern const std::uint32_t dcm_full_us_or_ss[];
extern const std::size_t dcm_full_us_or_ss_size;
bool dcm_full_is_us_or_ss(std::uint32_t tag);

// What the dictionary knows of a tag: its VR, VM, retired mark and name, or null
// when it knows nothing. The returned row lives for the whole run. Pure; callable
// from any thread.
const dcm_full_entry* dcm_full_find(std::uint32_t tag);

}  // namespace velk
