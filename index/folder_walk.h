// The files below a folder, for the folder window: every regular file (or link
// to one), depth first with each folder's names sorted. Links to folders are not
// followed, so no walk loops; devices, pipes and broken links are not files and
// are passed over. (velkdump's -r walk, cli/file_list.*, reads folders by the
// same rule: parse/folder_entries.h.)
#pragma once

#include <filesystem>
#include <functional>

namespace velk {

// Calls `each` with every file's path until it answers false. Answers the number
// of folders that could not be read.
std::size_t dcm_walk_folder(const std::filesystem::path& folder,
                            const std::function<bool(const std::filesystem::path&)>& each);

}  // namespace velk
