// One folder's entries as a walk of the files below a folder takes them: its
// subfolders (not links to folders, so no walk loops) and its regular files
// (links to regular files among them). Devices, pipes, sockets, broken and
// looping links are passed over. velkdump's -r (cli/file_list.*) and the folder
// window (index/folder_walk.*) both read folders through this one rule.
#pragma once

#include <filesystem>
#include <system_error>
#include <vector>

namespace velk {

struct dcm_folder_entry {
    std::filesystem::path::string_type name;  // the entry's name alone
    bool folder = false;                      // a subfolder, to walk into
};

// Appends the entries of `folder` in the order the system gives them. Each
// entry's kind comes with its name (the directory read gives it), so a walk
// asks nothing more of the system per file; only a name whose kind is not
// given, or a link, is asked about. The error of the reading, if any.
std::error_code dcm_read_folder_entries(const std::filesystem::path& folder,
                                        std::vector<dcm_folder_entry>& entries);

}  // namespace velk
