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

// An open-addressing index of the rows by tag, built once: a lookup costs one or
// two probes, where a binary search over the rows costs a dozen cache misses, and
// every row of an implicit VR listing looks its tag up.
class listed_index {
public:
    listed_index() {
        static_assert(slots > 1, "room");
        for (auto& s : m_slots) s = empty;
        for (std::size_t i = 0; i < dcm_full_dictionary_size; ++i) {
            std::size_t at = slot_of(dcm_full_dictionary[i].tag);
            while (m_slots[at] != empty) at = (at + 1) & (slots - 1);
            m_slots[at] = static_cast<std::uint16_t>(i);
        }
    }

    const dcm_full_entry* find(std::uint32_t tag) const {
        for (std::size_t at = slot_of(tag);; at = (at + 1) & (slots - 1)) {
            const std::uint16_t i = m_slots[at];
            if (i == empty) return nullptr;
            if (dcm_full_dictionary[i].tag == tag) return &dcm_full_dictionary[i];
        }
    }

private:
    static constexpr std::size_t slots = 16384;  // over three times the rows: short probes
    static constexpr std::uint16_t empty = 0xFFFF;
    static std::size_t slot_of(std::uint32_t tag) {
        return (tag * 2654435761u) >> (32 - 14);
    }
    std::uint16_t m_slots[slots];
};

const dcm_full_entry* find_listed(std::uint32_t tag) {
    static const listed_index index;
    return index.find(tag);
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
