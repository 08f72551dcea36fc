#include "cli/file_list.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <type_traits>

namespace velk {

namespace fs = std::filesystem;

namespace {

using native_name = fs::path::string_type;

// A name in a directory, and whether the walk goes into it.
struct entry {
    native_name name;
    bool folder = false;
};

// A directory being walked: its entries in name order, the next one to take,
// and what its entries' paths begin with.
struct open_folder {
    std::vector<entry> entries;
    std::size_t next = 0;
    native_name prefix;
};

// A path in UTF-8; on a system whose paths are 8-bit already, as it is.
template <typename Char>
std::string utf8_of(const std::basic_string<Char>& path) {
    if constexpr (std::is_same_v<Char, char>) return path;
    else return fs::path(path).u8string();
}

// The folder's path as the start of its entries' paths: with the separator
// that `folder / name` would put between them (none after "dir/" or "C:").
native_name prefix_of(const fs::path& folder) {
    native_name probe = (folder / "x").native();
    probe.pop_back();
    return probe;
}

// Reads one directory: its subdirectories (symbolic links to directories are
// not followed, so no walk loops) and regular files, sorted by name. A
// directory that cannot be read is reported with what could be read of it.
open_folder read_folder(const fs::path& folder, std::vector<listed_file>& out) {
    open_folder opened{{}, 0, prefix_of(folder)};
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code status_error;
        const bool link = it->is_symlink(status_error);
        if (!link && it->is_directory(status_error))
            opened.entries.push_back({it->path().filename().native(), true});
        else if (it->is_regular_file(status_error))
            opened.entries.push_back({it->path().filename().native(), false});
    }
    if (ec) out.push_back({folder.u8string(), true, "cannot read the directory: " + ec.message()});
    std::sort(opened.entries.begin(), opened.entries.end(),
              [](const entry& a, const entry& b) { return a.name < b.name; });
    return opened;
}

// Every regular file beneath `root`, in path order: path order compares paths
// name by name, so it is the order of a depth-first walk that takes each
// directory's entries sorted by name, and only names in one directory are ever
// sorted. Directories are held on a stack, not walked by recursion.
void walk(const fs::path& root, std::vector<listed_file>& out) {
    std::vector<open_folder> stack;
    stack.push_back(read_folder(root, out));
    while (!stack.empty()) {
        open_folder& top = stack.back();
        if (top.next == top.entries.size()) {
            stack.pop_back();
            continue;
        }
        const entry& next = top.entries[top.next++];
        native_name path = top.prefix + next.name;
        if (next.folder) stack.push_back(read_folder(fs::path(std::move(path)), out));
        else out.push_back({utf8_of(path), true, {}});
    }
}

}  // namespace

std::vector<listed_file> expand_paths(const std::vector<std::string>& paths, bool recursive) {
    std::vector<listed_file> files;
    for (const std::string& name : paths) {
        std::error_code ec;
        const fs::path path = fs::u8path(name);
        if (recursive && fs::is_directory(path, ec)) walk(path, files);
        else files.push_back({name, false, {}});
    }
    return files;
}

}  // namespace velk
