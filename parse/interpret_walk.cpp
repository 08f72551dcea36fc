#include "parse/interpret_walk.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "parse/file.h"
#include "parse/header.h"
#include "parse/parser.h"
#include "parse/reader.h"
#include "parse/syntax_registry.h"
#include "parse/vr_table.h"

namespace velk {

namespace {

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
        : m_end(end), m_dictionary(dictionary), m_out(out), m_chunks(chunks),
          m_inflated(inflated), m_log{base, {}} {}

    // Walks `length` bytes from `data` (or up to a delimiter, or for
    // dcm_to_the_end up to the end), at nesting `level`. Returns the bytes
    // consumed, the ending delimiter's header included.
    std::uint64_t walk(const char* data, std::uint64_t length, dcm_syntax mode, std::uint32_t level,
                       bool recurse, bool stop_after_one) {
        std::uint64_t consumed = 0;
        // An undefined-length value may hold more than 4 GiB: its delimiter or
        // the end of the bytes ends it, never a count.
        const std::uint64_t limit = length == undefined_length ? dcm_to_the_end : length;
        const char* p = data;
        m_ended_by_delimiter = false;
        while (consumed < limit) {
            header h;
            if (!decode(p, m_end, mode, h)) {
                note_cut(p, mode);
                break;
            }
            // Every later element starts further on: the walk ends here at every level.
            if (m_log.past_offset_limit(h.tag, p)) break;
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
            consumed += step;
            if (stop_after_one) break;
        }
        return consumed;
    }

    const dcm_walk_result& result() const { return m_log.result; }

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
        r.offset = static_cast<std::uint64_t>(p - m_log.base);
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
        m_log.note(status, tag, at);
    }

    void note_cut(const char* p, dcm_syntax mode) {
        dcm_note_cut(p, m_end, m_log,
                     mode == syntax_explicit_be ? dcm_byte_order::big : dcm_byte_order::little);
    }

    const char* m_end;
    dcm_dictionary_vr m_dictionary;
    std::vector<dcm_record>& m_out;
    dcm_record_chunks* m_chunks;
    bool m_inflated;
    dcm_walk_log m_log;  // where the walk first fell short
    bool m_ended_by_delimiter = false;
};

enum class named_syntax { none, implicit_le, explicit_le, explicit_be, deflated, other };

// A syntax the registry does not know is read as explicit VR little endian, as
// the data set's first header then confirms or not.
named_syntax syntax_of_uid(const char* value, std::uint32_t length) {
    const dcm_syntax_info* known = dcm_find_syntax(std::string_view(value, length));
    if (!known) return named_syntax::other;
    if (known->deflated) return named_syntax::deflated;
    if (!known->explicit_vr) return named_syntax::implicit_le;
    if (known->byte_order == dcm_byte_order::big) return named_syntax::explicit_be;
    return named_syntax::explicit_le;
}

// The extent of the file meta group from `p` and the syntax it names.
const char* meta_end(const char* p, const char* end, named_syntax& named) {
    named = named_syntax::none;
    header h;
    while (decode(p, end, syntax_explicit_le, h) && dcm_tag_group(h.tag) == file_meta_group &&
           h.length != undefined_length) {
        const char* value = p + h.header_length;
        if (!dcm_fits(value, end, h.length)) return end;
        if (h.tag == tag_transfer_syntax_uid && h.length < 256)
            named = syntax_of_uid(value, h.length);
        p = value + h.length;
    }
    return p;
}

// Whether the two bytes after a tag are a VR: the explicit form shows itself.
// Only codes of the current table count; the legacy ones never start a data set.
bool looks_explicit(const char* p, const char* end) {
    if (!dcm_fits(p, end, 6)) return true;
    const dcm_vr_info* vr = dcm_find_vr(p + 4);
    return vr && !vr->legacy;
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
    const char* last = end;
    const char* meta = begin + dcm_stream_offset;
    named_syntax named;
    const char* data_set = meta_end(meta, last, named);

    walker file(begin, last, dictionary, records, false, chunks);
    file.walk(meta, static_cast<std::uint64_t>(data_set - meta), syntax_explicit_le, 0, true,
              false);
    if (named == named_syntax::deflated) {
        data.deflated = true;
        dcm_inflated inflated = dcm_inflate(
            data_set, static_cast<std::size_t>(dcm_bytes_left(data_set, last)), inflate_cap);
        data.inflated = std::move(inflated.bytes);
        data.inflate_end = inflated.end;
        const char* first = data.inflated.data();
        const char* stop = first + data.inflated.size();
        walker set(first, stop, dictionary, records, true, chunks);
        set.walk(first, dcm_to_the_end, syntax_explicit_le, 0, true, false);
        if (!file.result().complete()) return file.result();
        if (inflated.end != dcm_inflate_end::complete) {
            // What inflated is listed; the walk ended where the inflated bytes did.
            result.status = dcm_walk_status::inflate_stopped;
            result.offset = static_cast<std::uint64_t>(data_set - begin);
            return result;
        }
        return set.result();
    }
    dcm_syntax mode = named == named_syntax::explicit_be   ? syntax_explicit_be
                      : named == named_syntax::implicit_le ? syntax_implicit_le
                                                           : syntax_explicit_le;
    if (mode != syntax_explicit_be)
        mode = looks_explicit(data_set, last) ? syntax_explicit_le : syntax_implicit_le;
    file.walk(data_set, dcm_to_the_end, mode, 0, true, false);
    return file.result();
}

std::vector<dcm_record> dcm_reparse_record_interpret(const char* begin, const char* end,
                                                     dcm_dictionary_vr dictionary,
                                                     const dcm_record& row) {
    std::vector<dcm_record> records;
    if (!begin || !row.container) return records;
    if (row.offset > dcm_bytes_left(begin, end)) return records;
    walker again(begin, end, dictionary, records, row.inflated);
    again.walk(begin + row.offset, dcm_to_the_end, row.syntax, std::uint32_t(row.level),
               row.recurse, true);
    const bool matched = !records.empty() && records.front().container &&
                         records.front().length == row.length &&
                         std::memcmp(records.front().vr, row.vr, 2) == 0;
    if (!matched) records.clear();
    return records;
}

}  // namespace velk
