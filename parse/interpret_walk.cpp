#include "parse/interpret_walk.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "parse/file.h"
#include "parse/header.h"
#include "parse/parser.h"
#include "parse/reader.h"

namespace velk {

namespace {

constexpr std::uint32_t meta_group = 0x0002;

struct header {
    std::uint32_t tag;
    std::uint32_t length;
    char vr[2];
    std::uint8_t header_length;
    bool explicit_vr;
};

template <dcm_byte_order order>
bool decode_in(const char* p, const char* end, bool implicit, header& h) {
    if (!dcm_fits(p, end, 8)) return false;
    h.tag = dcm_load_tag(p, order);
    h.explicit_vr = !dcm_has_no_vr(h.tag) && !implicit;
    h.vr[0] = h.vr[1] = 0;
    if (!h.explicit_vr) {
        h.length = dcm_load<std::uint32_t, order>(p + 4);
        h.header_length = 8;
        return true;
    }
    h.vr[0] = p[4];
    h.vr[1] = p[5];
    if (dcm_is_long_form_vr(h.vr)) {
        if (!dcm_fits(p, end, 12)) return false;
        h.length = dcm_load<std::uint32_t, order>(p + 8);
        h.header_length = 12;
    } else {
        h.length = dcm_load<std::uint16_t, order>(p + 6);
        h.header_length = 8;
    }
    return true;
}

// Decodes the header at p in mode `mode`; false when it does not fit before end.
bool decode(const char* p, const char* end, dcm_syntax mode, header& h) {
    if (mode == syntax_explicit_be) return decode_in<dcm_byte_order::big>(p, end, false, h);
    return decode_in<dcm_byte_order::little>(p, end, mode == syntax_implicit_le, h);
}

bool is_un(const char* vr) { return dcm_vr_is(vr, "UN"); }

class walker {
public:
    walker(const char* base, const char* end, dcm_dictionary_vr dictionary,
           std::vector<dcm_record>& out, bool inflated, dcm_record_chunks* chunks = nullptr)
        : m_base(base), m_end(end), m_dictionary(dictionary), m_out(out), m_chunks(chunks),
          m_inflated(inflated) {}

    // Walks `length` bytes from `data` (or up to a delimiter), at nesting `level`.
    // Returns the bytes consumed, the ending delimiter's header included.
    std::uint32_t walk(const char* data, std::uint32_t length, dcm_syntax mode,
                       std::uint32_t level, bool recurse, bool stop_after_one) {
        std::uint32_t consumed = 0;
        const char* p = data;
        m_ended_by_delimiter = false;
        while (consumed < length) {
            header h;
            if (!decode(p, m_end, mode, h)) {
                note_cut(p, mode);
                break;
            }
            const char* value = p + h.header_length;
            const char* shown = effective_vr(h);
            const bool container = is_container(h, shown, recurse, level);
            push(p, h, mode, level, recurse, container);
            consumed += h.header_length;
            if (dcm_is_delimiter(h.tag)) {
                if (length != undefined_length) note(dcm_walk_status::stray_delimiter, h.tag, p);
                m_ended_by_delimiter = true;
                return consumed;
            }
            if (h.length != undefined_length && !dcm_fits(value, m_end, h.length))
                note(dcm_walk_status::value_past_end, h.tag, p);
            std::uint64_t step;
            if (container) {
                // A UN value holds implicit VR little endian, whatever the data set's syntax.
                const dcm_syntax nested = h.explicit_vr && is_un(h.vr) ? syntax_implicit_le : mode;
                const bool nested_recurse = recurse && !(shown && dcm_is_opaque_vr(shown));
                step = walk(value, h.length, nested, level + 1, nested_recurse, false);
                if (h.length == undefined_length && !m_ended_by_delimiter)
                    note(dcm_walk_status::missing_delimiter, h.tag, p);
                m_ended_by_delimiter = false;
            } else if (h.length == undefined_length) {
                // Only past the nesting guard: the rest of the bytes, not walked.
                note(dcm_walk_status::nesting_too_deep, h.tag, p);
                step = dcm_bytes_left(value, m_end);
            } else {
                step = h.length;
            }
            step = std::min<std::uint64_t>(step, dcm_bytes_left(value, m_end));
            p = value + step;
            consumed += static_cast<std::uint32_t>(step);
            if (stop_after_one) break;
        }
        return consumed;
    }

    dcm_walk_result result;

private:
    // The VR the walk decides by: the one read, or for an implicit or UN element
    // the dictionary's (null when it has none).
    const char* effective_vr(const header& h) const {
        if (h.explicit_vr && !is_un(h.vr)) return h.vr;
        if (dcm_has_no_vr(h.tag)) return nullptr;
        const char* known = m_dictionary ? m_dictionary(h.tag) : nullptr;
        return known && known[0] ? known : (h.explicit_vr ? h.vr : nullptr);
    }

    bool is_container(const header& h, const char* shown, bool recurse, std::uint32_t level) const {
        if (dcm_is_delimiter(h.tag)) return false;
        if (level >= dcm_max_nesting) return false;
        if (h.length == undefined_length) return true;
        const bool nestable = (shown && dcm_vr_is(shown, "SQ")) || h.tag == tag_item;
        return nestable && recurse && h.length != 0;
    }

    void push(const char* p, const header& h, dcm_syntax mode, std::uint32_t level, bool recurse,
              bool container) {
        dcm_record r{};
        r.offset = static_cast<std::uint32_t>(p - m_base);
        r.length = h.length;
        r.level = level;
        r.vr[0] = h.vr[0];
        r.vr[1] = h.vr[1];
        r.header_length = h.header_length;
        r.syntax = mode;
        r.container = container;
        r.recurse = recurse;
        r.inflated = m_inflated;
        m_out.push_back(r);
        if (m_chunks) m_chunks->added(m_out);
    }

    void note(dcm_walk_status status, std::uint32_t tag, const char* at) {
        if (result.status != dcm_walk_status::complete) return;
        result.status = status;
        result.tag = tag;
        result.offset = static_cast<std::uint32_t>(at - m_base);
    }

    void note_cut(const char* p, dcm_syntax mode) {
        const std::uint64_t left = dcm_bytes_left(p, m_end);
        if (left == 0) return;
        std::uint32_t tag = 0;
        if (left >= 4)
            tag = dcm_load_tag(p, mode == syntax_explicit_be ? dcm_byte_order::big : dcm_byte_order::little);
        note(dcm_walk_status::header_cut, tag, p);
    }

    const char* m_base;
    const char* m_end;
    dcm_dictionary_vr m_dictionary;
    std::vector<dcm_record>& m_out;
    dcm_record_chunks* m_chunks;
    bool m_inflated;
    bool m_ended_by_delimiter = false;
};

enum class named_syntax { none, implicit_le, explicit_le, explicit_be, deflated, other };

named_syntax syntax_of_uid(const char* value, std::uint32_t length) {
    std::string uid(value, length);
    while (!uid.empty() && (uid.back() == '\0' || uid.back() == ' ')) uid.pop_back();
    if (uid == "1.2.840.10008.1.2") return named_syntax::implicit_le;
    if (uid == "1.2.840.10008.1.2.1") return named_syntax::explicit_le;
    if (uid == "1.2.840.10008.1.2.2") return named_syntax::explicit_be;
    if (uid == "1.2.840.10008.1.2.1.99") return named_syntax::deflated;
    return named_syntax::other;
}

// The extent of the file meta group from `p` and the syntax it names.
const char* meta_end(const char* p, const char* end, named_syntax& named) {
    named = named_syntax::none;
    header h;
    while (decode(p, end, syntax_explicit_le, h) && (h.tag >> 16) == meta_group &&
           h.length != undefined_length) {
        const char* value = p + h.header_length;
        if (!dcm_fits(value, end, h.length)) return end;
        if (h.tag == tag_transfer_syntax_uid && h.length < 256) named = syntax_of_uid(value, h.length);
        p = value + h.length;
    }
    return p;
}

// Whether the two bytes after a tag are a VR: the explicit form shows itself.
bool looks_explicit(const char* p, const char* end) {
    if (!dcm_fits(p, end, 6)) return true;
    static const char* const codes[] = {"AE", "AS", "AT", "CS", "DA", "DS", "DT", "FD", "FL",
                                        "IS", "LO", "LT", "OB", "OD", "OF", "OL", "OV", "OW",
                                        "PN", "SH", "SL", "SQ", "SS", "ST", "SV", "TM", "UC",
                                        "UI", "UL", "UN", "UR", "US", "UT", "UV"};
    for (const char* code : codes) {
        if (p[4] == code[0] && p[5] == code[1]) return true;
    }
    return false;
}

}  // namespace

dcm_walk_result dcm_read_records_interpret(const char* begin, const char* end,
                                           dcm_dictionary_vr dictionary,
                                           std::vector<dcm_record>& records,
                                           dcm_interpret_data& data, std::size_t inflate_cap,
                                           dcm_record_chunks* chunks) {
    dcm_walk_result result;
    if (!begin || !dcm_has_marker(begin, end)) {
        result.status = dcm_walk_status::not_part10;
        return result;
    }
    const char* last = dcm_walk_end(begin, end);
    const char* meta = begin + dcm_stream_offset;
    named_syntax named;
    const char* data_set = meta_end(meta, last, named);

    walker file(begin, last, dictionary, records, false, chunks);
    file.walk(meta, static_cast<std::uint32_t>(data_set - meta), syntax_explicit_le, 0, true,
              false);
    if (named == named_syntax::deflated) {
        data.deflated = true;
        dcm_inflated inflated =
            dcm_inflate(data_set, static_cast<std::size_t>(dcm_bytes_left(data_set, last)),
                        inflate_cap);
        data.inflated = std::move(inflated.bytes);
        data.inflate_end = inflated.end;
        const char* first = data.inflated.data();
        const char* stop = first + data.inflated.size();
        walker set(first, stop, dictionary, records, true, chunks);
        set.walk(first, undefined_length - 1, syntax_explicit_le, 0, true, false);
        if (!file.result.complete()) return file.result;
        if (inflated.end != dcm_inflate_end::complete) {
            // What inflated is listed; the walk ended where the inflated bytes did.
            result.status = dcm_walk_status::inflate_stopped;
            result.offset = static_cast<std::uint32_t>(data_set - begin);
            return result;
        }
        return set.result;
    }
    dcm_syntax mode = named == named_syntax::explicit_be ? syntax_explicit_be
                      : named == named_syntax::implicit_le ? syntax_implicit_le
                                                            : syntax_explicit_le;
    if (mode != syntax_explicit_be)
        mode = looks_explicit(data_set, last) ? syntax_explicit_le : syntax_implicit_le;
    file.walk(data_set, undefined_length - 1, mode, 0, true, false);
    return file.result;
}

std::vector<dcm_record> dcm_reparse_record_interpret(const char* begin, const char* end,
                                                     dcm_dictionary_vr dictionary,
                                                     const dcm_record& row) {
    std::vector<dcm_record> records;
    if (!begin || !row.container) return records;
    const char* last = row.inflated ? end : dcm_walk_end(begin, end);
    if (row.offset > dcm_bytes_left(begin, last)) return records;
    walker again(begin, last, dictionary, records, row.inflated);
    again.walk(begin + row.offset, undefined_length - 1, row.syntax, row.level, row.recurse, true);
    const bool matched = !records.empty() && records.front().container &&
                         records.front().length == row.length &&
                         std::memcmp(records.front().vr, row.vr, 2) == 0;
    if (!matched) records.clear();
    return records;
}

}  // namespace velk
