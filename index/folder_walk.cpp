#include "index/folder_walk.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace velk {

namespace fs = std::filesystem;

namespace {

struct found_entry {
    fs::path path;
    bool folder;
};

// A folder's subfolders (not links to them) and files, sorted by name.
bool read_folder(const fs::path& folder, std::vector<found_entry>& entries) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code status_error;
        if (!it->is_symlink(status_error) && it->is_directory(status_error))
            entries.push_back({it->path(), true});
        else if (it->is_regular_file(status_error))
            entries.push_back({it->path(), false});
    }
    std::sort(entries.begin(), entries.end(),
              [](const found_entry& a, const found_entry& b) { return a.path < b.path; });
    return !ec;
}

}  // namespace

std::size_t dcm_walk_folder(const fs::path& folder,
                            const std::function<bool(const fs::path&)>& each) {
    std::size_t unreadable = 0;
    // The folders still to read, deepest last: no recursion, whatever the depth.
    std::vector<std::vector<found_entry>> open(1);
    if (!read_folder(folder, open.back())) ++unreadable;
    std::reverse(open.back().begin(), open.back().end());
    while (!open.empty()) {
        std::vector<found_entry>& top = open.back();
        if (top.empty()) {
            open.pop_back();
            continue;
        }
        const found_entry next = std::move(top.back());
        top.pop_back();
        if (!next.folder) {
            if (!each(next.path)) return unreadable;
            continue;
        }
        std::vector<found_entry> entries;
        if (!read_folder(next.path, entries)) ++unreadable;
        std::reverse(entries.begin(), entries.end());
        open.push_back(std::move(entries));
    }
    return unreadable;
}

}  // namespace velk
