// velkdump --diff: the differences between two files' rows, one line each, as
// the viewer's comparison window lists them.
#pragma once

#include <cstdio>
#include <string>

#include "present/row_model.h"

namespace velk {

// Compares the files named (in UTF-8) first and second. Each difference is one
// line of eight cells separated by ";": what differs ("only in first", "only in
// second", "changed", "moved", "changed, moved"), the element's path, its VR,
// its name, its value in each file and its offset in each file. Answers the
// exit status (cli/exit_status.h): alike, differ, or failed when either cannot
// be read. Both files are read in `reading` (velkdump --interpret: the
// Interpret reading).
int velkdump_diff(const std::string& first, const std::string& second, dcm_reading reading,
                  std::FILE* out, std::FILE* err);

}  // namespace velk
