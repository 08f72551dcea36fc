// What each character repertoire of the VR table (parse/vr_table.h, its
// repertoire column) allows, as one table: the characters a value may hold and
// the form it must have. The VR table says which repertoire, longest value and
// padding a VR has; this says what the repertoire means.
#pragma once

#include <string>
#include <string_view>

#include "parse/vr_table.h"

namespace velk {

// What is wrong with one value (one of a multi-valued element's, without its
// padding) of repertoire `repertoire`, in words that follow `VR value "..."`:
// "has characters a date may not hold: '.'", "is not a date: month 13", or
// empty when nothing is.
std::string dcm_value_fault(dcm_repertoire repertoire, std::string_view value);

// Whether the repertoire's values have leading and trailing spaces that carry
// no meaning (and are left out before the form is judged).
bool dcm_value_spaces_insignificant(dcm_repertoire repertoire);

}  // namespace velk
