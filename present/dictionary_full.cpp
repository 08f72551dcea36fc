#include "present/dictionary_full.h"

#include <algorithm>

namespace velk {

namespace {

// Rows of the tag ranges that have no row of their own in the registry.
constexpr dcm_full_entry group_length = {0, "UL", "1", false, "Group Length"};
constexpr dcm_full_entry private_creator = {0, "LO", "1", false, "Private Creator"};

bool is_private_group(std::uint16_t group) {
    // Odd groups are private, except the few the standard reserves.
    return (group & 1) != 0 && group > 0x0007 && group != 0xFFFF;
}

const dcm_full_entry* find_listed(std::uint32_t tag) {
    const dcm_full_entry* first = dcm_full_dictionary;
    const dcm_full_entry* last = dcm_full_dictionary + dcm_full_dictionary_size;
    const dcm_full_entry* row = std::lower_bound(
        first, last, tag, [](const dcm_full_entry& e, std::uint32_t t) { return e.tag < t; });
    return row != last && row->tag == tag ? row : nullptr;
}

// The repeater rows, as entries that a caller can hold like any other row.
struct repeater_rows {
    dcm_full_entry rows[128];
    repeater_rows() {
        for (std::size_t i = 0; i < dcm_full_repeaters_size && i < 128; ++i) {
            const dcm_full_repeater& r = dcm_full_repeaters[i];
            rows[i] = {r.value, r.vr, r.vm, r.retired, r.name};
        }
    }
};

const dcm_full_entry* find_repeater(std::uint32_t tag) {
    static const repeater_rows table;
    for (std::size_t i = 0; i < dcm_full_repeaters_size && i < 128; ++i) {
        if ((tag & dcm_full_repeaters[i].mask) == dcm_full_repeaters[i].value)
            return &table.rows[i];
    }
    return nullptr;
}

}  // namespace

const dcm_full_entry* dcm_full_find(std::uint32_t tag) {
    const auto group = static_cast<std::uint16_t>(tag >> 16);
    const auto element = static_cast<std::uint16_t>(tag);
    if (is_private_group(group)) {
        if (element == 0) return &group_length;
        if (element >= 0x0010 && element <= 0x00FF) return &private_creator;
        return nullptr;
    }
    if (const dcm_full_entry* row = find_listed(tag)) return row;
    if (element == 0) return &group_length;
    return find_repeater(tag);
}

}  // namespace velk
