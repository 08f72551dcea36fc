// The data dictionary: the program's only knowledge of attribute names. One
// constant table, shared by everyone, consulted for the "Description" column.
// The VR shown for an element always comes from the file, never from here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velk {

struct dcm_dictionary_entry {
    std::uint16_t group;
    std::uint16_t element;
    const char* vr;    // two letters and a NUL; "DL" for items and delimiters
    const char* name;  // ASCII, at most 53 characters
};

constexpr std::size_t dcm_dictionary_size = 650;

// The rows in table order (ascending by tag, but for (0008,2129) before (0008,2128)).
extern const dcm_dictionary_entry dcm_dictionary[dcm_dictionary_size];

// The lookup key of a row: group in the high half, element in the low half, the
// same value a header's first two little-endian words form.
constexpr std::uint32_t dcm_dictionary_key(std::uint16_t group, std::uint16_t element) {
    return (std::uint32_t(group) << 16) | element;
}

// Finds the first row whose key equals tag. When found, stores the row's VR and
// name (pointers into the table, valid for the whole run) through the non-null
// outputs and returns true; otherwise returns false and leaves the outputs as
// they were, so a caller may start with a null name and test that instead.
// No range matching: repeating groups, private tags and unknown group lengths
// are simply not found. Pure; callable from any thread.
bool dcm_dictionary_find(std::uint32_t tag, const char** vr, const char** name);

// The index of the first row whose key equals tag, or dcm_dictionary_size.
std::size_t dcm_dictionary_index(std::uint32_t tag);

}  // namespace velk
