// Reading a folder's entries with readdir, whose entries carry their type: a
// directory iterator made a path of every name and took it apart again, which
// cost more than the reading (about 1 ms a thousand names, paid before the
// first file of a walk can be listed).
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "parse/folder_entries.h"

namespace velk {

std::error_code dcm_read_folder_entries(const std::filesystem::path& folder,
                                        std::vector<dcm_folder_entry>& entries) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return {errno, std::generic_category()};
    std::error_code ec;
    for (;;) {
        errno = 0;
        const dirent* found = ::readdir(dir);
        if (!found) {
            if (errno != 0) ec = {errno, std::generic_category()};
            break;
        }
        const char* name = found->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
        unsigned char type = found->d_type;
        struct stat status;
        if (type == DT_UNKNOWN && ::fstatat(::dirfd(dir), name, &status, AT_SYMLINK_NOFOLLOW) == 0)
            type = S_ISDIR(status.st_mode)   ? DT_DIR
                   : S_ISLNK(status.st_mode) ? DT_LNK
                   : S_ISREG(status.st_mode) ? DT_REG
                                             : DT_UNKNOWN;
        if (type == DT_LNK && ::fstatat(::dirfd(dir), name, &status, 0) == 0 &&
            S_ISREG(status.st_mode))
            type = DT_REG;
        if (type == DT_DIR || type == DT_REG) entries.push_back({name, type == DT_DIR});
    }
    ::closedir(dir);
    return ec;
}

}  // namespace velk
