#include "present/dictionary_full.h"

#include <algorithm>

#include "present/tag_index.h"

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
    const auto key_of = [](std::size_t i) { return dcm_full_dictionary[i].tag; };
    static const dcm_tag_index<16384> index(dcm_full_dictionary_size, key_of);
    const std::size_t i = index.find(tag, key_of, dcm_full_dictionary_size);
    return i < dcm_full_dictionary_size ? &dcm_full_dictionary[i] : nullptr;
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

const dcm_full_entry* find_uncached(std::uint32_t tag) {
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

}  // namespace

const dcm_full_entry* dcm_full_find(std::uint32_t tag) {
    // A row's VR, Description and Data cells ask for the same tag in turn (and
    // the walk just before them): the last answer is kept per thread.
    thread_local std::uint32_t last_tag = 0;
    thread_local const dcm_full_entry* last_entry = find_uncached(0);
    if (tag != last_tag) {
        last_entry = find_uncached(tag);
        last_tag = tag;
    }
    return last_entry;
}

bool dcm_full_is_us_or_ss(std::uint32_t tag) {
    return std::binary_search(dcm_full_us_or_ss, dcm_full_us_or_ss + dcm_full_us_or_ss_size, tag);
}

}  // namespace velk
