// Why a document listed in the default mode would show more in the Interpret
// mode: the status bar says so while the mode is off.
#pragma once

#include <cstdint>
#include <vector>

#include "parse/record.h"

namespace velk {

enum class dcm_interpret_hint : std::uint8_t {
    none,
    implicit_vr,    // elements read without a VR: no VR, no value, few names
    other_syntax,   // a transfer syntax the default mode walks as explicit VR little endian
    character_set,  // text in a character set other than the default
};

// Looks at the records of a default-mode load and the file's bytes.
dcm_interpret_hint dcm_interpret_hint_for(const char* begin, const char* end,
                                          const std::vector<dcm_record>& records);

// The status bar's words for a hint ("" for none), ASCII.
const char* dcm_interpret_hint_text(dcm_interpret_hint hint);

}  // namespace velk
