#include "index/folder_walk.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "parse/folder_entries.h"

namespace velk {

namespace fs = std::filesystem;

namespace {

struct found_entry {
    fs::path path;
    bool folder;
};

// A folder's subfolders (not links to them) and files, sorted by name.
bool read_folder(const fs::path& folder, std::vector<found_entry>& entries) {
    std::vector<dcm_folder_entry> found;
    const std::error_code ec = dcm_read_folder_entries(folder, found);
    for (dcm_folder_entry& entry : found)
        entries.push_back({folder / std::move(entry.name), entry.folder});
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
