#include "present/interpret_hint.h"

#include <cstring>

#include "parse/reader.h"
#include "parse/tags.h"
#include "present/charset.h"

namespace velk {

namespace {

bool names_other_charset(const char* begin, const char* end, const dcm_record& r) {
    const std::uint64_t size = dcm_bytes_left(begin, end);
    if (r.offset + std::uint64_t(4) > size) return false;
    const char* p = begin + r.offset;
    const std::uint32_t tag = dcm_load_tag(p, dcm_byte_order::little);
    if (tag != tag_specific_character_set || r.length == undefined_length) return false;
    if (r.value_offset() + r.length > size) return false;
    // ISO 8859-1 shows as the default reading's code page 1252 shows it.
    const dcm_charset charset = dcm_charset_from_value(begin + r.value_offset(), r.length);
    return !charset.is_default() &&
           !(charset.count == 1 && charset.first() == dcm_charset_term::latin1);
}

}  // namespace

dcm_interpret_hint dcm_interpret_hint_for(const char* begin, const char* end,
                                          const std::vector<dcm_record>& records) {
    dcm_interpret_hint hint = dcm_interpret_hint::none;
    for (const dcm_record& r : records) {
        if (r.syntax == syntax_implicit_le) return dcm_interpret_hint::implicit_vr;
        if (r.syntax == syntax_other) hint = dcm_interpret_hint::other_syntax;
        if (hint == dcm_interpret_hint::none && names_other_charset(begin, end, r))
            hint = dcm_interpret_hint::character_set;
    }
    return hint;
}

const char* dcm_interpret_hint_text(dcm_interpret_hint hint) {
    switch (hint) {
    case dcm_interpret_hint::none: return "";
    case dcm_interpret_hint::implicit_vr:
        return "Implicit VR: View > Interpret shows VRs, values and sequences";
    case dcm_interpret_hint::other_syntax:
        return "Transfer syntax not decoded: View > Interpret reads it";
    case dcm_interpret_hint::character_set:
        return "Character set not shown: View > Interpret decodes the text";
    }
    return "";
}

}  // namespace velk
