// The name of a transfer syntax, as a status line shows it.
#pragma once

#include <string_view>

namespace velk {

// The name of the transfer syntax `uid` (its value as read: trailing NUL and
// space padding are ignored), or null when the UID is not a known one.
const char* dcm_transfer_syntax_name(std::string_view uid);

}  // namespace velk
