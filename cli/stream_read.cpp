#include "cli/stream_read.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <sys/stat.h>
#endif

namespace velk {

std::string dump_stream_cap_text() { return std::to_string(dump_stream_cap >> 30) + " GiB"; }

stream_contents read_stream(std::FILE* in, std::size_t cap) {
    stream_contents got;
    constexpr std::size_t step = std::size_t(1) << 20;
    std::size_t used = 0;
    while (used < cap) {
        const std::size_t want = cap - used < step ? cap - used : step;
        got.bytes.resize(used + want);
        const std::size_t n = std::fread(got.bytes.data() + used, 1, want, in);
        used += n;
        if (n < want) break;
    }
    got.bytes.resize(used);
    if (std::ferror(in)) {
        got.error = std::strerror(errno);
    } else if (used == cap) {
        got.capped = std::fgetc(in) != EOF;
    }
    return got;
}

std::FILE* binary_stdin() {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    return stdin;
}

std::FILE* open_stream(const std::filesystem::path& path) {
#ifdef _WIN32
    return _wfopen(path.c_str(), L"rb");
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

bool is_stream_path(const std::filesystem::path& path) {
    if (path == dump_stdin_path) return true;
#ifdef _WIN32
    return false;
#else
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 &&
           (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode));
#endif
}

}  // namespace velk
