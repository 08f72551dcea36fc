// Value rendering by VR: the short 8-bit text of one element's value, as the
// "Data" column shows it. The rendering depends only on the VR recorded from the
// file, never on the tag or the dictionary.
//
//   text VRs (AE AI AS CS DA DS DT IS LO LT PN SH ST TM UI UT)
//                 every byte verbatim, pads, NULs and backslashes included
//   SS US SL LS UL AT  integers in decimal, joined by "/" (an AT value is one
//                 little-endian 32-bit number, element number in the high half)
//   FL FD         printf's "%g" form with a three-digit signed exponent
//                 ("1.23457e+006"), the same on every platform; "nan", "inf", "-inf"
//   OB            two upper-case hex digits per byte, at most `limit` bytes (0: all)
//   OW, OF        "other word data", "other float data"
//   SQ DL UN, no VR   nothing
//   anything else "uknown value representation"
//
// Numbers are read little endian without alignment. A trailing part of a value
// too short for one more number (a length that is not a whole multiple of the
// number's size) is not shown: no byte at or after `last` is ever read.
#pragma once

#include <cstddef>

namespace velk {

// Writes the text of the value [first, last), vr pointing at two bytes (not
// terminated) or null, cut where a list cell cuts it: at the first NUL, and to
// capacity - 1 characters. Writes that prefix and a terminator into
// out (nothing when capacity is 0) and returns its length. The work is bounded by
// the capacity, not by the value's length.
std::size_t dcm_render_value_cut(char* out, std::size_t capacity, const char* vr, const char* first,
                                 const char* last, std::size_t limit);

// The "%g" text of v (precision 6, exponent with sign and at least three digits)
// into out, which must hold 16 characters; returns the length. No terminator.
std::size_t dcm_format_double(double v, char* out);

}  // namespace velk
