// Indexing a folder on several threads: the walk (folder_walk.h) hands paths to
// `jobs` readers, each with its own first-bytes buffer, and every row goes to
// the caller as soon as it is read, in whatever order the readers finish.
// The folder window's reading; velkdump's --index goes through its own
// many-files path (cli/run_files.*), which writes text in the files' order.
#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>

#include "index/index_file.h"

namespace velk {

// Paths found but not yet read, at most, beside the batch (up to 64) each
// reader holds: the walk waits for the readers beyond this, so memory does not
// grow with the folder while the readers fall behind.
constexpr std::size_t dcm_index_queue_paths = 256;

// Called on a reader thread with each file's row (its path cell relative to the
// folder) and outcome; calls come from several threads at once when jobs > 1.
using dcm_indexed_fn = std::function<void(dcm_index_row&& row, dcm_index_outcome outcome)>;

// Reads every file below `folder` on `jobs` threads (1: on the calling thread
// alone) until `stop` is set. Returns once every path found has been handed on
// or `stop` was seen.
void dcm_index_folder(const std::filesystem::path& folder, unsigned jobs,
                      const std::atomic<bool>& stop, const dcm_indexed_fn& each);

// The readers a folder window uses: the processors, at most 4 (past that the
// disk, not the processor, sets the pace), at least 1.
unsigned dcm_index_default_jobs();

}  // namespace velk
