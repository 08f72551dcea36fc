// The files a velkdump command lists: the names given, with the directories
// among them walked when asked.
#pragma once

#include <string>
#include <vector>

namespace velk {

struct listed_file {
    std::string path;     // UTF-8
    bool walked = false;  // found in a directory walk rather than named
    std::string problem;  // why the walk could not go on here, or empty
};

// The paths in order; with `recursive`, a directory is replaced by every regular
// file beneath it, sorted by path (symbolic links to directories are not
// followed, so no walk loops). Anything else is kept as named: the listing
// reports a directory or a missing file.
std::vector<listed_file> expand_paths(const std::vector<std::string>& paths, bool recursive);

}  // namespace velk
