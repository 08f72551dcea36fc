#include "present/private_blocks.h"

#include <algorithm>

#include "parse/header.h"
#include "parse/tags.h"

namespace velk {

void dcm_private_blocks::add(const char* begin, std::uint64_t size, const dcm_record& r,
                             std::uint32_t tag) {
    // A record of a shallower level, or in the other bytes, closes the data
    // sets and items deeper than it, and their blocks with them; so does the
    // next item of the same sequence (an item's record is one level above its
    // elements).
    while (!m_open.empty() &&
           (m_open.back().inflated != r.inflated || m_open.back().level > r.level))
        m_open.pop_back();
    const std::uint16_t group = dcm_tag_group(tag);
    const bool here = !m_open.empty() && m_open.back().level == r.level;
    if (dcm_is_private_creator(tag)) {
        const std::uint64_t value = r.value_offset();
        if (r.length == undefined_length || value + r.length > size) return;
        const std::string_view name = dcm_private_creator_value(begin + value, r.length);
        if (!here) m_open.push_back({std::uint32_t(r.level), r.inflated, {}});
        // A later creator of the same block overrides an earlier one.
        m_open.back().creators[(std::uint32_t(group) << 8) | (tag & 0xFFu)] =
            dcm_private_find_creator(name);
        return;
    }
    if (!here || !dcm_is_private_element(tag)) return;
    // The creator of this block in the element's own data set or item.
    const auto& creators = m_open.back().creators;
    const auto found = creators.find((std::uint32_t(group) << 8) | ((tag >> 8) & 0xFFu));
    if (found == creators.end() || !found->second) return;
    if (const dcm_private_entry* entry =
            dcm_private_find(*found->second, group, static_cast<std::uint16_t>(tag & 0xFFFFu)))
        add_entry(key_of(r), entry);
}

void dcm_private_blocks::add_entry(std::uint64_t key, const dcm_private_entry* entry) {
    if (m_entries.empty() || m_entries.back().first < key) {
        m_entries.emplace_back(key, entry);
        return;
    }
    // Out of file order (not seen from the walks): kept sorted all the same.
    const auto at =
        std::lower_bound(m_entries.begin(), m_entries.end(), std::make_pair(key, entry));
    if (at != m_entries.end() && at->first == key)
        at->second = entry;
    else
        m_entries.insert(at, {key, entry});
}

const dcm_private_entry* dcm_private_blocks::entry_of(const dcm_record& r) const {
    const std::uint64_t key = key_of(r);
    const auto at = std::lower_bound(m_entries.begin(), m_entries.end(), key,
                                     [](const std::pair<std::uint64_t, const dcm_private_entry*>& e,
                                        std::uint64_t k) { return e.first < k; });
    return at != m_entries.end() && at->first == key ? at->second : nullptr;
}

dcm_shown_vr dcm_private_vr(dcm_shown_vr vr, const dcm_private_entry* entry, const dcm_record& r) {
    if (!entry) return vr;
    const bool read_from_file = !vr.from_dictionary && vr.vr[0] != 0 && !dcm_vr_is(vr.vr, "UN");
    if (read_from_file || dcm_vr_is(entry->vr, "UN")) return vr;
    if (dcm_vr_is(entry->vr, "SQ") != (r.container || r.length == undefined_length)) return vr;
    dcm_shown_vr shown{};
    shown.vr[0] = entry->vr[0];
    shown.vr[1] = entry->vr[1];
    shown.from_dictionary = true;
    return shown;
}

}  // namespace velk
