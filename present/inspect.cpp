#include "present/inspect.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "parse/header.h"
#include "present/cell_text.h"
#include "present/dictionary.h"
#include "present/interpret_value.h"

namespace velk {

namespace {

std::uint64_t read_number(const char* p, std::size_t n, bool big_endian) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i)
        v = (v << 8) | static_cast<unsigned char>(p[big_endian ? i : n - 1 - i]);
    return v;
}

std::string hex4(unsigned v) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s(4, '0');
    for (int i = 0; i < 4; ++i) s[std::size_t(i)] = digits[(v >> (12 - 4 * i)) & 0xF];
    return s;
}

template <class Number>
std::string decimal(Number v) {
    char text[40];
    return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

std::string file_size_line(std::uint64_t there, std::uint64_t declared) {
    return "Cut by the end of the file: " + decimal(there) + " of " + decimal(declared) +
           " bytes are there";
}

std::uint64_t size_of(const char* begin, const char* end) {
    return begin && end > begin ? std::uint64_t(end - begin) : 0;
}

// An offset as the list writes it: "z" before one in inflated bytes.
std::string offset_text(std::uint64_t offset, bool inflated) {
    return (inflated ? "z" : "") + decimal(offset);
}

}  // namespace

dcm_inspection::dcm_inspection() : m_header{"no element"} {}

dcm_inspection::dcm_inspection(const char* begin, const char* end, const dcm_record& c,
                               std::string character_set, const dcm_record_reading& reading) {
    const std::uint64_t file_size = size_of(begin, end);
    char cell[dcm_cell_capacity];
    const auto cell_text = [&](int column) {
        reading.cell_text({begin, end}, c, column, cell, sizeof cell);
        return std::string(cell);
    };
    m_header.push_back("Tag: " + cell_text(dcm_column_tag));
    const std::string name = cell_text(dcm_column_description);
    m_header.push_back("Name: " + (name.empty() ? std::string("(not in the dictionary)") : name));
    m_vr[0] = c.vr[0];
    m_vr[1] = c.vr[1];
    m_big_endian = reading.byte_order(c) == dcm_byte_order::big;
    const dcm_interpret_row row = reading.row_of({begin, end}, c);
    const dcm_shown_vr& shown = row.vr;
    if (row.has_tag && shown.from_dictionary && shown.vr[0] && shown.vr[1]) {
        // the value is read by the dictionary's VR
        m_vr[0] = shown.vr[0];
        m_vr[1] = shown.vr[1];
        m_header.push_back("VR: " + cell_text(dcm_column_vr) + ", from the dictionary");
    } else {
        m_header.push_back(m_vr[0] ? "VR: " + std::string(m_vr, m_vr[1] ? 2 : 1) : "VR: (none)");
    }
    const bool undefined = c.length == undefined_length;
    m_header.push_back(undefined ? "Length: undefined (FFFFFFFFH)"
                                 : "Length: " + decimal(c.length));
    m_value_offset = std::uint64_t(c.offset) + c.header_length;
    m_inflated = c.inflated;
    m_header.push_back("Offset: " + offset_text(c.offset, m_inflated) + ", value at " +
                       offset_text(m_value_offset, m_inflated) +
                       (m_inflated ? " (in the inflated data set)" : ""));
    if (c.container) {
        m_header.push_back("A sequence or item: the elements it holds are the rows below it");
        return;
    }
    const std::uint64_t there = m_value_offset < file_size ? file_size - m_value_offset : 0;
    m_value_size = undefined || c.length > there ? there : c.length;
    if (!undefined && c.length > there) m_header.push_back(file_size_line(there, c.length));
    const char* value = begin ? begin + (m_value_offset < file_size ? m_value_offset : 0) : nullptr;
    const dcm_vr_info* vr = m_vr[0] ? dcm_find_vr(m_vr) : nullptr;
    if (vr && vr->kind == dcm_vr_kind::text) {
        m_kind = value_kind::text;
        // Decoded as the list's Interpret cells decode: by the character set for
        // the VRs it applies to, else by the default repertoire.
        if (dcm_charset_text_form(m_vr, m_text_form))
            m_charset = dcm_charset_from_value(character_set.data(), character_set.size());
        else
            m_text_form = dcm_text_form::text;
        m_header.push_back("Text in " + (character_set.empty()
                                             ? std::string("the default character set")
                                             : "character set " + character_set));
        m_header.emplace_back();
        lay_out_text(value, m_value_size);
    } else if (vr && vr->number != dcm_number_type::none) {
        m_kind = value_kind::numbers;
        m_number = vr->number;
        m_number_size = vr->unit_size;
        m_value_lines = std::size_t(m_value_size / m_number_size);
        m_header.push_back(decimal(m_value_lines) + (m_value_lines == 1 ? " number" : " numbers"));
        if (m_value_size % m_number_size)
            m_header.push_back(decimal(m_value_size % m_number_size) +
                               " bytes left over after the last number");
        m_header.emplace_back();
    } else {
        m_kind = value_kind::dump;
        m_value_lines =
            std::size_t((m_value_size + dcm_inspect_dump_width - 1) / dcm_inspect_dump_width);
        m_header.push_back(decimal(m_value_size) + " bytes");
        m_header.emplace_back();
    }
}

// Splits the text into lines at its line breaks, at the backslashes between
// values where the VR has several, and every dcm_inspect_text_width bytes.
void dcm_inspection::lay_out_text(const char* value, std::uint64_t size) {
    if (size > dcm_inspect_text_index_limit) {
        m_value_lines = std::size_t((size + dcm_inspect_text_width - 1) / dcm_inspect_text_width);
        return;
    }
    const dcm_vr_info* vr = dcm_find_vr(m_vr);
    m_indexed_values = vr && vr->multi_valued;
    std::uint32_t start = 0, index = 0;
    const auto end_line = [&](std::uint32_t at, std::uint32_t next) {
        m_text_lines.push_back(start);
        m_text_lines.push_back(at);
        m_text_value.push_back(index);
        start = next;
    };
    const auto n = std::uint32_t(size);
    for (std::uint32_t i = 0; i < n; ++i) {
        const char ch = value[i];
        if (i - start == dcm_inspect_text_width) end_line(i, i);
        if (ch == '\r' || ch == '\n') {
            const std::uint32_t next =
                (ch == '\r' && i + 1 < n && value[i + 1] == '\n') ? i + 2 : i + 1;
            end_line(i, next);
            i = next - 1;
        } else if (ch == '\\' && m_indexed_values) {
            end_line(i, i + 1);
            ++index;
        }
    }
    if (start < n || n == 0 || (m_indexed_values && value[n - 1] == '\\')) end_line(n, n);
    m_value_lines = m_text_value.size();
}

std::string dcm_inspection::line(std::size_t i, const char* begin, const char* end) const {
    if (i < m_header.size()) return m_header[i];
    i -= m_header.size();
    if (i >= m_value_lines) return {};
    // The file may have changed since the layout: read only what is there now.
    const std::uint64_t file_size = size_of(begin, end);
    if (m_value_offset > file_size) return {};
    const std::uint64_t size = std::min(m_value_size, file_size - m_value_offset);
    const char* value = begin + m_value_offset;
    switch (m_kind) {
    case value_kind::text: return text_line(i, value, size);
    case value_kind::numbers:
        return (i + 1) * m_number_size <= size ? number_line(i, value) : std::string();
    case value_kind::dump: return dump_line(i, value, size);
    default: return {};
    }
}

std::string dcm_inspection::text_line(std::size_t i, const char* value, std::uint64_t size) const {
    std::uint64_t first, last;
    std::string text;
    if (m_text_value.empty()) {
        first = std::uint64_t(i) * dcm_inspect_text_width;
        last = first + dcm_inspect_text_width;
    } else {
        first = m_text_lines[2 * i];
        last = m_text_lines[2 * i + 1];
        if (m_indexed_values) text = "[" + decimal(m_text_value[i]) + "] ";
    }
    if (last > size) last = size;
    std::string bytes;
    for (std::uint64_t k = first; k < last; ++k) bytes += value[k] == '\0' ? '.' : value[k];
    dcm_decode_text(m_charset, m_text_form, bytes.data(), bytes.size(), text);
    return text;
}

std::string dcm_inspection::number_line(std::size_t i, const char* value) const {
    const char* p = value + i * m_number_size;
    const std::uint64_t bits = read_number(p, m_number_size, m_big_endian);
    std::string text = "[" + decimal(i) + "] ";
    switch (m_number) {
    case dcm_number_type::tag:
        return text + "(" + hex4(unsigned(read_number(p, 2, m_big_endian))) + "," +
               hex4(unsigned(read_number(p + 2, 2, m_big_endian))) + ")";
    case dcm_number_type::f32: {
        float f;
        const auto b32 = std::uint32_t(bits);
        std::memcpy(&f, &b32, 4);
        return text + decimal(f);
    }
    case dcm_number_type::f64: {
        double d;
        std::memcpy(&d, &bits, 8);
        return text + decimal(d);
    }
    case dcm_number_type::s16: return text + decimal(std::int16_t(bits));
    case dcm_number_type::s32: return text + decimal(std::int32_t(bits));
    case dcm_number_type::s64: return text + decimal(std::int64_t(bits));
    default: return text + decimal(bits);
    }
}

std::string dcm_inspection::dump_line(std::size_t i, const char* value, std::uint64_t size) const {
    static const char digits[] = "0123456789ABCDEF";
    const std::uint64_t first = std::uint64_t(i) * dcm_inspect_dump_width;
    if (first >= size) return {};
    const std::size_t n =
        std::size_t(std::min<std::uint64_t>(dcm_inspect_dump_width, size - first));
    // Every line's offset right-aligned to the widest of the value's (at least
    // 10 digits), so that the columns stay aligned past 9.3 GiB too.
    const std::uint64_t last_line = (m_value_size - 1) / dcm_inspect_dump_width;
    const std::size_t width = std::max<std::size_t>(
        10, offset_text(m_value_offset + last_line * dcm_inspect_dump_width, m_inflated).size());
    std::string offset = offset_text(m_value_offset + first, m_inflated);
    std::string text(offset.size() < width ? width - offset.size() : 0, ' ');
    text += offset;
    text += "  ";
    std::string chars;
    for (std::size_t k = 0; k < dcm_inspect_dump_width; ++k) {
        if (k == dcm_inspect_dump_width / 2) text += ' ';
        if (k < n) {
            const auto b = static_cast<unsigned char>(value[first + k]);
            text += digits[b >> 4];
            text += digits[b & 0xF];
            text += ' ';
            chars += b >= 0x20 && b < 0x7F ? char(b) : '.';
        } else {
            text += "   ";
        }
    }
    return text + ' ' + chars;
}

std::string dcm_character_set_for(const char* begin, const char* end,
                                  const std::vector<dcm_record>& rows, std::size_t row) {
    if (row >= rows.size()) return {};
    const std::uint64_t file_size = size_of(begin, end);
    std::uint32_t level = rows[row].level;
    for (std::size_t r = row + 1; r-- > 0;) {
        const dcm_record& c = rows[r];
        if (c.level < level) level = c.level;  // an enclosing row: go on in its data set
        if (c.level != level || c.inflated != rows[row].inflated) continue;
        if (std::uint64_t(c.offset) + 4 > file_size) continue;
        const char* p = begin + c.offset;
        if (dcm_load_tag(p, c.byte_order()) != tag_specific_character_set) continue;
        const std::uint64_t value = std::uint64_t(c.offset) + c.header_length;
        if (value > file_size) return {};
        const std::uint64_t size = std::min<std::uint64_t>(c.length, file_size - value);
        std::string text(begin + value, std::size_t(std::min<std::uint64_t>(size, 256)));
        while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
        return text;
    }
    return {};
}

}  // namespace velk
