// The files a velkdump command lists: the names given, with the directories
// among them walked when asked.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace velk {

struct listed_file {
    std::string path;     // UTF-8
    bool walked = false;  // found in a directory walk rather than named
    std::string problem;  // why the walk could not go on here, or empty
};

// Finds the files in their order a directory at a time, so that listing can
// start while a long walk goes on. With `recursive`, a directory is replaced by
// every regular file beneath it, sorted by path (symbolic links to directories
// are not followed, so no walk loops). Anything else is kept as named: the
// listing reports a directory or a missing file.
class file_finder {
public:
    file_finder(std::vector<std::string> paths, bool recursive);
    ~file_finder();
    file_finder(const file_finder&) = delete;
    file_finder& operator=(const file_finder&) = delete;

    // Appends the next files to `out`: at least one, unless every file has
    // been found, which it then answers with false.
    bool find_more(std::vector<listed_file>& out);
    // Whether it may find more than `count` files, known before any is found:
    // a walk may, the names given alone are as many as they are.
    bool may_find_more_than(std::size_t count) const {
        return m_recursive || m_paths.size() > count;
    }
    // Whether find_more has nothing left to find.
    bool finished() const { return m_folders.empty() && m_next_path == m_paths.size(); }

private:
    struct open_folder;
    void walk_on(std::vector<listed_file>& out);
    void open(const std::filesystem::path& folder, std::vector<listed_file>& out);

    std::vector<std::string> m_paths;
    std::size_t m_next_path = 0;
    bool m_recursive;
    std::vector<open_folder> m_folders;  // the walk's way down, innermost last
};

}  // namespace velk
