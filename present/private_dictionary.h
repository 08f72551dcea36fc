// The private dictionary of the Interpret mode: the VR, VM and name of private
// elements of well-known private creators, generated from data (see
// tools/gen-private-dictionary; the rows are in present/tables/).
//
// A private element (gggg,xxee) of an odd group gggg belongs to the block xx
// that the private creator element (gggg,00xx) reserves in the same data set or
// item (PS3.5 section 7.8.1); the creator's value names whose element it is.
// The lookup takes that value, the group and the element, and tries in turn the
// element exactly, its low byte in any block of the group, and its low byte in
// any block of a family of groups whose low byte is free (60xx).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velk {

enum class dcm_private_key_form : std::uint8_t { exact, block, groups };

struct dcm_private_entry {
    std::uint16_t group;    // for `groups`, the low byte is zero
    std::uint16_t element;  // for `block` and `groups`, the low byte alone
    char vr[2];             // "UN" where the vendor names the element but not its VR
    dcm_private_key_form form;
    std::uint32_t vm;  // offsets into dcm_private_strings
    std::uint32_t name;

    const char* vm_text() const;
    const char* name_text() const;
};

// A creator and the run of its rows in dcm_private_entries, sorted by (form,
// group, element).
struct dcm_private_creator {
    std::uint32_t name;  // offset into dcm_private_strings
    std::uint32_t first;
    std::uint32_t count;
};

// The generated tables: one pool of NUL-terminated UTF-8 strings, the creators
// sorted by their bytes, and every creator's rows.
extern const char dcm_private_strings[];
extern const dcm_private_creator dcm_private_creators[];
extern const std::size_t dcm_private_creators_size;
extern const dcm_private_entry dcm_private_entries[];
extern const std::size_t dcm_private_entries_size;

// The creator whose value is `creator` (trailing spaces and NULs already cut),
// or null when the dictionary does not know it.
const dcm_private_creator* dcm_private_find_creator(std::string_view creator);

// The row of element (group, element) of a block reserved by `creator`, or null.
const dcm_private_entry* dcm_private_find(const dcm_private_creator& creator, std::uint16_t group,
                                          std::uint16_t element);

// The creator's value as it names a creator: cut of its trailing spaces and NULs.
std::string_view dcm_private_creator_value(const char* first, std::size_t length);

// Whether a tag is a private data element that a creator's block may hold:
// odd group above 0008 (0001-0007 and FFFF are not private), element 1000-FFFF.
constexpr bool dcm_is_private_element(std::uint32_t tag) {
    const std::uint32_t group = tag >> 16;
    return (group & 1u) && group > 0x0008u && group != 0xFFFFu && (tag & 0xFF00u) != 0;
}

// Whether a tag is a private creator element (gggg,0010-00FF) of an odd group.
constexpr bool dcm_is_private_creator(std::uint32_t tag) {
    const std::uint32_t group = tag >> 16;
    const std::uint32_t element = tag & 0xFFFFu;
    return (group & 1u) && group > 0x0008u && group != 0xFFFFu && element >= 0x10u &&
           element <= 0xFFu;
}

}  // namespace velk
