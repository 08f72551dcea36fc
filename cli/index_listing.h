// velkdump --index and --directory: the folder index of the files named (one
// row of key values per part-10 file, csv or json) and the record tree of a
// DICOMDIR.
#pragma once

#include <cstdio>

#include "cli/options.h"

namespace velk {

// Lists the index of the files and folders in `options` (walked with -r, -j
// files at once). Answers the exit status: 0 when every file was listed or
// skipped as not part-10, 1 when any could not be read, 2 on a write error.
int velkdump_index(const dump_options& options, std::FILE* out, std::FILE* err);

// Writes the record tree of the DICOMDIR named: indented text, or json with one
// object per node. Answers 0, or 1 when the file is no DICOMDIR, a branch is
// broken or a referenced file is missing.
int velkdump_directory(const dump_options& options, std::FILE* out, std::FILE* err);

}  // namespace velk
