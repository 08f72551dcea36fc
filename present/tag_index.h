// An open-addressing index of a table's rows by tag: a lookup costs one or two
// probes, where a scan or a binary search over the rows costs many compares or
// cache misses, and every row of a listing looks its tag up.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velk {

// Slots must be a power of two and well over the number of rows (three times
// keeps the probes short); at most 65,535 rows.
template <std::size_t Slots>
class dcm_tag_index {
    static_assert(Slots > 1 && (Slots & (Slots - 1)) == 0, "a power of two");

public:
    // Indexes rows 0 to rows - 1 of a table whose row i has the key key_of(i).
    // Rows of one key are found in table order: the first one answers.
    template <class KeyOf>
    constexpr dcm_tag_index(std::size_t rows, KeyOf key_of) : m_slots{} {
        for (auto& s : m_slots) s = empty;
        for (std::size_t i = 0; i < rows; ++i) {
            std::size_t at = slot_of(key_of(i));
            while (m_slots[at] != empty) at = (at + 1) & (Slots - 1);
            m_slots[at] = static_cast<std::uint16_t>(i);
        }
    }

    // The first row whose key is tag, or `none`. Ends at the first empty slot,
    // which there always is, as there are more slots than rows.
    template <class KeyOf>
    std::size_t find(std::uint32_t tag, KeyOf key_of, std::size_t none) const {
        for (std::size_t at = slot_of(tag);; at = (at + 1) & (Slots - 1)) {
            const std::uint16_t i = m_slots[at];
            if (i == empty) return none;
            if (key_of(i) == tag) return i;
        }
    }

private:
    static constexpr std::uint16_t empty = 0xFFFF;
    static constexpr unsigned bits() {
        unsigned b = 0;
        while ((std::size_t(1) << b) < Slots) ++b;
        return b;
    }
    // Fibonacci hashing: the tag's bits spread over the slot number.
    static constexpr std::size_t slot_of(std::uint32_t tag) {
        return std::uint32_t(tag * 2654435761u) >> (32 - bits());
    }
    std::uint16_t m_slots[Slots];
};

}  // namespace velk
