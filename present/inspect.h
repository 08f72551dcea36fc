// The inspector's content: one element shown whole, as lines of text. A header
// (tag, name, VR, length, offset), then the value: text in full, numbers one per
// line with their index, anything else as a dump of hex and characters with file
// offsets. Lines are made on request from the file's bytes, so that a value of a
// gigabyte costs no more to open and no more memory than a short one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "parse/record.h"
#include "parse/vr_table.h"
#include "present/charset.h"
#include "present/interpret_cells.h"
#include "present/reading.h"

namespace velk {

// Bytes per line of a dump, and characters per line of a text before it wraps.
constexpr std::size_t dcm_inspect_dump_width = 16;
constexpr std::size_t dcm_inspect_text_width = 256;
// Text values longer than this are shown in lines of dcm_inspect_text_width
// bytes instead of being split at their line breaks and values, which would
// need an index as long as the value.
constexpr std::uint64_t dcm_inspect_text_index_limit = 1u << 20;

class dcm_inspection {
public:
    // An empty inspection: one line, "no element".
    dcm_inspection();
    // The element at `c` of the bytes [begin, end) its offset counts in (the
    // file, or for an inflated record the inflated data set: its offsets are
    // then written "z190", as the list writes them); `character_set` is the value
    // of the Specific Character Set in effect for it (empty: the default).
    // `reading`: how the record is read, which gives its tag's byte order and
    // (Interpret) the VR of an element read without one, "(US)".
    dcm_inspection(const char* begin, const char* end, const dcm_record& c,
                   std::string character_set,
                   const dcm_record_reading& reading = dcm_default_reading());

    std::size_t line_count() const { return m_header.size() + m_value_lines; }
    // Line i in UTF-8, read from the bytes [begin, end) as they are now: pass the
    // same bytes, the file mapped again. Bytes no longer there give empty lines.
    // A text value is decoded by the character set given, as the list's
    // Interpret cells are (present/charset.h).
    std::string line(std::size_t i, const char* begin, const char* end) const;
    // Whether its offsets count in a deflated data set's inflated bytes.
    bool inflated() const { return m_inflated; }

private:
    enum class value_kind { none, text, numbers, dump };

    void lay_out_text(const char* value, std::uint64_t size);
    std::string text_line(std::size_t i, const char* value, std::uint64_t size) const;
    std::string number_line(std::size_t i, const char* value) const;
    std::string dump_line(std::size_t i, const char* value, std::uint64_t size) const;

    std::vector<std::string> m_header;
    value_kind m_kind = value_kind::none;
    char m_vr[2] = {0, 0};
    std::uint64_t m_value_offset = 0;  // in the file
    std::uint64_t m_value_size = 0;    // the bytes the file holds, at most the length
    std::size_t m_value_lines = 0;
    std::size_t m_number_size = 0;
    dcm_number_type m_number = dcm_number_type::none;
    bool m_indexed_values = false;            // text lines are "[i] value" for multi-valued VRs
    std::vector<std::uint32_t> m_text_lines;  // start of each text line, then the end
    std::vector<std::uint32_t> m_text_value;  // the value index of each text line
    dcm_charset m_charset;                    // the text's character set
    dcm_text_form m_text_form = dcm_text_form::text;
    bool m_inflated = false;
    bool m_big_endian = false;  // numbers of an explicit VR big endian data set
};

// The value of (0008,0005) that applies to the row `row` of records given in
// file order: the nearest one in the row's own data set or in
// a data set enclosing it. Empty when there is none. [begin, end) are the
// bytes the row's offset counts in; rows counted in the other bytes (the file
// meta group before a deflated data set) are passed over.
std::string dcm_character_set_for(const char* begin, const char* end,
                                  const std::vector<dcm_record>& rows, std::size_t row);

}  // namespace velk
