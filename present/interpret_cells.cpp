#include "present/interpret_cells.h"

#include <charconv>
#include <cstring>

#include "parse/tags.h"
#include "present/cell_text.h"
#include "present/dictionary_full.h"
#include "present/interpret_value.h"
#include "present/unknown_value.h"

namespace velk {

namespace {

constexpr std::uint64_t stream_end = UINT64_MAX;

std::size_t put(const char* text, std::size_t n, char* out, std::size_t capacity) {
    if (n > capacity - 1) n = capacity - 1;
    std::memcpy(out, text, n);
    out[n] = '\0';
    return n;
}

// A short text (under 16 bytes) made by `make(out)`, which answers its end:
// written in place when the cell has room for any such text (a copy through a
// scratch buffer costs more than the text), cut as a cell is otherwise.
template <class Make>
std::size_t put_short(char* out, std::size_t capacity, const Make& make) {
    constexpr std::size_t room = 16;
    if (capacity > room) {
        char* end = make(out);
        *end = '\0';
        return static_cast<std::size_t>(end - out);
    }
    char text[room];
    return put(text, static_cast<std::size_t>(make(text) - text), out, capacity);
}

std::size_t put_name(std::uint32_t tag, const dcm_private_entry* private_entry, char* out,
                     std::size_t capacity) {
    if (private_entry) {
        std::size_t n = put("[", 1, out, capacity);
        const char* name = private_entry->name_text();
        n += put(name, std::strlen(name), out + n, capacity - n);
        return n + put("]", 1, out + n, capacity - n);
    }
    const dcm_full_entry* entry = dcm_full_find(tag);
    if (!entry) return put("", 0, out, capacity);
    const std::size_t n = put(entry->name, std::strlen(entry->name), out, capacity);
    if (!entry->retired) return n;
    return n + put(" (RET)", 6, out + n, capacity - n);
}

// An element with a value of its own whose VR nothing gives: UN, or none.
// Items, delimiters and containers hold elements, not a value.
bool has_unknown_value(const dcm_interpret_row& row, const dcm_record& r) {
    const bool none = row.vr.vr[0] == 0 && row.vr.vr[1] == 0;
    const bool un = row.vr.vr[0] == 'U' && row.vr.vr[1] == 'N';
    return (none || un) && !r.container && row.has_tag && dcm_tag_group(row.tag) != item_group;
}

}  // namespace

const char* dcm_interpret_dictionary_vr(std::uint32_t tag) {
    const dcm_full_entry* entry = dcm_full_find(tag);
    return entry ? entry->vr : nullptr;
}

void dcm_interpret_document::bytes_of(const dcm_record& r, const char*& begin,
                                      const char*& end) const {
    if (r.inflated) {
        begin = data.inflated.data();
        end = begin + data.inflated.size();
    }
}

void dcm_interpret_document::find_charsets(const char* file_begin, const char* file_end,
                                           const std::vector<dcm_record>& records) {
    charsets.clear();
    open_spans.clear();
    signed_pixels = false;
    vr_waits_for_pixels = false;
    private_blocks = dcm_private_blocks();
    add_charsets(file_begin, file_end, records, 0);
}

void dcm_interpret_document::add_charsets(const char* file_begin, const char* file_end,
                                          const std::vector<dcm_record>& records,
                                          std::size_t first) {
    std::vector<int>& open = open_spans;
    for (std::size_t i = first; i < records.size(); ++i) {
        const dcm_record& r = records[i];
        // A record outside a span's level, or in the other bytes, ends it.
        while (!open.empty()) {
            dcm_charset_span& s = charsets[static_cast<std::size_t>(open.back())];
            if (s.inflated == r.inflated && r.level >= s.level) break;
            s.end = s.inflated == r.inflated ? r.offset : stream_end;
            open.pop_back();
        }
        const char* begin = file_begin;
        const char* end = file_end;
        bytes_of(r, begin, end);
        const std::uint64_t size = begin && end > begin ? std::uint64_t(end - begin) : 0;
        if (r.offset + std::uint64_t(4) > size) continue;
        const auto* p = reinterpret_cast<const unsigned char*>(begin) + r.offset;
        const std::uint32_t tag = dcm_load_tag(p, r.byte_order());
        private_blocks.add(begin, size, r, tag);
        // The range first: most tags are outside it, and the test runs for every row.
        if (!vr_waits_for_pixels && tag >= dcm_full_us_or_ss[0] &&
            tag <= dcm_full_us_or_ss[dcm_full_us_or_ss_size - 1] && dcm_full_is_us_or_ss(tag) &&
            dcm_interpret_vr(tag, r.vr, r.length).from_dictionary)
            vr_waits_for_pixels = true;
        if (r.offset + std::uint64_t(8) > size) continue;
        const std::uint64_t value = r.value_offset();
        if (tag == tag_pixel_representation && r.level == 0 && r.length >= 2 && value + 2 <= size) {
            const auto* v = reinterpret_cast<const unsigned char*>(begin + value);
            signed_pixels = (r.byte_order() == dcm_byte_order::big
                                 ? dcm_load<std::uint16_t, dcm_byte_order::big>(v)
                                 : dcm_load<std::uint16_t>(v)) == 1;
        }
        if (tag != tag_specific_character_set) continue;
        if (r.length == undefined_length || value + r.length > size) continue;
        dcm_charset_span s;
        s.inflated = r.inflated;
        s.begin = r.offset;
        s.end = stream_end;
        s.level = r.level;
        s.parent = open.empty() ? -1 : open.back();
        s.charset = dcm_charset_from_value(begin + value, r.length);
        charsets.push_back(s);
        open.push_back(static_cast<int>(charsets.size() - 1));
    }
}

const dcm_charset& dcm_interpret_document::charset_at(const dcm_record& r) const {
    static const dcm_charset default_repertoire;
    // The last span that starts at or before the record, then out through its parents.
    int i = -1;
    for (std::size_t k = charsets.size(); k-- > 0;) {
        if (charsets[k].inflated == r.inflated && charsets[k].begin <= r.offset) {
            i = static_cast<int>(k);
            break;
        }
    }
    while (i >= 0) {
        const dcm_charset_span& s = charsets[static_cast<std::size_t>(i)];
        if (s.inflated == r.inflated && r.offset < s.end) return s.charset;
        i = s.parent;
    }
    return default_repertoire;
}

dcm_shown_vr dcm_interpret_document::vr_of(std::uint32_t tag, const dcm_record& r,
                                           const dcm_private_entry** private_entry) const {
    dcm_shown_vr vr = dcm_interpret_vr(tag, r.vr, r.length);
    if (signed_pixels && vr.from_dictionary && vr.vr[0] == 'U' && vr.vr[1] == 'S' &&
        dcm_full_is_us_or_ss(tag))
        vr.vr[0] = 'S';
    const dcm_private_entry* entry =
        dcm_is_private_element(tag) ? private_blocks.entry_of(r) : nullptr;
    if (private_entry) *private_entry = entry;
    return entry ? dcm_private_vr(vr, entry, r) : vr;
}

dcm_interpret_row dcm_interpret_row_of(const char* file_begin, const char* file_end,
                                       const dcm_interpret_document& document,
                                       const dcm_record& r) {
    dcm_interpret_row row{};
    const char* end = file_end;
    row.begin = file_begin;
    document.bytes_of(r, row.begin, end);
    row.size = row.begin && end > row.begin ? std::uint64_t(end - row.begin) : 0;
    if (r.offset >= row.size) return row;
    row.has_tag = row.size - r.offset >= 4;
    if (row.has_tag)
        row.tag = dcm_load_tag(reinterpret_cast<const unsigned char*>(row.begin) + r.offset,
                               r.byte_order());
    row.vr = document.vr_of(row.tag, r, &row.private_entry);
    if (!row.has_tag) row.private_entry = nullptr;
    return row;
}

std::size_t dcm_interpret_cell_text(const char* file_begin, const char* file_end,
                                    const dcm_interpret_document& document, const dcm_record& r,
                                    int column, char* out, std::size_t capacity) {
    return dcm_interpret_cell_text(dcm_interpret_row_of(file_begin, file_end, document, r),
                                   document, r, column, out, capacity);
}

std::size_t dcm_interpret_cell_text(const dcm_interpret_row& row,
                                    const dcm_interpret_document& document, const dcm_record& r,
                                    int column, char* out, std::size_t capacity) {
    if (capacity == 0) return 0;
    out[0] = '\0';
    if (r.offset >= row.size) return 0;
    // Size and offset are the record's own: no tag is read for them.
    switch (column) {
    case dcm_column_tag: return row.has_tag ? dcm_put_tag(row.tag, out, capacity) : 0;
    case dcm_column_vr:
        if (!row.has_tag && r.vr[0] == 0) return 0;
        return put_short(out, capacity,
                         [&](char* p) { return p + dcm_interpret_vr_text(row.vr, p); });
    case dcm_column_size:
        return put_short(out, capacity, [&](char* p) {
            return std::to_chars(p, p + 11, static_cast<std::int32_t>(r.length)).ptr;
        });
    case dcm_column_description:
        return row.has_tag ? put_name(row.tag, row.private_entry, out, capacity) : 0;
    case dcm_column_data: {
        const std::uint64_t value = r.value_offset();
        if (value > row.size) return 0;
        std::uint64_t stop = r.length == undefined_length ? row.size : value + r.length;
        if (stop > row.size) stop = row.size;
        const char* vr_code = row.vr.vr[0] || row.vr.vr[1] ? row.vr.vr : nullptr;
        if (has_unknown_value(row, r))
            return dcm_unknown_value_cut(out, capacity, row.begin + value, row.begin + stop,
                                         dcm_cell_byte_limit);
        return dcm_interpret_value_cut(out, capacity, vr_code, row.begin + value, row.begin + stop,
                                       r.byte_order(), document.charset_at(r), dcm_cell_byte_limit);
    }
    case dcm_column_offset:
        return put_short(out, capacity, [&](char* p) {
            if (r.inflated) *p++ = 'z';
            // The offset has at most 15 digits (below 2^48): with the "z", 16.
            return std::to_chars(p, p + 15, std::uint64_t(r.offset)).ptr;
        });
    default: return 0;
    }
}

}  // namespace velk
