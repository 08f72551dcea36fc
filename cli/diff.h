// velkdump --diff: the differences between two files' rows, one line each, as
// the viewer's comparison window lists them.
#pragma once

#include <cstdio>
#include <string>

#include "cli/options.h"
#include "present/row_model.h"

namespace velk {

// Compares the files named (in UTF-8) first and second. Each difference is one
// record of eight cells (in text separated by ";", a cell holding ";", a quote
// or a line break quoted as csv quotes it; in csv after a header record; in
// json one object a line, keyed by the csv header's names): what differs ("only in first", "only in
// second", "changed", "moved", "changed, moved"), the element's path, its VR,
// its name, its value in each file and its offset in each file. Answers the
// exit status (cli/exit_status.h): alike, differ, or failed when either cannot
// be read. Both files are read in `reading` (velkdump --interpret: the
// Interpret reading).
int velkdump_diff(const std::string& first, const std::string& second, dcm_reading reading,
                  dump_format format, std::FILE* out, std::FILE* err);

}  // namespace velk
