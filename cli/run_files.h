// Listing many files: one after the other, or several at once on worker threads,
// the output always in the files' order.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "cli/file_list.h"
#include "cli/output.h"

namespace velk {

// What listing one file gave.
struct file_listing {
    std::string problem;   // why the file could not be listed, or empty
    bool skipped = false;  // a walked file that is not a part-10 file: left out, counted
    bool failed = false;   // listed, and what it lists is a failure (its check found an error)
    // Listed as far as the walk went, and where and why it stopped ("stopped at
    // 2994: ..."): said on stderr after the rows, the exit status unchanged.
    std::string walk_end = {};
};

// Lists one file into `out`, calling out.start() before its first output (and
// before reporting a problem) unless the file is skipped. Called on worker
// threads when jobs > 1: it must keep no state between calls.
using list_one_file = std::function<file_listing(const listed_file& file, text_output& out)>;

struct run_layout {
    // A file's heading, written before its output when it is not skipped.
    std::function<std::string(const listed_file& file)> heading;
    // Written between the output of two files that were not skipped.
    std::string separator;
};

struct run_settings {
    unsigned jobs = 1;
    bool progress = false;  // a line "N of M files" on err, redrawn in place
    bool verbose = false;   // each file skipped is named on err
};

// Why a walked file is left out, as --verbose names it.
constexpr const char* skipped_reason = "not a DICOM part-10 file";

// Lists the files `files` finds into `out` in their order, starting while they
// are still being found; each problem goes to `err` as "velkdump: PATH: PROBLEM"
// after the output that came before it; when files were skipped, a last line on
// `err` counts them and those that could not be read. Answers whether every file
// was listed or skipped, and none of them failed.
bool run_files(file_finder& files, const list_one_file& list, const run_layout& layout,
               const run_settings& settings, text_output& out, std::FILE* err);

}  // namespace velk
