#include "cli/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

#include "parse/vr_table.h"
#include "present/interpret_value.h"

namespace velk {

namespace {

using json = nlohmann::json;

// How the model writes a value of each VR.
enum class value_kind {
    strings,      // "\"-separated text values
    one_string,   // text with no value separator
    person_name,  // strings split into Alphabetic, Ideographic, Phonetic
    decimal,      // DS: numbers
    integer,      // IS: numbers
    tag,          // AT: "GGGGEEEE" strings
    number,       // binary numbers of `size` bytes
    bulk,         // binary data: a BulkDataURI
    sequence,     // items as objects
};

struct vr_rule {
    const char* code;
    value_kind kind;
    dcm_number_type type;  // for value_kind::number
    std::size_t size;      // bytes of one number
};

value_kind kind_of(const dcm_vr_info& vr) {
    switch (vr.kind) {
    case dcm_vr_kind::sequence: return value_kind::sequence;
    case dcm_vr_kind::number: return value_kind::number;
    case dcm_vr_kind::tag: return value_kind::tag;
    case dcm_vr_kind::text:
        if (vr.repertoire == dcm_repertoire::decimal_string) return value_kind::decimal;
        if (vr.repertoire == dcm_repertoire::integer_string) return value_kind::integer;
        if (dcm_vr_is(vr.code, "PN")) return value_kind::person_name;
        return vr.multi_valued ? value_kind::strings : value_kind::one_string;
    default: return value_kind::bulk;
    }
}

// An element without a VR, or with bytes that name none of the current table's,
// is written as unknown.
vr_rule rule_of(const char* vr) {
    const dcm_vr_info* known = dcm_find_vr(vr);
    if (!known || known->legacy) return {"UN", value_kind::bulk, dcm_number_type::none, 0};
    return {known->code, kind_of(*known), known->number, known->unit_size};
}

template <dcm_byte_order order>
json number_at(const char* p, dcm_number_type type) {
    switch (type) {
    case dcm_number_type::u16: return dcm_load<std::uint16_t, order>(p);
    case dcm_number_type::s16: return dcm_load<std::int16_t, order>(p);
    case dcm_number_type::u32: return dcm_load<std::uint32_t, order>(p);
    case dcm_number_type::s32: return dcm_load<std::int32_t, order>(p);
    case dcm_number_type::f32: return dcm_load<float, order>(p);
    case dcm_number_type::f64: return dcm_load<double, order>(p);
    case dcm_number_type::s64: return dcm_load<std::int64_t, order>(p);
    case dcm_number_type::u64: return dcm_load<std::uint64_t, order>(p);
    default: return nullptr;
    }
}

json number_at(const char* p, dcm_number_type type, dcm_byte_order order) {
    return order == dcm_byte_order::big ? number_at<dcm_byte_order::big>(p, type)
                                        : number_at<dcm_byte_order::little>(p, type);
}

std::string_view trim(std::string_view s, bool leading) {
    const auto pad = [](char c) { return c == ' ' || c == '\0'; };
    while (!s.empty() && pad(s.back())) s.remove_suffix(1);
    while (leading && !s.empty() && pad(s.front())) s.remove_prefix(1);
    return s;
}

std::vector<std::string_view> split(std::string_view s, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t at; (at = s.find(separator)) != std::string_view::npos;) {
        parts.push_back(s.substr(0, at));
        s.remove_prefix(at + 1);
    }
    parts.push_back(s);
    return parts;
}

// A decimal or integer string as a JSON number, or the text when it is none
// (a damaged value keeps its characters rather than vanishing).
json number_of_text(std::string_view text, bool integer) {
    text = trim(text, true);
    if (text.empty()) return nullptr;
    const char* end = text.data() + text.size();
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    if (integer) {
        std::int64_t v = 0;
        const auto r = std::from_chars(first, end, v);
        if (r.ec == std::errc() && r.ptr == end) return v;
    } else {
        double v = 0;
        const auto r = std::from_chars(first, end, v);
        if (r.ec == std::errc() && r.ptr == end && std::isfinite(v)) return v;
    }
    return std::string(text);
}

json person_name(std::string_view text) {
    static const char* const groups[] = {"Alphabetic", "Ideographic", "Phonetic"};
    json name = json::object();
    const std::vector<std::string_view> parts = split(text, '=');
    for (std::size_t i = 0; i < parts.size() && i < std::size(groups); ++i)
        if (!parts[i].empty()) name[groups[i]] = std::string(parts[i]);
    return name;
}

std::string tag_key(std::uint32_t tag) {
    static const char digits[] = "0123456789ABCDEF";
    std::string key(8, '0');
    for (int i = 0; i < 8; ++i) key[i] = digits[(tag >> (28 - 4 * i)) & 0xF];
    return key;
}

// How one record is read. The default reading: the file's bytes, little endian,
// the VR as read and text as code page 1252. The Interpret reading: the bytes
// the record's offset counts in (the file, or a deflated data set's inflated
// bytes), its data set's byte order, the VR it shows (the dictionary's for an
// element read without one) and text by the Specific Character Set in force.
struct record_reading {
    dcm_bytes bytes;
    dcm_byte_order order = dcm_byte_order::little;
    const dcm_charset* charset = nullptr;  // null: code page 1252
    bool inflated = false;                 // bytes the file does not hold
};

record_reading reading_of(const dcm_row_model& rows, dcm_bytes file, const dcm_record& r) {
    const dcm_record_reading& by = rows.reading();
    return {by.bytes_of(file, r), by.byte_order(r), by.charset_at(r), r.inflated};
}

std::uint64_t size_of(dcm_bytes bytes) { return std::uint64_t(bytes.end - bytes.begin); }

// Binary values of bytes the file does not hold are written inline, in base 64.
std::string base64(const char* first, std::size_t n) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((n + 2) / 3 * 4);
    for (std::size_t i = 0; i < n; i += 3) {
        const auto byte = [&](std::size_t k) {
            return k < n ? std::uint32_t(static_cast<unsigned char>(first[k])) : 0u;
        };
        const std::uint32_t group = byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2);
        for (std::size_t k = 0; k < 4; ++k)
            text += k <= (n - i) ? digits[(group >> (18 - 6 * k)) & 63] : '=';
    }
    return text;
}

// The bytes of one record's value that the file holds.
struct value_bytes {
    const char* first;
    std::size_t size;
};

value_bytes bytes_of(dcm_bytes file, const dcm_record& r) {
    const std::uint64_t file_size = std::uint64_t(file.end - file.begin);
    const std::uint64_t start = std::min(r.value_offset(), file_size);
    const std::uint64_t length = r.length == undefined_length ? 0 : r.length;
    return {file.begin + start, static_cast<std::size_t>(std::min(length, file_size - start))};
}

// Text values in UTF-8, read as the list reads them: code page 1252 in the
// default reading, by the character set in force in the Interpret reading (the
// default repertoire for text that is not decoded by it).
std::string utf8_text(value_bytes v, const char* vr, const dcm_charset* charset) {
    // ASCII text is itself in every character set but for its escape sequences.
    if (dcm_all_ascii(v.first, v.size) && (!charset || !std::memchr(v.first, 0x1B, v.size)))
        return std::string(v.first, v.size);
    if (charset) {
        static const dcm_charset default_repertoire;
        dcm_text_form form = dcm_text_form::text;
        if (!dcm_charset_text_form(vr, form)) charset = &default_repertoire;
        std::string text;
        dcm_decode_text(*charset, form, v.first, v.size, text);
        return text;
    }
    std::string text(dcm_cp1252_to_utf8::units_per_byte * v.size, '\0');
    const char* end = dcm_cp1252_to_utf8()(v.first, v.size, &text[0]);
    text.resize(static_cast<std::size_t>(end - text.data()));
    return text;
}

json text_values(value_bytes v, const vr_rule& rule, const dcm_charset* charset) {
    const value_kind kind = rule.kind;
    const std::string utf8 = utf8_text(v, rule.code, charset);
    // The padding to an even length ends the whole value; spaces between the
    // values are theirs.
    const std::string_view text = trim(utf8, false);
    json values = json::array();
    if (text.empty()) return values;
    if (kind == value_kind::one_string) {
        values.push_back(std::string(text));
        return values;
    }
    for (std::string_view part : split(text, '\\')) {
        switch (kind) {
        case value_kind::decimal: values.push_back(number_of_text(part, false)); break;
        case value_kind::integer: values.push_back(number_of_text(part, true)); break;
        case value_kind::person_name:
            values.push_back(part.empty() ? json(nullptr) : person_name(part));
            break;
        default: values.push_back(part.empty() ? json(nullptr) : json(std::string(part)));
        }
    }
    return values;
}

json binary_values(value_bytes v, const vr_rule& rule, dcm_byte_order order) {
    json values = json::array();
    if (rule.kind == value_kind::tag) {
        for (std::size_t i = 0; i + 4 <= v.size; i += 4) {
            values.push_back(tag_key(dcm_load_tag(v.first + i, order)));
        }
        return values;
    }
    const std::size_t size = rule.size;
    for (std::size_t i = 0; i + size <= v.size; i += size)
        values.push_back(number_at(v.first + i, rule.type, order));
    return values;
}

// Where each record's value ends in its bytes: its declared end, or for an
// undefined length where its sequence delimiter starts (the start of the next
// record at its level or above, or the end of the bytes, when it has none).
std::uint64_t value_end(const dcm_row_model& rows, std::size_t row, const record_reading& in) {
    const dcm_record& r = rows.record(row);
    const dcm_bytes file = in.bytes;
    const std::uint64_t file_size = size_of(file);
    if (r.length != undefined_length) return std::min(r.value_offset() + r.length, file_size);
    std::size_t next = row + 1;
    while (next < rows.size() && rows.record(next).level > r.level) ++next;
    const std::uint64_t end = next < rows.size() ? rows.record(next).offset : file_size;
    const dcm_record& last = rows.record(next - 1);
    if (next - 1 > row && last.level == r.level + 1 && last.offset + 4 <= file_size &&
        dcm_load_tag(file.begin + last.offset, in.order) == tag_sequence_delimiter)
        return last.offset;
    return end;
}

// One data set being filled: the objects of the open levels, innermost last.
struct open_level {
    std::uint32_t level;  // the level of the elements that belong here
    json* dataset;
    json* items = nullptr;  // the Value list of the sequence just added, for its items
};

}  // namespace

std::string file_uri(const std::string& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::u8path(path), ec);
    if (ec) absolute = std::filesystem::u8path(path);
    const std::string text = absolute.generic_u8string();
    static const char digits[] = "0123456789ABCDEF";
    std::string uri = "file://";
    if (text.empty() || text[0] != '/') uri += '/';  // "C:/..." on Windows
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (std::isalnum(b) || std::strchr("-._~/:", c)) {
            uri += c;
        } else {
            uri += '%';
            uri += digits[b >> 4];
            uri += digits[b & 0xF];
        }
    }
    return uri;
}

std::string bulk_data_uri(const std::string& uri, std::uint64_t offset, std::uint64_t length) {
    return uri + "?offset=" + std::to_string(offset) + "&length=" + std::to_string(length);
}

nlohmann::json dicom_json(const dcm_row_model& rows, dcm_bytes file, const std::string& uri,
                          nlohmann::json* meta) {
    json root = json::object();
    json meta_elements = json::object();
    std::vector<open_level> open{{0, &root}};
    bool in_meta = true;  // still among the group 0002 elements at the front
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const dcm_record& r = rows.record(row);
        while (open.size() > 1 && open.back().level > r.level) open.pop_back();
        const record_reading in = reading_of(rows, file, r);
        if (std::uint64_t(r.offset) + 4 > size_of(in.bytes)) continue;
        const std::uint32_t tag = dcm_load_tag(in.bytes.begin + r.offset, in.order);
        if (dcm_is_delimiter(tag)) continue;
        in_meta = in_meta && r.level == 0 && dcm_tag_group(tag) == 0x0002u;
        open[0].dataset = in_meta ? &meta_elements : &root;
        open_level& here = open.back();
        if (tag == tag_item) {
            // An item of the sequence just added one level up; fragments of
            // encapsulated data and stray items belong to no data set.
            if (here.items && here.level + 1 == r.level) {
                here.items->push_back(json::object());
                if (r.container) open.push_back({std::uint32_t(r.level) + 1, &here.items->back()});
            }
            continue;
        }
        if (here.level != r.level) continue;  // inside a value that is bulk data
        here.items = nullptr;
        const vr_rule rule = rule_of(rows.reading().vr_of(tag, r).vr);
        json& element = (*here.dataset)[tag_key(tag)];
        element = json{{"vr", rule.code}};
        const value_bytes value = bytes_of(in.bytes, r);
        switch (rule.kind) {
        case value_kind::sequence:
            element["Value"] = json::array();
            if (r.container) here.items = &element["Value"];
            break;
        case value_kind::bulk: {
            const std::uint64_t end = value_end(rows, row, in);
            const std::uint64_t first = std::min(r.value_offset(), end);
            if (end <= first) break;
            if (in.inflated || uri.empty())
                element["InlineBinary"] = base64(in.bytes.begin + first, std::size_t(end - first));
            else
                element["BulkDataURI"] = bulk_data_uri(uri, first, end - first);
            break;
        }
        case value_kind::number:
        case value_kind::tag: element["Value"] = binary_values(value, rule, in.order); break;
        default: element["Value"] = text_values(value, rule, in.charset);
        }
        if (element.contains("Value") && element["Value"].empty() &&
            rule.kind != value_kind::sequence)
            element.erase("Value");
    }
    if (meta) *meta = std::move(meta_elements);
    return root;
}

std::string json_text(const nlohmann::json& document, bool one_line) {
    return document.dump(one_line ? -1 : 2, ' ', false, json::error_handler_t::replace);
}

}  // namespace velk
