// The structure of data sets and items: tags ascending and once each, even
// lengths, group lengths and defined lengths that match their content, private
// elements in a reserved block, retired attributes.
#include <bitset>
#include <string>
#include <vector>

#include "check/check_source.h"
#include "parse/header.h"
#include "present/dictionary_full.h"

namespace velk {

namespace {

constexpr std::uint16_t group_of(std::uint32_t tag) { return std::uint16_t(tag >> 16); }
constexpr std::uint16_t element_of(std::uint32_t tag) { return std::uint16_t(tag & 0xFFFF); }

// Levels followed; deeper ones (only a hostile file has them) are not checked
// for order, groups or private blocks. The walk itself descends 128 levels.
constexpr std::size_t max_levels = 256;

// A (gggg,0000) whose group is still being measured.
struct open_group {
    std::size_t row;
    std::uint16_t group;
    std::uint32_t declared;
    std::uint64_t start;  // the first byte after the group length element
};

// What one data set or item holds so far.
struct level_state {
    std::uint32_t last_tag = 0;
    bool has_last = false;
    bool has_group = false;
    open_group group{};
    std::uint16_t private_group = 0;  // the odd group whose creators are known
    std::bitset<256> creators;        // its blocks with a creator
    std::bitset<256> reported;        // its blocks without one, found already
};

// A defined-length container whose end is not yet seen.
struct open_container {
    std::size_t row;
    std::uint32_t level;
    std::uint64_t end;  // where its declared length ends
};

class structure_check {
public:
    explicit structure_check(dcm_check_source& source) : m_source(source) {}

    void run() {
        for (std::size_t row = 0; row < m_source.size(); ++row) {
            const dcm_record& r = m_source.record(row);
            close_containers(r.level, r.offset, r.inflated);
            close_levels(r.level + 1, r.offset, r.inflated);
            element(row, r);
        }
        if (!m_source.walk_complete() || m_source.size() == 0) return;
        const dcm_record& last = m_source.record(m_source.size() - 1);
        const std::uint64_t end = m_source.domain_size(last);
        close_containers(0, end, last.inflated);
        close_levels(0, end, last.inflated);
    }

private:
    void element(std::size_t row, const dcm_record& r) {
        const std::uint32_t tag = m_source.tag(row);
        if (r.length != undefined_length && r.length % 2 != 0)
            m_source.add(row, dcm_severity::error, dcm_check_kind::length,
                         dcm_message_form::odd_length, r.length);
        if (r.container && r.length != undefined_length)
            m_containers.push_back({row, std::uint32_t(r.level), r.value_offset() + r.length});
        if (group_of(tag) == 0xFFFE || r.level >= max_levels) return;
        if (m_levels.size() < std::size_t(r.level) + 1) m_levels.resize(std::size_t(r.level) + 1);
        level_state& level = m_levels[r.level];
        order(row, tag, level);
        group_length(row, r, tag, level);
        private_block(row, tag, level);
        retired(row, tag);
    }

    void order(std::size_t row, std::uint32_t tag, level_state& level) {
        if (level.has_last && tag < level.last_tag)
            m_source.add(row, dcm_severity::error, dcm_check_kind::order,
                         dcm_message_form::out_of_order, level.last_tag);
        else if (level.has_last && tag == level.last_tag)
            m_source.add(row, dcm_severity::error, dcm_check_kind::duplicate,
                         dcm_message_form::duplicate);
        if (!level.has_last || tag > level.last_tag) level.last_tag = tag;
        level.has_last = true;
    }

    void group_length(std::size_t row, const dcm_record& r, std::uint32_t tag, level_state& level) {
        if (level.has_group && level.group.group != group_of(tag))
            close_group(level, r.offset, r.inflated);
        if (element_of(tag) != 0) return;
        std::uint32_t declared = 0;
        const dcm_check_element e = m_source.element(row);
        if (r.length != 4 || !dcm_check_ul(e, declared)) return;
        if (level.has_group) close_group(level, r.offset, r.inflated);
        level.has_group = true;
        level.group = {row, group_of(tag), declared, r.value_offset() + r.length};
        m_group_inflated = r.inflated;
    }

    void close_group(level_state& level, std::uint64_t end, bool inflated) {
        if (!level.has_group) return;
        level.has_group = false;
        const open_group& g = level.group;
        if (inflated != m_group_inflated || end < g.start) return;
        const std::uint64_t held = end - g.start;
        if (held == g.declared) return;
        char group[8];
        std::snprintf(group, sizeof group, "%04X", unsigned(g.group));
        // The file meta information's group length is part of the meta check.
        const dcm_check_kind kind =
            g.group == 0x0002 ? dcm_check_kind::meta : dcm_check_kind::group_length;
        m_source.add(g.row, dcm_severity::error, kind,
                     std::string("Group ") + group + " length says " + std::to_string(g.declared) +
                         " bytes, the group holds " + std::to_string(held));
    }

    void private_block(std::size_t row, std::uint32_t tag, level_state& level) {
        const std::uint16_t group = group_of(tag);
        // Odd groups 0001-0007 and FFFF may not be used, so hold no private blocks.
        if (group % 2 == 0 || group <= 0x0007 || group == 0xFFFF) return;
        if (level.private_group != group) {
            level.private_group = group;
            level.creators.reset();
            level.reported.reset();
        }
        const std::uint16_t element = element_of(tag);
        if (element >= 0x0010 && element <= 0x00FF) {
            level.creators.set(element);
        } else if (element >= 0x1000 && !level.creators.test(element >> 8) &&
                   !level.reported.test(element >> 8)) {
            // Once per block and data set: a block without its creator is one
            // fault, however many elements it holds.
            level.reported.set(element >> 8);
            m_source.add(row, dcm_severity::error, dcm_check_kind::private_block,
                         dcm_message_form::no_private_creator);
        }
    }

    void retired(std::size_t row, std::uint32_t tag) {
        if (group_of(tag) % 2 != 0) return;
        // Group lengths are retired but for the file meta information's (the
        // standard's PS3.5 section 7.2).
        if (element_of(tag) == 0 && group_of(tag) > 0x0002) {
            m_source.add(row, dcm_severity::info, dcm_check_kind::retired,
                         dcm_message_form::retired_group_length);
            return;
        }
        const dcm_full_entry* entry = dcm_full_find(tag);
        if (!entry || !entry->retired) return;
        m_source.add(row, dcm_severity::info, dcm_check_kind::retired, dcm_message_form::retired);
    }

    // Containers at `level` and deeper end before an element at `level`.
    void close_containers(std::uint32_t level, std::uint64_t end, bool inflated) {
        while (!m_containers.empty() && m_containers.back().level >= level) {
            const open_container c = m_containers.back();
            m_containers.pop_back();
            const dcm_record& r = m_source.record(c.row);
            if (r.inflated != inflated || end == c.end || end < r.value_offset()) continue;
            const std::uint64_t held = end - r.value_offset();
            const bool item = m_source.tag(c.row) == tag_item;
            m_source.add(c.row, dcm_severity::error, dcm_check_kind::item_length,
                         std::string(item ? "Item" : "Sequence") + " length says " +
                             std::to_string(r.length) + " bytes, its elements take " +
                             std::to_string(held));
        }
    }

    // Data sets and items nested at `depth` and deeper are over.
    void close_levels(std::size_t depth, std::uint64_t end, bool inflated) {
        if (depth >= m_levels.size()) return;
        for (std::size_t i = m_levels.size(); i-- > depth;) close_group(m_levels[i], end, inflated);
        m_levels.resize(depth);
    }

    dcm_check_source& m_source;
    std::vector<level_state> m_levels;
    std::vector<open_container> m_containers;
    bool m_group_inflated = false;
};

}  // namespace

void dcm_check_structure(dcm_check_source& source) { structure_check(source).run(); }

}  // namespace velk
