// Element header decoding: tag, value representation and value length, in explicit
// or implicit VR little endian (PS3.5 section 7.1), and the syntax mode switch at
// the Transfer Syntax UID.
#pragma once

#include <cstdint>

#include "parse/reader.h"
#include "parse/tags.h"
#include "parse/vr_table.h"

namespace velk {

constexpr std::uint32_t undefined_length = 0xFFFFFFFFu;

// The syntax mode a level is read in. Any transfer syntax but the two
// little-endian ones is walked as explicit VR little endian. Eight bits, so that
// a record keeps it; later readings (byte order, inflated data) add values here.
enum dcm_syntax : std::uint8_t {
    syntax_other = 0,
    syntax_implicit_le = 1,
    syntax_explicit_le = 2,
    syntax_explicit_be = 3,  // explicit VR big endian: only the Interpret walk reads it
};

// Classifies a Transfer Syntax UID value of `length` bytes. The caller guarantees
// that those bytes are readable. Values of 255 bytes or more cannot be either
// recognised UID and are not copied at all.
dcm_syntax dcm_classify_syntax(const void* value, std::uint32_t length);

inline bool dcm_is_delimiter(std::uint32_t tag) {
    return tag == tag_item_delimiter || tag == tag_sequence_delimiter;
}

inline bool dcm_has_no_vr(std::uint32_t tag) { return tag == tag_item || dcm_is_delimiter(tag); }

// Whether the explicit header of an element of VR `vr` has two reserved bytes
// and a 32-bit length (the VR table's header form); a code the table does not
// know has the short form. The walk, the re-parse and the measure of a skipped
// value all decode headers here.
inline bool dcm_is_long_form_vr(const char* vr) {
    const dcm_vr_info* info = dcm_find_vr(vr);
    return info && info->header == dcm_vr_header::long_form;
}

// Binary VRs whose nested level is not searched for sequences and items: inside
// encapsulated pixel data the fragments are opaque.
inline bool dcm_is_opaque_vr(const char* vr) {
    return dcm_vr_is(vr, "OB") || dcm_vr_is(vr, "OW") || dcm_vr_is(vr, "OF");
}

template <class Ptr>
struct dcm_header {
    Ptr start;  // the element's first byte
    Ptr value;  // its first value byte
    std::uint32_t tag;
    std::uint32_t length;  // as declared; undefined_length when undefined
    char vr[2];            // two zero bytes for an implicit element
    bool explicit_vr;
    std::uint32_t header_length() const { return static_cast<std::uint32_t>(value - start); }
};

// Decodes the header at p in mode `mode`, counting its bytes in `consumed`.
// Returns false, having read nothing, when the header does not fit before end.
// A Transfer Syntax UID updates `mode`; one whose value does not lie wholly
// before end is not recognised (mode 0).
template <class Ptr>
bool dcm_decode_header(Ptr p, Ptr end, dcm_syntax& mode, dcm_header<Ptr>& h,
                       std::uint64_t& consumed) {
    if (!dcm_fits(p, end, 8)) return false;
    std::uint32_t used = 0;
    h.start = p;
    const std::uint16_t group = read_u16(p, used);
    const std::uint16_t element = read_u16(p, used);
    h.tag = dcm_tag(group, element);
    h.explicit_vr =
        !dcm_has_no_vr(h.tag) && !(mode == syntax_implicit_le && group > file_meta_group);
    h.vr[0] = h.vr[1] = 0;
    if (h.explicit_vr) {
        copy_bytes(p, 2, h.vr);
        advance(p, 2);
        used += 2;
        if (dcm_is_long_form_vr(h.vr)) {
            if (!dcm_fits(h.start, end, 12)) return false;
            h.length = skip_read_u32(2, p, used);
        } else {
            h.length = read_u16(p, used);
        }
    } else {
        h.length = read_u32(p, used);
    }
    h.value = p;
    consumed += used;
    if (h.tag == tag_transfer_syntax_uid) {
        mode = dcm_fits(h.value, end, h.length) ? dcm_classify_syntax(&*h.value, h.length)
                                                : syntax_other;
    }
    return true;
}

}  // namespace velk
