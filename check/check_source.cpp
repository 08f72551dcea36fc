#include "check/check_source.h"
#include "parse/tags.h"

#include <algorithm>
#include <cstdio>

#include "parse/header.h"
#include "parse/syntax_registry.h"
#include "present/dictionary_full.h"

namespace velk {

namespace {

// Data sets the default reading does not read: big endian, deflated.
bool unread_in_default_reading(std::string_view uid) {
    const dcm_syntax_info* syntax = dcm_find_syntax(uid);
    return syntax && (syntax->byte_order == dcm_byte_order::big || syntax->deflated);
}

}  // namespace

dcm_check_source::dcm_check_source(const dcm_row_model& rows, dcm_bytes file, dcm_findings& out)
    : m_rows(rows), m_file(file), m_records(rows.records()), m_out(out), m_count(m_records.size()) {
    m_tags.resize(m_records.size());
    std::size_t top = 0;
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        const dcm_check_element e = element(i);
        m_tags[i] = e.tag;
        top += m_records[i].level == 0 && e.has_tag;
    }
    // Counted first: an index grown by doubling would touch twice its memory.
    m_top.reserve(top);
    for (std::size_t i = 0; i < m_records.size(); ++i)
        if (m_records[i].level == 0 && (m_tags[i] != 0 || element(i).has_tag))
            m_top.push_back(std::uint32_t(i));
    if (rows.reading().kind() == dcm_reading::standard &&
        unread_in_default_reading(dcm_check_syntax_uid(*this))) {
        // The meta group comes first; its rows are the ones checked.
        std::size_t meta = 0;
        while (meta < m_records.size() && m_records[meta].level == 0 &&
               (m_tags[meta] >> 16) == 0x0002)
            ++meta;
        m_count = meta;
        m_top.erase(std::remove_if(m_top.begin(), m_top.end(),
                                   [meta](std::uint32_t row) { return row >= meta; }),
                    m_top.end());
    }
    // A data set in order is sorted already; a stable sort keeps the first of
    // a duplicated tag first.
    const auto by_tag = [this](std::uint32_t a, std::uint32_t b) { return m_tags[a] < m_tags[b]; };
    if (!std::is_sorted(m_top.begin(), m_top.end(), by_tag))
        std::stable_sort(m_top.begin(), m_top.end(), by_tag);
}

std::uint64_t dcm_check_source::domain_size(const dcm_record& r) const {
    const dcm_bytes bytes = m_rows.reading().bytes_of(m_file, r);
    const char* begin = bytes.begin;
    const char* end = bytes.end;
    return begin && end > begin ? std::uint64_t(end - begin) : 0;
}

dcm_check_element dcm_check_source::element(std::size_t row) const {
    const dcm_record& r = m_records[row];
    const dcm_bytes bytes = m_rows.reading().bytes_of(m_file, r);
    const char* begin = bytes.begin;
    const char* end = bytes.end;
    dcm_check_element e;
    e.order = r.byte_order();
    const std::uint64_t size = begin && end > begin ? std::uint64_t(end - begin) : 0;
    if (r.offset >= size) return e;
    e.has_tag = size - r.offset >= 4;
    if (e.has_tag) e.tag = dcm_load_tag(begin + r.offset, e.order);
    const std::uint64_t value = r.value_offset();
    if (value > size || r.length == undefined_length) return e;
    e.value = begin + value;
    e.size = std::min<std::uint64_t>(r.length, size - value);
    e.whole = e.size == r.length;
    return e;
}

std::size_t dcm_check_source::top_level(std::uint32_t tag) const {
    const auto it =
        std::lower_bound(m_top.begin(), m_top.end(), tag,
                         [this](std::uint32_t row, std::uint32_t t) { return m_tags[row] < t; });
    return it != m_top.end() && m_tags[*it] == tag ? *it : m_records.size();
}

std::size_t dcm_check_source::top_level_place(std::uint32_t tag) const {
    const auto it =
        std::upper_bound(m_top.begin(), m_top.end(), tag,
                         [this](std::uint32_t t, std::uint32_t row) { return t < m_tags[row]; });
    return it != m_top.end() ? *it : m_records.size();
}

void dcm_check_source::add(std::size_t row, dcm_severity severity, dcm_check_kind kind,
                           std::string_view message) {
    add_for(row, m_tags[row], severity, kind, message);
}

void dcm_check_source::add(std::size_t row, dcm_severity severity, dcm_check_kind kind,
                           dcm_message_form form, std::uint64_t first, std::uint64_t second) {
    const dcm_record& r = m_records[row];
    dcm_finding* f = added(r.offset, r.inflated, row, m_tags[row], severity, kind);
    if (!f) return;
    f->form = form;
    f->values[0] = first;
    f->values[1] = second;
}

void dcm_check_source::add_for(std::size_t row, std::uint32_t tag, dcm_severity severity,
                               dcm_check_kind kind, std::string_view message) {
    if (row < m_records.size()) {
        const dcm_record& r = m_records[row];
        add_at(r.offset, r.inflated, row, tag, severity, kind, message);
        return;
    }
    // Past the last row: the end of the bytes walked.
    const std::uint64_t end = m_records.empty() ? 0 : domain_size(m_records.back());
    const bool inflated = !m_records.empty() && m_records.back().inflated;
    add_at(end, inflated, row, tag, severity, kind, message);
}

void dcm_check_source::add_at(std::uint64_t offset, bool inflated, std::size_t row,
                              std::uint32_t tag, dcm_severity severity, dcm_check_kind kind,
                              std::string_view message) {
    if (dcm_finding* f = added(offset, inflated, row, tag, severity, kind))
        m_out.hold_text(*f, message);
}

dcm_finding* dcm_check_source::added(std::uint64_t offset, bool inflated, std::size_t row,
                                     std::uint32_t tag, dcm_severity severity,
                                     dcm_check_kind kind) {
    if (m_out.list.size() >= dcm_check_max_findings) {
        m_out.capped = true;
        return nullptr;
    }
    m_out.list.push_back({severity, kind, inflated, dcm_message_form::text, tag, offset, row, {}});
    return &m_out.list.back();
}

std::string dcm_check_syntax_uid(const dcm_check_source& source) {
    for (std::size_t row = 0; row < source.rows().size(); ++row) {
        const dcm_record& r = source.rows().record(row);
        if (r.level != 0 || (source.tag(row) >> 16) != 0x0002) break;
        if (source.tag(row) == tag_transfer_syntax_uid)
            return std::string(dcm_trimmed(source.element(row).bytes()));
    }
    return {};
}

namespace {

// A media directory is no composite object.
constexpr std::string_view directory_class = "1.2.840.10008.1.3.10";

}  // namespace

bool dcm_check_composite(const dcm_check_source& source) {
    const std::size_t row = source.top_level(tag_media_storage_sop_class_uid);
    if (row < source.size() && dcm_trimmed(source.element(row).bytes()) == directory_class)
        return false;
    for (std::size_t i = 0; i < source.size(); ++i)
        if (source.record(i).level == 0 && (source.tag(i) >> 16) != 0x0002) return true;
    return false;
}

std::string_view dcm_trimmed(std::string_view value) {
    while (!value.empty() && (value.back() == ' ' || value.back() == '\0')) value.remove_suffix(1);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    return value;
}

bool dcm_check_us(const dcm_check_element& e, std::uint16_t& out) {
    if (e.size < 2) return false;
    out = e.order == dcm_byte_order::big ? dcm_load<std::uint16_t, dcm_byte_order::big>(e.value)
                                         : dcm_load<std::uint16_t>(e.value);
    return true;
}

bool dcm_check_ul(const dcm_check_element& e, std::uint32_t& out) {
    if (e.size < 4) return false;
    out = e.order == dcm_byte_order::big ? dcm_load<std::uint32_t, dcm_byte_order::big>(e.value)
                                         : dcm_load<std::uint32_t>(e.value);
    return true;
}

const char* dcm_check_name(std::uint32_t tag) {
    const dcm_full_entry* entry = dcm_full_find(tag);
    return entry && entry->name ? entry->name : "";
}

}  // namespace velk
