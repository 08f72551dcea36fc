#include "cli/file_list.h"

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <type_traits>

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace velk {

namespace fs = std::filesystem;

namespace {

using native_name = fs::path::string_type;

// A name in a directory, and whether the walk goes into it.
struct entry {
    native_name name;
    bool folder = false;
};

// A path in UTF-8; on a system whose paths are 8-bit already, as it is.
template <typename Char>
std::string utf8_of(std::basic_string<Char> path) {
    if constexpr (std::is_same_v<Char, char>)
        return path;
    else
        return fs::path(path).u8string();
}

#ifdef _WIN32

// The subdirectories and regular files in `folder`, in the order read.
std::error_code read_folder(const fs::path& folder, std::vector<entry>& entries) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code status_error;
        const bool link = it->is_symlink(status_error);
        if (!link && it->is_directory(status_error))
            entries.push_back({it->path().filename().native(), true});
        else if (it->is_regular_file(status_error))
            entries.push_back({it->path().filename().native(), false});
    }
    return ec;
}

#else

// The subdirectories and regular files in `folder`, in the order read. Read
// with readdir, whose entries carry their type: a directory iterator made a
// path of every name and took it apart again, which cost more than the
// reading (about 1 ms a thousand names, paid before the first file of a walk
// can be listed). A name whose type is not given is asked about; a link is
// followed to a regular file only, never into a directory.
std::error_code read_folder(const fs::path& folder, std::vector<entry>& entries) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return {errno, std::generic_category()};
    std::error_code ec;
    for (;;) {
        errno = 0;
        const dirent* found = ::readdir(dir);
        if (!found) {
            if (errno != 0) ec = {errno, std::generic_category()};
            break;
        }
        const char* name = found->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
        unsigned char type = found->d_type;
        struct stat status;
        if (type == DT_UNKNOWN && ::fstatat(::dirfd(dir), name, &status, AT_SYMLINK_NOFOLLOW) == 0)
            type = S_ISDIR(status.st_mode)   ? DT_DIR
                   : S_ISLNK(status.st_mode) ? DT_LNK
                   : S_ISREG(status.st_mode) ? DT_REG
                                             : DT_UNKNOWN;
        if (type == DT_LNK && ::fstatat(::dirfd(dir), name, &status, 0) == 0 &&
            S_ISREG(status.st_mode))
            type = DT_REG;
        if (type == DT_DIR || type == DT_REG) entries.push_back({name, type == DT_DIR});
    }
    ::closedir(dir);
    return ec;
}

#endif

// The folder's path as the start of its entries' paths: with the separator
// that `folder / name` would put between them (none after "dir/" or "C:").
native_name prefix_of(const fs::path& folder) {
    native_name probe = (folder / "x").native();
    probe.pop_back();
    return probe;
}

}  // namespace

// A directory being walked: its entries in name order, the next one to take,
// and what its entries' paths begin with.
struct file_finder::open_folder {
    std::vector<entry> entries;
    std::size_t next = 0;
    native_name prefix;
};

file_finder::file_finder(std::vector<std::string> paths, bool recursive)
    : m_paths(std::move(paths)), m_recursive(recursive) {}

file_finder::~file_finder() = default;

// Reads one directory: its subdirectories and regular files, sorted by name. A
// directory that cannot be read is reported, in its place in the order, with
// what could be read of it.
void file_finder::open(const fs::path& folder, std::vector<listed_file>& out) {
    open_folder opened{{}, 0, prefix_of(folder)};
    const std::error_code ec = read_folder(folder, opened.entries);
    if (ec) out.push_back({folder.u8string(), true, "cannot read the directory: " + ec.message()});
    std::sort(opened.entries.begin(), opened.entries.end(),
              [](const entry& a, const entry& b) { return a.name < b.name; });
    m_folders.push_back(std::move(opened));
}

// Path order compares paths name by name, so it is the order of a depth-first
// walk that takes each directory's entries sorted by name: only the names of
// one directory are ever sorted. Goes on until it has found files and the next
// entry is a directory still to read, or the walk ends.
void file_finder::walk_on(std::vector<listed_file>& out) {
    const std::size_t before = out.size();
    while (!m_folders.empty()) {
        open_folder& top = m_folders.back();
        if (top.next == top.entries.size()) {
            m_folders.pop_back();
            continue;
        }
        const entry& next = top.entries[top.next];
        if (next.folder && out.size() > before) return;
        ++top.next;
        native_name path = top.prefix + next.name;
        if (next.folder)
            open(fs::path(std::move(path)), out);
        else
            out.push_back({utf8_of(std::move(path)), true, {}});
    }
}

bool file_finder::find_more(std::vector<listed_file>& out) {
    const std::size_t before = out.size();
    while (out.size() == before) {
        if (!m_folders.empty()) {
            walk_on(out);
            continue;
        }
        if (m_next_path == m_paths.size()) return false;
        // The names given up to the next directory to walk.
        for (; m_next_path < m_paths.size() && m_folders.empty(); ++m_next_path) {
            const std::string& name = m_paths[m_next_path];
            std::error_code ec;
            const fs::path path = fs::u8path(name);
            if (m_recursive && fs::is_directory(path, ec))
                open(path, out);
            else
                out.push_back({name, false, {}});
        }
    }
    return true;
}

}  // namespace velk
