// Each value against its VR's rules (the columns of parse/vr_table.h and the
// repertoires of value_rules.h), each explicit VR against the dictionary's, and
// each element's number of values against the dictionary's multiplicity.
#include <cstring>
#include <string>
#include <string_view>

#include "check/check_source.h"
#include "check/value_rules.h"
#include "parse/header.h"
#include "parse/tags.h"
#include "parse/vr_table.h"
#include "present/dictionary_full.h"
#include "present/interpret_cells.h"
#include "present/interpret_value.h"

namespace velk {

namespace {

// Tags the registry gives more than one VR, besides its "US or SS" ones
// (dcm_full_is_us_or_ss): the dictionary names one, and each listed here is
// accepted (the standard's PS3.6 section 6).
struct several_vrs {
    std::uint32_t mask;
    std::uint32_t value;
    const char* vrs;
};
constexpr several_vrs several_vr_table[] = {
    {0xFFFFFFFFu, 0x7FE00010u, "OB OW"},     // Pixel Data
    {0xFF01FFFFu, 0x60003000u, "OB OW"},     // Overlay Data (60xx,3000)
    {0xFF01FFFFu, 0x50003000u, "OB OW"},     // Curve Data (50xx,3000), retired
    {0xFFFFFFFFu, 0x54001010u, "OB OW"},     // Waveform Data
    {0xFFFFFFFFu, 0x00283006u, "US OW"},     // LUT Data
    {0xFFFFFFFFu, 0x00281200u, "US SS OW"},  // Gray Lookup Table Data, retired
    {0xFFFFFFFCu, 0x00281200u, "US SS OW"},  // Red, Green, Blue Palette Color Lookup Table Data
    {0xFFFFFFFFu, 0x00281221u, "OW"},        // Segmented Red Palette Color Lookup Table Data
};

bool same_vr(const char* a, const char* b) { return a[0] == b[0] && a[1] == b[1]; }

bool accepted_vr(std::uint32_t tag, const char* read, const char* dictionary) {
    if (same_vr(read, dictionary) || same_vr(read, "UN")) return true;
    if (dcm_full_is_us_or_ss(tag) && (same_vr(read, "US") || same_vr(read, "SS"))) return true;
    for (const several_vrs& s : several_vr_table) {
        if ((tag & s.mask) != s.value) continue;
        for (const char* v = s.vrs; *v; v += v[2] ? 3 : 2)
            if (same_vr(read, v)) return true;
    }
    return false;
}

// A value multiplicity of the dictionary: "1", "1-3", "1-n", "2-2n".
struct multiplicity {
    unsigned min = 1;
    unsigned max = 1;   // 0: no upper bound
    unsigned step = 1;  // the count is a multiple of it
};

multiplicity parse_multiplicity(const char* vm) {
    multiplicity m;
    unsigned x = 0;
    const char* p = vm;
    while (*p >= '0' && *p <= '9') x = x * 10 + unsigned(*p++ - '0');
    m.min = m.max = x;
    if (*p != '-') return m;
    ++p;
    unsigned y = 0;
    while (*p >= '0' && *p <= '9') y = y * 10 + unsigned(*p++ - '0');
    if (*p == 'n') {
        m.max = 0;
        if (y > 1) m.step = y;
    } else {
        m.max = y;
    }
    return m;
}

bool allows(const multiplicity& m, std::size_t count) {
    if (count < m.min || (m.max != 0 && count > m.max)) return false;
    return count % m.step == 0;
}

// A value as a message quotes it: at most 64 characters, other bytes as \xNN.
std::string quoted(std::string_view value) {
    std::string out = "\"";
    for (std::size_t i = 0; i < value.size() && i < 64; ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c >= 0x20 && c != 0x7F) {
            out += char(c);
        } else {
            char text[8];
            std::snprintf(text, sizeof text, "\\x%02X", unsigned(c));
            out += text;
        }
    }
    if (value.size() > 64) out += "...";
    return out + "\"";
}

std::string_view strip_padding(std::string_view v) {
    while (!v.empty() && (v.back() == ' ' || v.back() == '\0')) v.remove_suffix(1);
    return v;
}

std::string_view strip_spaces(std::string_view v) {
    while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
    while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
    return v;
}

// Characters of UTF-8 text: the bytes that start one.
std::size_t utf8_characters(std::string_view v) {
    std::size_t n = 0;
    for (const char c : v) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// Decoded text judged at most this long: a bound on the work per value; the
// longest limited value (LT, 10240 characters) fits.
constexpr std::size_t decoded_limit = 64 * 1024;

// The Interpret reading of the rows, whose decoded text and VRs the values are
// judged by; null in the default reading.
const dcm_record_reading* interpret_reading_of(const dcm_row_model& rows) {
    return rows.reading().kind() == dcm_reading::interpret ? &rows.reading() : nullptr;
}

class value_check {
public:
    explicit value_check(dcm_check_source& source)
        : m_source(source), m_interpret(interpret_reading_of(source.rows())) {}

    void run() {
        for (std::size_t row = 0; row < m_source.size(); ++row) element(row);
    }

private:
    void element(std::size_t row) {
        const dcm_record& r = m_source.record(row);
        const std::uint32_t tag = m_source.tag(row);
        if (dcm_tag_group(tag) == item_group || r.length == undefined_length) return;
        const dcm_check_element e = m_source.element(row);
        if (!e.whole) return;
        const bool explicit_vr = r.vr[0] != 0 || r.vr[1] != 0;
        const bool is_private = dcm_tag_group(tag) % 2 != 0;
        const dcm_full_entry* entry = is_private ? nullptr : dcm_full_find(tag);
        char vr[2];
        if (explicit_vr) {
            std::memcpy(vr, r.vr, 2);
        } else if (m_interpret) {
            std::memcpy(vr, m_interpret->vr_of(tag, r).vr, 2);
        } else if (entry && entry->vr[0]) {
            std::memcpy(vr, entry->vr, 2);
        } else {
            return;
        }
        // A UN element of a tag the dictionary knows holds a value of the
        // dictionary's VR, as the Interpret reading shows it.
        if (same_vr(vr, "UN") && entry && entry->vr[0]) std::memcpy(vr, entry->vr, 2);
        const dcm_vr_info* info = dcm_find_vr(vr);
        if (!info) {
            if (explicit_vr)
                m_source.add(row, dcm_severity::error, dcm_check_kind::vr,
                             "VR " + quoted(std::string_view(vr, 2)) + " is not a VR");
            return;
        }
        bool dictionary_vr = entry && entry->vr[0];
        if (explicit_vr && dictionary_vr && !accepted_vr(tag, r.vr, entry->vr)) {
            m_source.add(row, dcm_severity::error, dcm_check_kind::vr,
                         dcm_tag_text(tag) + " " + entry->name + " has VR " + std::string(vr, 2) +
                             "; the dictionary gives " + entry->vr);
            dictionary_vr = false;  // its multiplicity counts values of another VR
        }
        std::size_t count = 0;
        switch (info->kind) {
        case dcm_vr_kind::text: count = text(row, r, e, *info); break;
        case dcm_vr_kind::number:
        case dcm_vr_kind::tag:
        case dcm_vr_kind::binary: count = binary(row, e, *info); break;
        default: return;
        }
        if (dictionary_vr && count > 0 && !allows(parse_multiplicity(entry->vm), count))
            m_source.add(row, dcm_severity::error, dcm_check_kind::vm,
                         dcm_message_form::multiplicity, count);
    }

    // Whole binary values; the number of values for numbers, 1 for streams.
    std::size_t binary(std::size_t row, const dcm_check_element& e, const dcm_vr_info& info) {
        if (info.unit_size > 1 && e.size % info.unit_size != 0) {
            m_source.add(row, dcm_severity::error, dcm_check_kind::value,
                         std::string(info.code) + " value of " + std::to_string(e.size) +
                             " bytes is not a whole number of " + std::to_string(info.unit_size) +
                             "-byte values");
            return 0;
        }
        if (e.size == 0) return 0;
        return info.kind == dcm_vr_kind::binary ? 1 : std::size_t(e.size / info.unit_size);
    }

    // The padding, each value's characters, form and length; answers the
    // number of values (0 for an empty element).
    std::size_t text(std::size_t row, const dcm_record& r, const dcm_check_element& e,
                     const dcm_vr_info& info) {
        std::string_view raw = e.bytes();
        padding(row, raw, info);
        bool decoded = false;
        dcm_text_form form;
        if (m_interpret && dcm_charset_text_form(info.code, form)) {
            const char* first = raw.data();
            m_decoded.resize(decoded_limit + 1);
            const std::size_t n = dcm_interpret_value_cut(
                m_decoded.data(), m_decoded.size(), info.code, first, first + raw.size(), e.order,
                *m_interpret->charset_at(r), decoded_limit);
            raw = std::string_view(m_decoded.data(), n);
            decoded = true;
        }
        const std::string_view whole = strip_padding(raw);
        if (whole.empty()) return 0;
        std::size_t count = 0;
        bool reported = false;
        std::size_t start = 0;
        for (;;) {
            const std::size_t stop =
                info.multi_valued ? std::min(whole.find('\\', start), whole.size()) : whole.size();
            const std::string_view value = whole.substr(start, stop - start);
            ++count;
            if (!reported) reported = one_value(row, value, info, decoded);
            if (stop >= whole.size()) break;
            start = stop + 1;
        }
        return count;
    }

    // Judges one value; answers whether it gave a finding (one per element is enough).
    bool one_value(std::size_t row, std::string_view value, const dcm_vr_info& info, bool decoded) {
        const std::string_view judged =
            dcm_value_spaces_insignificant(info.repertoire) ? strip_spaces(value) : value;
        const std::string fault = dcm_value_fault(info.repertoire, judged);
        if (!fault.empty()) {
            m_source.add(row, dcm_severity::error, dcm_check_kind::value,
                         std::string(info.code) + " value " + quoted(value) + " " + fault);
            return true;
        }
        if (info.max_length == 0) return false;
        const bool characters = info.length_unit != dcm_length_unit::bytes;
        const auto measure = [&](std::string_view v) {
            return characters && decoded ? utf8_characters(v) : v.size();
        };
        std::size_t longest = 0;
        if (info.length_unit == dcm_length_unit::characters_per_group) {
            std::size_t start = 0;
            for (;;) {
                const std::size_t stop = std::min(value.find('=', start), value.size());
                longest = std::max(longest, measure(value.substr(start, stop - start)));
                if (stop >= value.size()) break;
                start = stop + 1;
            }
        } else {
            longest = measure(value);
        }
        if (longest <= info.max_length) return false;
        const char* unit = characters && decoded ? " characters" : " bytes";
        m_source.add(
            row, dcm_severity::error, dcm_check_kind::value,
            std::string(info.code) + " value " + quoted(value) + " is " + std::to_string(longest) +
                unit + " long; " + info.code +
                (info.length_unit == dcm_length_unit::characters_per_group
                     ? " holds at most " + std::to_string(info.max_length) + " per component group"
                     : " holds at most " + std::to_string(info.max_length)));
        return true;
    }

    // A text value is padded with a space, a UID with NUL.
    void padding(std::size_t row, std::string_view raw, const dcm_vr_info& info) {
        if (raw.empty() || raw.size() % 2 != 0) return;
        const char last = raw.back();
        const char wrong = info.padding == '\0' ? ' ' : '\0';
        if (last != wrong) return;
        const std::uint64_t code =
            std::uint64_t(std::uint8_t(info.code[0])) << 8 | std::uint8_t(info.code[1]);
        m_source.add(row, dcm_severity::warning, dcm_check_kind::value, dcm_message_form::padding,
                     code, std::uint8_t(info.padding));
    }

    dcm_check_source& m_source;
    const dcm_record_reading* m_interpret;  // null in the default reading
    std::string m_decoded;
};

}  // namespace

void dcm_check_values(dcm_check_source& source) { value_check(source).run(); }

}  // namespace velk
