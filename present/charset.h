// Character-set decoding of text values by the Specific Character Set (0008,0005)
// in force: the single-byte sets, UTF-8, GB18030, GBK and ISO 2022 code extensions
// (escape sequences switching between ASCII, JIS X 0201/0208/0212, KS X 1001 and
// GB 2312). The code tables are this project's own data (present/charset_tables.h,
// generated into present/tables/charset_tables.cpp), so both builds decode alike.
// A byte sequence that does not decode gives U+FFFD and the decoding goes on at
// the next byte.
//
// The default repertoire (no value, "ISO_IR 6" or an empty first value) decodes
// bytes 0x80-0xFF as ISO 8859-1, as the peers do with such files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velk {

// One value of Specific Character Set, by the character set it names.
enum class dcm_charset_term : std::uint8_t {
    unknown,
    ascii,      // "" or ISO_IR 6
    latin1,     // ISO_IR 100
    latin2,     // ISO_IR 101
    latin3,     // ISO_IR 109
    latin4,     // ISO_IR 110
    greek,      // ISO_IR 126
    arabic,     // ISO_IR 127
    hebrew,     // ISO_IR 138
    cyrillic,   // ISO_IR 144
    latin5,     // ISO_IR 148
    thai,       // ISO_IR 166
    jis_x0201,  // ISO_IR 13
    jis_x0208,  // ISO 2022 IR 87
    jis_x0212,  // ISO 2022 IR 159
    ks_x1001,   // ISO 2022 IR 149
    gb2312,     // ISO 2022 IR 58
    utf8,       // ISO_IR 192
    gb18030,    // GB18030
    gbk,        // GBK
};

// The character sets of one (0008,0005) value, in order. Only the first decides
// how a value starts; the others are reached by escape sequences.
struct dcm_charset {
    static constexpr std::size_t max_terms = 8;
    dcm_charset_term terms[max_terms] = {dcm_charset_term::ascii};
    std::uint8_t count = 1;

    dcm_charset_term first() const { return terms[0]; }
    // True when text decodes exactly as the default mode shows it for every ASCII byte
    // (the first set is ASCII-based).
    bool is_default() const { return count == 1 && terms[0] == dcm_charset_term::ascii; }
};

// Reads a Specific Character Set value: terms separated by "\", each with
// padding spaces and NULs trimmed. Spellings are compared without case, blanks,
// "_" and "-", so "ISO_IR 100", "ISO 2022 IR 100" and "ISO-IR100" are one term.
// An unknown term decodes as the default repertoire.
dcm_charset dcm_charset_from_value(const char* value, std::size_t length);

// How a value is split into parts that each start in the first character set
// (the delimiters after which escape sequences lose their effect).
enum class dcm_text_form : std::uint8_t {
    text,         // LT ST UT: lines (CR, LF, TAB, FF)
    multi,        // SH LO UC: also values ("\")
    person_name,  // PN: also components and groups ("^", "=") and values
};

// Decodes n bytes of a text value into UTF-8, appended to out.
void dcm_decode_text(const dcm_charset& charset, dcm_text_form form, const char* bytes,
                     std::size_t n, std::string& out);

// The same into UTF-16, appended to out.
void dcm_decode_text(const dcm_charset& charset, dcm_text_form form, const char* bytes,
                     std::size_t n, std::u16string& out);

}  // namespace velk
