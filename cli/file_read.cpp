#include "cli/file_read.h"

#include <system_error>

#ifdef _WIN32
#include <fstream>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velk {

#ifdef _WIN32

bool read_small_file(const std::filesystem::path& path, std::size_t limit,
                     std::vector<char>& into) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size == 0 || size > limit || !std::filesystem::is_regular_file(path, ec))
        return false;
    into.resize(static_cast<std::size_t>(size));
    std::ifstream in(path, std::ios::binary);
    return in.read(into.data(), static_cast<std::streamsize>(size)) &&
           static_cast<std::size_t>(in.gcount()) == size;
}

#else

// One open, one fstat and one read: the path is looked up once, and no stream
// is made (a stream's locale is shared by every thread, so each one made
// costs the others too).
bool read_small_file(const std::filesystem::path& path, std::size_t limit,
                     std::vector<char>& into) {
    // Not blocking: opening a pipe with no writer would wait for one.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat status;
    bool read_whole = false;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0 &&
        static_cast<std::uintmax_t>(status.st_size) <= limit) {
        const auto size = static_cast<std::size_t>(status.st_size);
        into.resize(size);
        std::size_t got = 0;
        while (got < size) {
            const ssize_t n = ::read(fd, into.data() + got, size - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        read_whole = got == size;
    }
    ::close(fd);
    return read_whole;
}

#endif

}  // namespace velk
