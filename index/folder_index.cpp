#include "index/folder_index.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "index/folder_walk.h"

namespace velk {

namespace fs = std::filesystem;

namespace {

// The paths handed over at once, at most. Each hand-over between the walk and
// a reader locks, and wakes a thread that waits: under wine a request to its
// server and back (two more a file, where reading a file costs three). So the
// walk hands over paths in batches while the readers are busy, and a lone path
// only while one waits for work, so that the first row is not held back.
constexpr std::size_t kPathsABatch = 64;

using path_batch = std::vector<fs::path>;

// The walk's paths on their way to the readers, in batches, bounded: at most
// dcm_index_queue_paths waiting, and a batch in each reader's hands.
class path_queue {
public:
    // Waits for room; false once the queue is closed.
    bool push(path_batch&& batch) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_room.wait(lock, [&] {
            return m_closed || m_queued + batch.size() <= dcm_index_queue_paths || m_queued == 0;
        });
        if (m_closed) return false;
        m_queued += batch.size();
        m_batches.push_back(std::move(batch));
        m_empty = false;
        m_waiting.notify_one();
        return true;
    }

    // Waits for a batch; false when the queue is closed and empty.
    bool pop(path_batch& batch) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_waiting.wait(lock, [&] { return m_closed || !m_batches.empty(); });
        if (m_batches.empty()) return false;
        batch = std::move(m_batches.front());
        m_batches.pop_front();
        m_queued -= batch.size();
        m_empty = m_batches.empty();
        m_room.notify_one();
        return true;
    }

    // Whether no batch waits (a reader may be idle): read without the lock, a hint.
    bool empty() const { return m_empty; }

    // No more paths: the readers finish what is queued (or, dropping it, stop).
    void close(bool drop) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
        if (drop) m_batches.clear();
        m_room.notify_all();
        m_waiting.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_room;
    std::condition_variable m_waiting;
    std::deque<path_batch> m_batches;
    std::size_t m_queued = 0;  // paths in m_batches
    std::atomic<bool> m_empty{true};
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
        path_batch batch;
        while (!stop && queue.pop(batch))
            for (const fs::path& path : batch) {
                if (stop) break;
                index_one(folder, path, buffer, each);
            }
        if (stop) queue.close(true);  // the walk may wait for room: free it
    };
    try {
        for (unsigned j = 0; j < jobs; ++j) readers.emplace_back(read);
    } catch (const std::system_error&) {
        // Fewer readers than asked; with none at all, the walk reads alone.
        if (readers.empty()) return dcm_index_folder(folder, 1, stop, each);
    }
    path_batch batch;
    dcm_walk_folder(folder, [&](const fs::path& path) {
        batch.push_back(path);
        if (batch.size() < kPathsABatch && !queue.empty()) return !stop.load();
        return !stop && queue.push(std::exchange(batch, {}));
    });
    if (!batch.empty() && !stop) queue.push(std::move(batch));
    queue.close(stop);
    for (std::thread& reader : readers) reader.join();
}

unsigned dcm_index_default_jobs() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

}  // namespace velk
