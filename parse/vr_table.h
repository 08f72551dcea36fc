// Every value representation once, with what each part of the program asks of
// it: the header form, the kind of value, how each reading shows it, the padding
// byte, the size of a binary value, the longest value and its repertoire
// (PS3.5 section 6.2, table 6.2-1; header forms from table 7.1-1 and 7.1-2).
//
// A new question about VRs is a new column: add a member with a default value
// at the end of dcm_vr_info, and the rows that need another value name it. Rows
// are aggregates, so existing rows keep compiling.
#pragma once

#include <cstdint>

namespace velk {

// How an explicit VR element's header holds its length (PS3.5 section 7.1.2):
// two bytes after the VR, or two reserved bytes and then four.
enum class dcm_vr_header : std::uint8_t { short_form, long_form };

// What a value is made of.
enum class dcm_vr_kind : std::uint8_t {
    text,       // characters
    number,     // binary numbers of a fixed size
    tag,        // attribute tags: group then element, 16 bits each
    binary,     // a stream of bytes, words, floats or unknown content
    sequence,   // items of data elements
    delimiter,  // an old code with no value of its own
};

// How the default reading writes a value of the VR in a cell.
enum class dcm_default_cell : std::uint8_t {
    text,  // the bytes as they are
    s16,
    u16,
    s32,
    u32,
    f32,
    f64,          // every number, joined by "/"
    hex,          // the bytes as hexadecimal digits
    other_word,   // a note that the value is word data
    other_float,  // a note that the value is float data
    empty,        // nothing
    unknown,      // a note that the VR is not one it reads
};

// How the Interpret reading writes a value of the VR in a cell.
enum class dcm_interpret_cell : std::uint8_t {
    charset_text,  // text in the data set's Specific Character Set
    plain_text,    // text in the default repertoire
    s16,
    u16,
    s32,
    u32,
    s64,
    u64,
    f32,
    f64,
    tag,         // attribute tags, written as the default reading writes AT
    as_default,  // as the default reading writes it
};

// The binary number each value is, for VRs whose value is a list of numbers.
// OB and OW are byte and word streams whose meaning the element gives (pixels,
// an embedded file), so they have none.
enum class dcm_number_type : std::uint8_t { none, u16, s16, u32, s32, u64, s64, f32, f64, tag };

// What the maximum length counts (PS3.5 table 6.2-1).
enum class dcm_length_unit : std::uint8_t {
    none,  // no limit but the length field's
    bytes,
    characters,
    characters_per_group,  // PN: per component group
};

// The characters a value may hold (PS3.5 section 6.1 and table 6.2-1).
enum class dcm_repertoire : std::uint8_t {
    none,                   // binary
    default_no_control,     // the default repertoire, no control characters
    default_with_control,   // the default repertoire and CR, LF, FF, TAB
    extended,               // extended by Specific Character Set (0008,0005), ESC allowed
    extended_with_control,  // the same and CR, LF, FF, TAB
    code_string,            // uppercase letters, digits, space, underscore
    decimal_string,         // a decimal number: digits, + - . E e, space
    integer_string,         // an integer: digits, + -, space
    date,                   // YYYYMMDD
    time,                   // HHMMSS.FFFFFF
    date_time,              // YYYYMMDDHHMMSS.FFFFFF&ZZXX
    age_string,             // nnnD, nnnW, nnnM or nnnY
    uid,                    // digits and full stops
    uri,                    // a URI or URL (RFC 3986)
    application_entity,     // the default repertoire but backslash and control characters
};

struct dcm_vr_info {
    char code[3];
    dcm_vr_header header;
    dcm_vr_kind kind;
    dcm_default_cell default_cell;
    dcm_interpret_cell interpret_cell;
    char padding;            // appended to make a value's length even (section 6.2)
    std::uint8_t unit_size;  // bytes per binary value; 0 for text and sequences
    dcm_number_type number;
    std::uint32_t max_length;  // per value, in length_unit; 0 when the length field is the limit
    dcm_length_unit length_unit;
    dcm_repertoire repertoire;
    bool multi_valued;  // a backslash separates values
    bool legacy;        // a code of earlier files, not in the current table
};

namespace vr_rows {
using H = dcm_vr_header;
using K = dcm_vr_kind;
using D = dcm_default_cell;
using I = dcm_interpret_cell;
using N = dcm_number_type;
using L = dcm_length_unit;
using R = dcm_repertoire;

// Text VRs pad with a space, UI and the binary VRs with NUL (section 6.2). The
// legacy codes are the ones the default reading has always read: AI and LS as
// text and signed longs, DL as an empty delimiter.
// clang-format off
inline constexpr dcm_vr_info dcm_vr_table[] = {
    // code   header          kind           default cell     interpret cell    pad    unit number    max     unit                      repertoire                 multi   legacy
    {"AE",  H::short_form,  K::text,       D::text,         I::plain_text,    ' ',   0,  N::none,  16,     L::bytes,                 R::application_entity,     true,   false},
    {"AI",  H::short_form,  K::text,       D::text,         I::plain_text,    ' ',   0,  N::none,  0,      L::none,                  R::default_no_control,     true,   true},
    {"AS",  H::short_form,  K::text,       D::text,         I::plain_text,    ' ',   0,  N::none,  4,      L::bytes,                 R::age_string,             true,   false},
    {"AT",  H::short_form,  K::tag,        D::u32,          I::tag,           '\0',  4,  N::tag,   0,      L::none,                  R::none,                   false,  false},
    {"CS",  H::short_form,  K::text,       D::text,         I::plain_text,    ' ',   0,  N::none,  16,     L::bytes,                 R::code_string,            true,   false},
    {"DA",  H::short_form,  K::text,       D::text,         I::plain_text,    ' ',   0,  N::none,  8,      L::bytes,                 R::date,                   true,   false},
    {"DL",  H::short_form,  K::delimiter,  D::empty,        I::as_default,    '\0',  0,  N::none,  0,      L::none,                  R::none,                   false,  true},
    {"DS",  H::short_form,  K::text,       D::text,         I::plain_text,    ' ',   0,  N::none,  16,     L::bytes,                 R::decimal_string,         true,   false},
    {"DT",  H::short_form,  K::text,       D::text,         I::plain_text,    ' ',   0,  N::none,  26,     L::bytes,                 R::date_time,              true,   false},
    {"FD",  H::short_form,  K::number,     D::f64,          I::f64,           '\0',  8,  N::f64,   0,      L::none,                  R::none,                   false,  false},
    {"FL",  H::short_form,  K::number,     D::f32,          I::f32,           '\0',  4,  N::f32,   0,      L::none,                  R::none,                   false,  false},
    {"IS",  H::short_form,  K::text,       D::text,         I::plain_text,    ' ',   0,  N::none,  12,     L::bytes,                 R::integer_string,         true,   false},
    {"LO",  H::short_form,  K::text,       D::text,         I::charset_text,  ' ',   0,  N::none,  64,     L::characters,            R::extended,               true,   false},
    {"LS",  H::short_form,  K::number,     D::s32,          I::s32,           '\0',  4,  N::s32,   0,      L::none,                  R::none,                   false,  true},
    {"LT",  H::short_form,  K::text,       D::text,         I::charset_text,  ' ',   0,  N::none,  10240,  L::characters,            R::extended_with_control,  false,  false},
    {"OB",  H::long_form,   K::binary,     D::hex,          I::as_default,    '\0',  1,  N::none,  0,      L::none,                  R::none,                   false,  false},
    {"OD",  H::long_form,   K::binary,     D::unknown,      I::f64,           '\0',  8,  N::f64,   0,      L::none,                  R::none,                   false,  false},
    {"OF",  H::long_form,   K::binary,     D::other_float,  I::as_default,    '\0',  4,  N::f32,   0,      L::none,                  R::none,                   false,  false},
    {"OL",  H::long_form,   K::binary,     D::unknown,      I::u32,           '\0',  4,  N::u32,   0,      L::none,                  R::none,                   false,  false},
    {"OV",  H::long_form,   K::binary,     D::unknown,      I::u64,           '\0',  8,  N::u64,   0,      L::none,                  R::none,                   false,  false},
    {"OW",  H::long_form,   K::binary,     D::other_word,   I::as_default,    '\0',  2,  N::none,  0,      L::none,                  R::none,                   false,  false},
    {"PN",  H::short_form,  K::text,       D::text,         I::charset_text,  ' ',   0,  N::none,  64,     L::characters_per_group,  R::extended,               true,   false},
    {"SH",  H::short_form,  K::text,       D::text,         I::charset_text,  ' ',   0,  N::none,  16,     L::characters,            R::extended,               true,   false},
    {"SL",  H::short_form,  K::number,     D::s32,          I::s32,           '\0',  4,  N::s32,   0,      L::none,                  R::none,                   false,  false},
    {"SQ",  H::long_form,   K::sequence,   D::empty,        I::as_default,    '\0',  0,  N::none,  0,      L::none,                  R::none,                   false,  false},
    {"SS",  H::short_form,  K::number,     D::s16,          I::s16,           '\0',  2,  N::s16,   0,      L::none,                  R::none,                   false,  false},
    {"ST",  H::short_form,  K::text,       D::text,         I::charset_text,  ' ',   0,  N::none,  1024,   L::characters,            R::extended_with_control,  false,  false},
    {"SV",  H::long_form,   K::number,     D::unknown,      I::s64,           '\0',  8,  N::s64,   0,      L::none,                  R::none,                   false,  false},
    {"TM",  H::short_form,  K::text,       D::text,         I::plain_text,    ' ',   0,  N::none,  14,     L::bytes,                 R::time,                   true,   false},
    {"UC",  H::long_form,   K::text,       D::unknown,      I::charset_text,  ' ',   0,  N::none,  0,      L::none,                  R::extended,               true,   false},
    {"UI",  H::short_form,  K::text,       D::text,         I::plain_text,    '\0',  0,  N::none,  64,     L::bytes,                 R::uid,                    true,   false},
    {"UL",  H::short_form,  K::number,     D::u32,          I::u32,           '\0',  4,  N::u32,   0,      L::none,                  R::none,                   false,  false},
    {"UN",  H::long_form,   K::binary,     D::empty,        I::as_default,    '\0',  1,  N::none,  0,      L::none,                  R::none,                   false,  false},
    {"UR",  H::long_form,   K::text,       D::unknown,      I::plain_text,    ' ',   0,  N::none,  0,      L::none,                  R::uri,                    false,  false},
    {"US",  H::short_form,  K::number,     D::u16,          I::u16,           '\0',  2,  N::u16,   0,      L::none,                  R::none,                   false,  false},
    {"UT",  H::long_form,   K::text,       D::text,         I::charset_text,  ' ',   0,  N::none,  0,      L::none,                  R::extended_with_control,  false,  false},
    {"UV",  H::long_form,   K::number,     D::unknown,      I::u64,           '\0',  8,  N::u64,   0,      L::none,                  R::none,                   false,  false},
};
// clang-format on

}  // namespace vr_rows

using vr_rows::dcm_vr_table;

namespace vr_index {

constexpr unsigned letters = 26;

constexpr int slot(char a, char b) {
    const unsigned x = static_cast<unsigned char>(a) - unsigned('A');
    const unsigned y = static_cast<unsigned char>(b) - unsigned('A');
    return x < letters && y < letters ? int(x * letters + y) : -1;
}

// For every pair of capital letters, 1 + the row of the table, or 0 for none.
struct table {
    std::uint8_t row[letters * letters];
};

constexpr table build() {
    table t{};
    std::uint8_t i = 0;
    for (const dcm_vr_info& info : dcm_vr_table) t.row[slot(info.code[0], info.code[1])] = ++i;
    return t;
}

inline constexpr table index = build();

}  // namespace vr_index

// The row of the two-letter code `vr`, or null for a code not in the table
// (including two zero bytes, an implicit element's VR). Two compares and a
// byte load: the walk asks this for every explicit element.
constexpr const dcm_vr_info* dcm_find_vr(const char vr[2]) {
    const int slot = vr_index::slot(vr[0], vr[1]);
    if (slot < 0) return nullptr;
    const std::uint8_t row = vr_index::index.row[slot];
    return row ? &dcm_vr_table[row - 1] : nullptr;
}

// Whether the two bytes `vr` are the code `code`.
constexpr bool dcm_vr_is(const char* vr, const char* code) {
    return vr[0] == code[0] && vr[1] == code[1];
}

}  // namespace velk
