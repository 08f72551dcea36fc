// What every part of the check reads: the records of a whole load (every
// container expanded), each one's tag, and its value's bytes, never past the
// bytes its offset counts in; and the findings it adds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check/finding.h"
#include "parse/reader.h"
#include "parse/record.h"
#include "present/row_model.h"

namespace velk {

// One element as the check reads it.
struct dcm_check_element {
    std::uint32_t tag = 0;
    bool has_tag = false;  // its four tag bytes are there
    const char* value = nullptr;
    std::uint64_t size = 0;  // value bytes held: the declared length, cut by the end
    bool whole = false;      // the declared (defined) length lies within the bytes
    dcm_byte_order order = dcm_byte_order::little;

    std::string_view bytes() const { return {value, static_cast<std::size_t>(size)}; }
};

class dcm_check_source {
public:
    dcm_check_source(const dcm_row_model& rows, dcm_bytes file, dcm_findings& out);

    const dcm_row_model& rows() const { return m_rows; }
    dcm_bytes file() const { return m_file; }
    // The rows checked: all of them, or only the file meta information when
    // the reading does not read the data set (see data_set_read()).
    std::size_t size() const { return m_count; }
    // Whether the reading reads the data set: the default reading walks a
    // big-endian or deflated one as explicit VR little endian, which gives
    // rows but not its elements.
    bool data_set_read() const { return m_count == m_records.size(); }
    const dcm_record& record(std::size_t row) const { return m_records[row]; }
    std::uint32_t tag(std::size_t row) const { return m_tags[row]; }
    dcm_check_element element(std::size_t row) const;
    // How many bytes the record's offset counts in (the file's or the inflated ones).
    std::uint64_t domain_size(const dcm_record& r) const;
    // Whether the walk read every declared byte.
    bool walk_complete() const { return m_rows.walk_result().complete(); }

    // The first row of the top data set with this tag, or size().
    std::size_t top_level(std::uint32_t tag) const;
    // Where an element of the top data set with this tag belongs: the row of the
    // first one with a greater tag, or size().
    std::size_t top_level_place(std::uint32_t tag) const;

    // A finding about row `row`, at its offset.
    void add(std::size_t row, dcm_severity severity, dcm_check_kind kind, std::string_view message);
    // The same, its sentence made from `form` and `first`, `second` when it is read.
    void add(std::size_t row, dcm_severity severity, dcm_check_kind kind, dcm_message_form form,
             std::uint64_t first = 0, std::uint64_t second = 0);
    // The same for a tag that is not the row's (a missing element, found at
    // where it belongs, or at the end).
    void add_for(std::size_t row, std::uint32_t tag, dcm_severity severity, dcm_check_kind kind,
                 std::string_view message);
    void add_at(std::uint64_t offset, bool inflated, std::size_t row, std::uint32_t tag,
                dcm_severity severity, dcm_check_kind kind, std::string_view message);

private:
    const dcm_row_model& m_rows;
    dcm_bytes m_file;
    const std::vector<dcm_record>& m_records;
    // A new finding at the end of the list, or null when the list is full.
    dcm_finding* added(std::uint64_t offset, bool inflated, std::size_t row, std::uint32_t tag,
                       dcm_severity severity, dcm_check_kind kind);

    dcm_findings& m_out;
    std::size_t m_count;
    std::vector<std::uint32_t> m_tags;
    // The top data set's rows, ascending by tag (m_tags), then row. A load
    // holds fewer than 2^32 rows: at 16 bytes a record, more would take 64 GiB.
    std::vector<std::uint32_t> m_top;
};

// The transfer syntax's UID as the file meta information gives it, or "".
std::string dcm_check_syntax_uid(const dcm_check_source& source);

// Whether the file holds a data set that is a composite object (not a media
// directory, not the file meta information alone).
bool dcm_check_composite(const dcm_check_source& source);

// The value as text without its trailing padding (spaces and NULs) and leading spaces.
std::string_view dcm_trimmed(std::string_view value);
// An unsigned 16-bit value read in the element's byte order, or false.
bool dcm_check_us(const dcm_check_element& e, std::uint16_t& out);
bool dcm_check_ul(const dcm_check_element& e, std::uint32_t& out);
// The dictionary name of a tag, or "" when it has none.
const char* dcm_check_name(std::uint32_t tag);

// The parts of the check; each adds its findings in any order.
void dcm_check_structure(dcm_check_source& source);
void dcm_check_meta(dcm_check_source& source);
void dcm_check_pixels(dcm_check_source& source);
void dcm_check_required(dcm_check_source& source);
void dcm_check_values(dcm_check_source& source);

}  // namespace velk
