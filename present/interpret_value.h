// What the Interpret mode shows of an element's VR and value.
//
// The VR: the one read from the file, or, for an element read without one
// (implicit VR) and for a UN element whose tag the dictionary knows, the complete
// dictionary's; such an element of undefined length that the dictionary does not
// know is read as a sequence, SQ, and Pixel Data of undefined length (encapsulated)
// as OB. A VR not read from the file is written in parentheses,
// "(US)", so that copied and dumped text tells it from one read from the file.
//
// The value, as UTF-8 text:
//   SH LO ST LT PN UC UT   decoded by the Specific Character Set in force
//   AE AS CS DA DS DT IS TM UI UR   the default repertoire (bytes 0x80-0xFF as ISO 8859-1)
//   SS US SL UL SV UV FL FD OD OL OV AT   numbers in the data set's byte order,
//                          joined by "/" (floats as the default mode writes them)
//   OB, OW, OF, SQ, UN, none, unknown VRs   as the default mode renders them
// cut at the first NUL and to the cell's capacity, never inside a character.
#pragma once

#include <cstddef>
#include <cstdint>

#include "parse/reader.h"
#include "present/charset.h"

namespace velk {

struct dcm_shown_vr {
    char vr[2];            // zeros when there is none
    bool from_dictionary;  // not read from the file
};

// `as_read` points at the two VR bytes recorded for the element (zeros when none).
dcm_shown_vr dcm_interpret_vr(std::uint32_t tag, const char* as_read, std::uint32_t length);

// The VR cell's text: "US", "(US)" or nothing; returns its length. out holds 5 bytes.
std::size_t dcm_interpret_vr_text(const dcm_shown_vr& vr, char* out);

// The text form a VR's value is decoded in, or false when it is no charset text.
bool dcm_charset_text_form(const char* vr, dcm_text_form& form);

// Writes the value [first, last) of an element of VR `vr` as UTF-8, cut at the
// first NUL and to capacity - 1 bytes, then a terminator (nothing when capacity
// is 0). Returns its length. `limit` bounds the bytes an OB dump shows.
std::size_t dcm_interpret_value_cut(char* out, std::size_t capacity, const char* vr,
                                    const char* first, const char* last, dcm_byte_order order,
                                    const dcm_charset& charset, std::size_t limit);

}  // namespace velk
