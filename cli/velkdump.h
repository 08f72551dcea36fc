// velkdump: the command-line listing of DICOM files' elements, as text, csv or json.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace velk {

// Runs velkdump over the UTF-8 arguments (without the program name). Listings
// go to out, problems to err. Answers the exit status (cli/exit_status.h):
// listed, a file failed, or a usage error. A FILE of "-" is read from `in`,
// standard input (in binary mode) when null.
int velkdump(const std::vector<std::string>& args, std::FILE* out, std::FILE* err,
             std::FILE* in = nullptr);

}  // namespace velk
