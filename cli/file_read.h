// Reading a small file whole, for listings of many files: cheaper than mapping
// each, and than asking the file system about the path before opening it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

namespace velk {

// Reads the regular file at `path` into `into` when it holds 1 to `limit`
// bytes. False, `into` then undefined, for anything else (no such file, an
// empty or larger file, a directory, a device, a pipe, a read error): the
// caller maps it instead, and the mapping says what is wrong.
bool read_small_file(const std::filesystem::path& path, std::size_t limit, std::vector<char>& into);

}  // namespace velk
