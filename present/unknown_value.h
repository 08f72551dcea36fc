// The value of an element whose VR nothing gives (UN, or read without a VR and
// unknown to every dictionary), as the Interpret mode's data cell shows it: the
// text itself when every byte is printable ASCII (a vendor's string under an
// unknown tag reads as one), its bytes in hex otherwise, as OB values show.
#pragma once

#include <cstddef>

namespace velk {

// Whether [first, last) is text to show as it is: printable ASCII, tabs and
// line breaks, then at most padding (spaces and NULs) to its end. An empty
// value is none.
bool dcm_is_printable_text(const char* first, const char* last);

// Writes the cell's text of the unknown value [first, last), cut to
// capacity - 1 bytes and terminated; `limit` bounds the bytes a hex dump shows.
// Returns its length.
std::size_t dcm_unknown_value_cut(char* out, std::size_t capacity, const char* first,
                                  const char* last, std::size_t limit);

}  // namespace velk
