#include "index/folder_index.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "index/folder_walk.h"

namespace velk {

namespace fs = std::filesystem;

namespace {

// The walk's paths on their way to the readers, bounded.
class path_queue {
public:
    // Waits for room; false once the queue is closed.
    bool push(fs::path path) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_room.wait(lock, [&] { return m_closed || m_paths.size() < dcm_index_queue_paths; });
        if (m_closed) return false;
        m_paths.push_back(std::move(path));
        m_waiting.notify_one();
        return true;
    }

    // Waits for a path; false when the queue is closed and empty.
    bool pop(fs::path& path) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_waiting.wait(lock, [&] { return m_closed || !m_paths.empty(); });
        if (m_paths.empty()) return false;
        path = std::move(m_paths.front());
        m_paths.pop_front();
        m_room.notify_one();
        return true;
    }

    // No more paths: the readers finish what is queued (or, dropping it, stop).
    void close(bool drop) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
        if (drop) m_paths.clear();
        m_room.notify_all();
        m_waiting.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_room;
    std::condition_variable m_waiting;
    std::deque<fs::path> m_paths;
    bool m_closed = false;
};

void index_one(const fs::path& folder, const fs::path& path, std::vector<char>& buffer,
               const dcm_indexed_fn& each) {
    dcm_index_row row;
    row.cell(dcm_index_column::path) = path.lexically_relative(folder).u8string();
    const dcm_index_outcome outcome = dcm_index_file(path, row, buffer);
    each(std::move(row), outcome);
}

}  // namespace

void dcm_index_folder(const fs::path& folder, unsigned jobs, const std::atomic<bool>& stop,
                      const dcm_indexed_fn& each) {
    if (jobs <= 1) {
        std::vector<char> buffer;  // the first bytes of each file, allocated once
        dcm_walk_folder(folder, [&](const fs::path& path) {
            if (stop) return false;
            index_one(folder, path, buffer, each);
            return true;
        });
        return;
    }
    path_queue queue;
    std::vector<std::thread> readers;
    const auto read = [&] {
        std::vector<char> buffer;
        fs::path path;
        while (!stop && queue.pop(path)) index_one(folder, path, buffer, each);
        if (stop) queue.close(true);  // the walk may wait for room: free it
    };
    try {
        for (unsigned j = 0; j < jobs; ++j) readers.emplace_back(read);
    } catch (const std::system_error&) {
        // Fewer readers than asked; with none at all, the walk reads alone.
        if (readers.empty()) return dcm_index_folder(folder, 1, stop, each);
    }
    dcm_walk_folder(folder, [&](const fs::path& path) { return !stop && queue.push(path); });
    queue.close(stop);
    for (std::thread& reader : readers) reader.join();
}

unsigned dcm_index_default_jobs() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

}  // namespace velk
