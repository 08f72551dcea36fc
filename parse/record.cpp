#include "parse/record.h"

#include <cstdio>
#include <cstring>

#include "parse/file.h"
#include "parse/parser.h"

namespace velk {

const char* dcm_walk_status_text(dcm_walk_status status) {
    switch (status) {
    case dcm_walk_status::complete: return "complete";
    case dcm_walk_status::not_part10: return "not a DICOM part-10 file";
    case dcm_walk_status::header_cut: return "element header cut by the end of the file";
    case dcm_walk_status::value_past_end: return "value longer than the rest of the file";
    case dcm_walk_status::missing_delimiter: return "no delimiter before the end of the file";
    case dcm_walk_status::stray_delimiter: return "delimiter inside a value of defined length";
    case dcm_walk_status::nesting_too_deep: return "nested too deep to descend";
    case dcm_walk_status::out_of_memory: return "out of memory";
    case dcm_walk_status::inflate_stopped:
        return "deflated data set cut short, damaged or over the inflate cap";
    case dcm_walk_status::offset_too_large: return "element past the 256 TiB an offset holds";
    }
    return "";
}

std::string dcm_walk_end_text(const dcm_walk_result& walk) {
    switch (walk.status) {
    case dcm_walk_status::complete:
    case dcm_walk_status::not_part10:
    case dcm_walk_status::out_of_memory: return dcm_walk_status_text(walk.status);
    default: break;
    }
    std::string text = "stopped at " + std::to_string(walk.offset);
    if (walk.tag != 0) {
        char tag[16];
        std::snprintf(tag, sizeof tag, ", (%04X,%04X)", unsigned(walk.tag >> 16),
                      unsigned(walk.tag & 0xFFFF));
        text += tag;
    }
    return text + ": " + dcm_walk_status_text(walk.status);
}

dcm_record_insert::dcm_record_insert(std::vector<dcm_record>& records, std::uint32_t level,
                                     bool recurse, dcm_syntax mode, dcm_record_chunks* chunks)
    : m_records(records), m_chunks(chunks), m_level(level), m_open{{recurse, mode}} {}

void dcm_record_insert::set_base(const void* base) {
    m_base = static_cast<const unsigned char*>(base);
}

bool dcm_record_insert::enter(const void*, std::uint32_t, std::uint32_t, dcm_syntax mode) {
    m_open.push_back({m_open.back().recurse && !dcm_is_opaque_vr(m_last_vr), mode});
    ++m_level;
    return true;
}

bool dcm_record_insert::leave(std::uint64_t) {
    if (m_open.size() > 1) m_open.pop_back();
    --m_level;
    return false;
}

dcm_visit dcm_record_insert::element(const void* start, dcm_syntax mode, std::uint32_t,
                                     const char* vr, bool container, const void* value,
                                     std::uint32_t length) {
    const auto* first = static_cast<const unsigned char*>(start);
    const auto offset = static_cast<std::uint64_t>(first - m_base);
    // The file walk has noted it and ends; a re-parse stops here too.
    if (offset >= dcm_record_offset_limit) return visit_stop;
    dcm_record r;
    r.offset = offset;
    r.length = length;
    r.level = m_level;
    r.vr[0] = m_last_vr[0] = vr ? vr[0] : 0;
    r.vr[1] = m_last_vr[1] = vr ? vr[1] : 0;
    r.header_length = static_cast<std::uint8_t>(static_cast<const unsigned char*>(value) - first);
    r.syntax = m_open.back().mode;
    r.container = container;
    r.recurse = m_open.back().recurse;
    r.inflated = false;
    m_records.push_back(r);
    if (m_chunks) m_chunks->added(m_records);
    m_open.back().mode = mode;
    return visit_descend;
}

namespace {

// The walk of a whole file: the collecting visitor as a final type, so that the
// parser calls it directly (and inlines it) rather than through the interface.
class whole_file_insert final : public dcm_record_insert {
public:
    using dcm_record_insert::dcm_record_insert;
};

}  // namespace

dcm_walk_result dcm_read_records(const char* begin, const char* end,
                                 std::vector<dcm_record>& records, dcm_record_chunks* chunks) {
    whole_file_insert visitor(records, 0, true, syntax_explicit_le, chunks);
    return dcm_parse_file_as(begin, end, visitor);
}

namespace {

// Stops the walk at once unless its first element is the expected container.
class checked_reparse : public dcm_record_insert {
public:
    checked_reparse(std::vector<dcm_record>& records, const char* base, const dcm_record& row)
        : dcm_record_insert(records, row.level, row.recurse, row.syntax), m_row(row) {
        set_base(base);
    }

    dcm_visit element(const void* start, dcm_syntax mode, std::uint32_t tag, const char* vr,
                      bool container, const void* value, std::uint32_t length) override {
        if (!m_checked) {
            m_checked = true;
            const char none[2] = {0, 0};
            const char* actual = vr ? vr : none;
            m_matched =
                container && length == m_row.length && std::memcmp(actual, m_row.vr, 2) == 0;
            if (!m_matched) return visit_stop;
        }
        return dcm_record_insert::element(start, mode, tag, vr, container, value, length);
    }

    bool matched() const { return m_matched; }

private:
    const dcm_record& m_row;
    bool m_checked = false;
    bool m_matched = false;
};

}  // namespace

std::vector<dcm_record> dcm_reparse_record(const char* begin, const char* end,
                                           const dcm_record& row) {
    std::vector<dcm_record> records;
    if (!begin || !row.container) return records;
    if (row.offset > dcm_bytes_left(begin, end)) return records;
    checked_reparse visitor(records, begin, row);
    dcm_parse(begin + row.offset, row.length, visitor, row.recurse, row.syntax, true, end,
              unsigned(row.level));
    if (!visitor.matched()) records.clear();
    return records;
}

}  // namespace velk
