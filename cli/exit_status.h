// velkdump's exit statuses, and the problem both of its commands name when a
// file has no part-10 marker.
#pragma once

namespace velk {

// Listing files.
constexpr int dump_exit_listed = 0;       // every file was listed
constexpr int dump_exit_file_failed = 1;  // a file could not be read, or the output not written
constexpr int dump_exit_usage_error = 2;  // the command line asks for nothing velkdump does

// --diff: comparing two files.
constexpr int diff_exit_alike = 0;   // the files list alike
constexpr int diff_exit_differ = 1;  // at least one difference was written
constexpr int diff_exit_failed = 2;  // a file could not be read, or the output not written

constexpr const char* no_marker_problem = "not a DICOM part-10 file (no \"DICM\" at byte 128)";

}  // namespace velk
