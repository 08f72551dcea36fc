// Reading a folder's entries on Windows: FindFirstFileExW gives each name with
// its attributes, so a walk asks nothing per file by path (each such question
// is a round trip to the system, dear over thousands of files). Only a link
// (a reparse point) is asked about, to follow it to a regular file alone.
#include <windows.h>

#include "parse/folder_entries.h"

namespace velk {

namespace {

// Whether the link at `path` leads to a regular file.
bool links_to_file(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

std::error_code dcm_read_folder_entries(const std::filesystem::path& folder,
                                        std::vector<dcm_folder_entry>& entries) {
    const std::wstring pattern = (folder / L"*").native();
    WIN32_FIND_DATAW found{};
    const HANDLE find =
        ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                           FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return {};  // an empty folder (no "." either)
        return {int(error), std::system_category()};
    }
    std::error_code ec;
    do {
        const wchar_t* name = found.cFileName;
        if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
        const DWORD attributes = found.dwFileAttributes;
        const bool folder_kind = attributes & FILE_ATTRIBUTE_DIRECTORY;
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            // A link: never into a folder; to a file only if it leads to one.
            if (!folder_kind && links_to_file(folder / name)) entries.push_back({name, false});
            continue;
        }
        // Devices do not appear in a folder's listing: a name is a file or a folder.
        entries.push_back({name, folder_kind});
    } while (::FindNextFileW(find, &found));
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES) ec = {int(error), std::system_category()};
    ::FindClose(find);
    return ec;
}

}  // namespace velk
