#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/file_list.h"

namespace velk {

namespace {

namespace fs = std::filesystem;

// A walk hands over each directory's files as it reads them, and they come in
// path order: name by name, so "a/z" before "a-b/x" although '-' sorts before '/'.
TEST(FileFinder, WalksInPathOrderADirectoryAtATime) {
    const fs::path root = fs::path(testing::TempDir()) / "velkdump_finder";
    fs::remove_all(root);
    std::vector<fs::path> made;
    for (const char* name :
         {"a-b/x", "a/z", "a.b", "a/y/2", "a/y/10", "b/c/d/e", "Z", "a/y.txt", "c"}) {
        made.push_back(root / fs::u8path(name));
        fs::create_directories(made.back().parent_path());
        std::ofstream(made.back()) << name;
    }
    fs::create_directories(root / "empty");
    std::sort(made.begin(), made.end());

    file_finder finder({root.u8string(), (root / "a.b").u8string()}, true);
    std::vector<listed_file> found;
    ASSERT_TRUE(finder.find_more(found));
    ASSERT_EQ(found.size(), 1u);  // "Z", then directory "a" is still to read
    EXPECT_FALSE(finder.finished());
    while (finder.find_more(found)) {
    }
    EXPECT_TRUE(finder.finished());
    ASSERT_EQ(found.size(), made.size() + 1);
    for (std::size_t i = 0; i < made.size(); ++i) {
        EXPECT_EQ(fs::u8path(found[i].path), made[i]);
        EXPECT_TRUE(found[i].walked && found[i].problem.empty());
    }
    EXPECT_FALSE(found.back().walked);  // named as well: listed again
    fs::remove_all(root);
}

#ifndef _WIN32
// A link is followed to a regular file, never into a directory (no walk loops);
// anything else that is neither is left out.
TEST(FileFinder, FollowsLinksToFilesOnly) {
    const fs::path root = fs::path(testing::TempDir()) / "velkdump_links";
    fs::remove_all(root);
    fs::create_directories(root / "sub");
    std::ofstream(root / "sub" / "file") << "x";
    fs::create_symlink("sub/file", root / "file_link");
    fs::create_symlink("sub", root / "loop_link");
    fs::create_symlink("nowhere", root / "dangling");

    file_finder finder({root.u8string()}, true);
    std::vector<listed_file> found;
    while (finder.find_more(found)) {
    }
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(fs::u8path(found[0].path), root / "file_link");
    EXPECT_EQ(fs::u8path(found[1].path), root / "sub" / "file");
    fs::remove_all(root);
}
#endif

}  // namespace

}  // namespace velk
