#include "index/index_file.h"

#include <algorithm>
#include <system_error>

#include "index/header_scan.h"
#include "parse/mapping.h"

#ifdef _WIN32
#include <fstream>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velk {

namespace {

// The first bytes of a file and its size, or why it gave none.
struct prefix_read {
    std::uint64_t size = 0;
    std::string problem;
};

#ifdef _WIN32

prefix_read read_prefix(const std::filesystem::path& path, std::vector<char>& buffer) {
    prefix_read read;
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status))
        read.problem = dcm_open_failure_text(dcm_open_failure::not_found);
    else if (std::filesystem::is_directory(status))
        read.problem = dcm_open_failure_text(dcm_open_failure::folder);
    else if (!std::filesystem::is_regular_file(status))
        read.problem = dcm_open_failure_text(dcm_open_failure::device);
    if (!read.problem.empty()) return read;
    read.size = std::filesystem::file_size(path, ec);
    std::ifstream in(path, std::ios::binary);
    if (ec || !in) {
        read.problem = dcm_open_failure_text(dcm_open_failure::access_denied);
        return read;
    }
    buffer.resize(
        static_cast<std::size_t>(std::min<std::uint64_t>(read.size, dcm_index_prefix_bytes)));
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    buffer.resize(static_cast<std::size_t>(in.gcount()));
    return read;
}

#else

std::string open_problem(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR: return dcm_open_failure_text(dcm_open_failure::not_found);
    case EACCES:
    case EPERM: return dcm_open_failure_text(dcm_open_failure::access_denied);
    case EISDIR: return dcm_open_failure_text(dcm_open_failure::folder);
    default: return std::generic_category().message(error);
    }
}

// One open, one fstat, one read. Not blocking: opening a pipe with no writer
// would wait for one; anything but a regular file is refused after the fstat.
prefix_read read_prefix(const std::filesystem::path& path, std::vector<char>& buffer) {
    prefix_read read;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        read.problem = open_problem(errno);
        return read;
    }
    struct stat status;
    if (::fstat(fd, &status) != 0) {
        read.problem = open_problem(errno);
    } else if (!S_ISREG(status.st_mode)) {
        read.problem = dcm_open_failure_text(S_ISDIR(status.st_mode) ? dcm_open_failure::folder
                                                                     : dcm_open_failure::device);
    } else {
        read.size = static_cast<std::uint64_t>(status.st_size);
        buffer.resize(
            static_cast<std::size_t>(std::min<std::uint64_t>(read.size, dcm_index_prefix_bytes)));
        std::size_t got = 0;
        while (got < buffer.size()) {
            const ssize_t n = ::read(fd, buffer.data() + got, buffer.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) read.problem = open_problem(errno);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        buffer.resize(got);  // a file cut while it is read gives what was there
    }
    ::close(fd);
    return read;
}

#endif

void clear_values(dcm_index_row& row) {
    std::string path = std::move(row.cell(dcm_index_column::path));
    row = dcm_index_row{};
    row.cell(dcm_index_column::path) = std::move(path);
}

}  // namespace

dcm_index_outcome dcm_index_file(const std::filesystem::path& path, dcm_index_row& row,
                                 std::vector<char>& buffer) {
    const prefix_read read = read_prefix(path, buffer);
    row.size = read.size;
    row.cell(dcm_index_column::size) = std::to_string(read.size);
    if (!read.problem.empty()) {
        row.cell(dcm_index_column::problem) = read.problem;
        return dcm_index_outcome::unreadable;
    }
    dcm_scan_result scan = dcm_scan_header(buffer.data(), buffer.data() + buffer.size(), row);
    if (scan.end == dcm_scan_end::not_part10) return dcm_index_outcome::not_part10;
    if (scan.end == dcm_scan_end::walked && buffer.size() < read.size) {
        const dcm_file_mapping whole(path.c_str());
        const std::uint64_t size = row.size;
        clear_values(row);
        row.size = size;
        row.cell(dcm_index_column::size) = std::to_string(size);
        if (!whole.is_open()) {
            row.cell(dcm_index_column::problem) = dcm_open_failure_text(whole.failure());
            return dcm_index_outcome::unreadable;
        }
        scan = dcm_scan_header(whole.begin(), whole.end(), row);
        if (scan.end == dcm_scan_end::not_part10) return dcm_index_outcome::not_part10;
    }
    if (scan.end == dcm_scan_end::walked && !scan.walk.complete())
        row.cell(dcm_index_column::problem) =
            std::string("header read in part: ") + dcm_walk_status_text(scan.walk.status);
    return dcm_index_outcome::listed;
}

}  // namespace velk
