// The mapping on POSIX systems (the host build: velkdump and the tests).
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "parse/mapping.h"
#include "parse/windowed_view.h"

namespace velk {

namespace {

dcm_open_failure failure_of(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG: return dcm_open_failure::not_found;
    case EACCES:
    case EPERM: return dcm_open_failure::access_denied;
    case ENOMEM:
    case EOVERFLOW: return dcm_open_failure::no_memory;
    default: return dcm_open_failure::other;
    }
}

// Closes a descriptor however the open ends; the mapping outlives it.
struct descriptor {
    int fd;
    ~descriptor() {
        if (fd >= 0) ::close(fd);
    }
    int release() {
        const int kept = fd;
        fd = -1;
        return kept;
    }
};

}  // namespace

struct dcm_mapping_platform {
    static void open(dcm_file_mapping& m, const char* path) {
        if (!path || !*path) return m.fail(dcm_open_failure::not_found);
        // Without blocking: a FIFO opens at once instead of waiting for a writer,
        // and is then refused below without a byte read.
        descriptor file{::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
        if (file.fd < 0)
            return m.fail(errno == EISDIR ? dcm_open_failure::folder : failure_of(errno));
        struct stat status {};
        if (::fstat(file.fd, &status) != 0) return m.fail(failure_of(errno));
        if (S_ISDIR(status.st_mode)) return m.fail(dcm_open_failure::folder);
        if (!S_ISREG(status.st_mode)) return m.fail(dcm_open_failure::device);
        if (status.st_size == 0) return m.fail(dcm_open_failure::empty);
        if (static_cast<std::uintmax_t>(status.st_size) > SIZE_MAX)
            return m.fail(dcm_open_failure::no_memory);
        const auto size = static_cast<std::size_t>(status.st_size);
        if (size > dcm_whole_view_limit())
            return m.adopt_windowed(dcm_windowed_view::open(file.release(), size));
        void* view = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, file.fd, 0);
        if (view == MAP_FAILED && failure_of(errno) == dcm_open_failure::no_memory)
            return m.adopt_windowed(dcm_windowed_view::open(file.release(), size));
        if (view == MAP_FAILED) return m.fail(failure_of(errno));
        m.adopt(static_cast<const char*>(view), size);
    }
};

dcm_file_mapping::dcm_file_mapping(const char* path) noexcept {
    dcm_mapping_platform::open(*this, path);
}

dcm_file_mapping::~dcm_file_mapping() {
    if (m_data && !m_windowed) ::munmap(const_cast<char*>(m_data), m_size);
}

}  // namespace velk
