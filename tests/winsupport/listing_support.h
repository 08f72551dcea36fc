// What velkdump lists for a file, in the form the viewer's Copy Rows gives it,
// for the tests that hold the two against each other.
#pragma once

#include <string>

namespace velk {

namespace listing {

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& text);

// What Copy Rows of every row puts on the clipboard for `path`, in UTF-8:
// velkdump's listing with every row's line ended by CR LF instead of LF (a
// value's own line breaks stay as they are). False when velkdump does not list
// the file (not a part-10 file), which is when the viewer's list stays empty.
bool ExpectedCopy(const std::wstring& path, std::string& expected);

// The first line where two listings part, for a readable failure.
std::string FirstDifference(const std::string& viewer, const std::string& velkdump);

}  // namespace listing

}  // namespace velk
