#include "cli/file_list.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace velk {

namespace fs = std::filesystem;

namespace {

// Every regular file beneath `root`, in path order. A directory that cannot be
// read becomes an entry with its problem, in its place in the order, and the
// walk goes on. Directories are read from a stack, not by recursion.
void walk(const fs::path& root, std::vector<listed_file>& out) {
    std::vector<fs::path> pending{root};
    std::vector<std::pair<fs::path, std::string>> found;
    while (!pending.empty()) {
        const fs::path folder = std::move(pending.back());
        pending.pop_back();
        std::error_code ec;
        fs::directory_iterator it(folder, ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            std::error_code status_error;
            const bool link = it->is_symlink(status_error);
            if (!link && it->is_directory(status_error)) pending.push_back(it->path());
            else if (it->is_regular_file(status_error)) found.emplace_back(it->path(), std::string());
        }
        if (ec) found.emplace_back(folder, "cannot read the directory: " + ec.message());
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [path, problem] : found) out.push_back({path.u8string(), true, std::move(problem)});
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
