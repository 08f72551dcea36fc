// Which private creator reserves the block of each private element of a load.
//
// A private creator element (gggg,00xx) reserves the elements (gggg,xx00-xxFF)
// of the data set or item that holds it, and no other (PS3.5 section 7.8.1).
// The records are read in file order, as they are walked: the creators of the
// data sets and items still open are kept, innermost last, and each private
// element found in a known creator's block is given its private dictionary row.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "parse/record.h"
#include "present/interpret_value.h"
#include "present/private_dictionary.h"

namespace velk {

class dcm_private_blocks {
public:
    // Reads one record of tag `tag`, whose offset counts in [begin, begin + size).
    // Records come in file order, across as many calls as the load has chunks.
    void add(const char* begin, std::uint64_t size, const dcm_record& r, std::uint32_t tag);

    // The private dictionary row of a record added before, or null when it is no
    // private element of a known creator's block.
    const dcm_private_entry* entry_of(const dcm_record& r) const;

private:
    // The creators of one data set or item still open, by group and block
    // (group << 8 | block): one lookup per private element, however many
    // blocks a data set reserves.
    struct open_data_set {
        std::uint32_t level;  // of the elements of the data set or item
        bool inflated;
        // null: a creator the dictionary does not know
        std::unordered_map<std::uint32_t, const dcm_private_creator*> creators;
    };

    void add_entry(std::uint64_t key, const dcm_private_entry* entry);

    static std::uint64_t key_of(const dcm_record& r) {
        return (std::uint64_t(r.inflated) << 32) | r.offset;
    }

    std::vector<open_data_set> m_open;  // innermost last; as deep as the walk descends
    // Only the private elements the dictionary names, by key_of: records come in
    // file order (a deflated data set's after the file's), so the keys ascend
    // and a lookup is a binary search.
    std::vector<std::pair<std::uint64_t, const dcm_private_entry*>> m_entries;
};

// The VR a private element `r` shows, given the one the public dictionary's
// rules gave it (`vr`) and its private dictionary row: a VR read from the file
// stands; else the row's, in parentheses, unless the row names no VR (UN) or
// the walk's container decision says otherwise (the walk knows public tags
// only: a private sequence of defined length read without a VR is not
// descended into, so its bytes stay a value of unknown VR, and an element of
// undefined length is walked as a sequence whatever the row says).
dcm_shown_vr dcm_private_vr(dcm_shown_vr vr, const dcm_private_entry* entry, const dcm_record& r);

}  // namespace velk
