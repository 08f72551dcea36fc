// Reading a file that cannot be mapped, standard input or a pipe, into memory.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace velk {

// The most bytes velkdump keeps of a stream: the whole file is held in memory,
// and a stream has no size to check beforehand. Said in velkdump --help.
constexpr std::size_t dump_stream_cap = std::size_t(1) << 30;
// The cap in words, "1 GiB", for the help and the message when it is reached.
std::string dump_stream_cap_text();

// The path that names standard input.
constexpr const char* dump_stdin_path = "-";

struct stream_contents {
    std::vector<char> bytes;
    bool capped = false;  // the stream held more than the cap: only the first bytes are here
    std::string error;    // a read error, or empty
};

// Reads `in` to its end, or to `cap` bytes (then one more byte tells whether
// the stream goes on).
stream_contents read_stream(std::FILE* in, std::size_t cap);

// Standard input in binary mode (on Windows, its text mode would turn CR LF
// into LF and stop at a byte 1AH).
std::FILE* binary_stdin();

// Opens the stream at `path` for reading bytes; null when it cannot be opened.
std::FILE* open_stream(const std::filesystem::path& path);

// Whether `path` names a stream to read rather than a file to map: "-", or a
// pipe (/dev/stdin under a shell's pipe, a named pipe) or a character device.
bool is_stream_path(const std::filesystem::path& path);

}  // namespace velk
