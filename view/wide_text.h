// UTF-8 text (an inspector line, a finding's message, an index cell) as a
// window shows it: UTF-16.
#pragma once

#include <string>

namespace velk {

// Bytes that are not UTF-8 become U+FFFD, as the system's conversion makes them.
std::wstring WidenUtf8(const std::string& utf8);

}  // namespace velk
