#include "cli/run_files.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <thread>

namespace velk {

namespace {

using clock_type = std::chrono::steady_clock;

// The progress line on a terminal: redrawn at most ten times a second, and
// wiped before any other text goes to the same terminal.
class progress_line {
public:
    progress_line(bool shown, std::size_t total, std::FILE* err)
        : m_shown(shown), m_total(total), m_err(err) {}
    ~progress_line() { clear(); }

    void done(std::size_t count) {
        if (!m_shown) return;
        const auto now = clock_type::now();
        if (count < m_total && now - m_last < std::chrono::milliseconds(100)) return;
        m_last = now;
        m_width = std::fprintf(m_err, "\rvelkdump: %zu of %zu files", count, m_total) - 1;
        std::fflush(m_err);
    }

    void clear() {
        if (m_width <= 0) return;
        std::fprintf(m_err, "\r%*s\r", m_width, "");
        std::fflush(m_err);
        m_width = 0;
    }

private:
    bool m_shown;
    std::size_t m_total;
    std::FILE* m_err;
    clock_type::time_point m_last{};
    int m_width = 0;
};

// Lists one file, turning an exception into the file's problem, so that one
// file that cannot be listed never ends the others.
file_listing list_safely(const list_one_file& list, const listed_file& file, text_output& out) {
    if (!file.problem.empty()) {
        out.start();
        return {file.problem, false};
    }
    try {
        return list(file, out);
    } catch (const std::bad_alloc&) {
        out.start();
        return {"out of memory", false};
    } catch (const std::exception& e) {
        out.start();
        return {e.what(), false};
    }
}

// Writes the problem after everything listed before it.
void report(const listed_file& file, const file_listing& result, text_output& out,
            progress_line& progress, std::FILE* err) {
    if (result.problem.empty()) return;
    out.flush();
    progress.clear();
    std::fprintf(err, "velkdump: %s: %s\n", file.path.c_str(), result.problem.c_str());
}

bool run_in_turn(const std::vector<listed_file>& files, const list_one_file& list,
                 const run_layout& layout, progress_line& progress, text_output& out,
                 std::FILE* err) {
    bool all_listed = true;
    bool any_written = false;
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::string lead = any_written ? layout.separator : std::string();
        if (layout.heading) lead += layout.heading(files[i]);
        out.set_lead(std::move(lead));
        const file_listing result = list_safely(list, files[i], out);
        any_written = any_written || out.started();
        all_listed = all_listed && result.problem.empty();
        report(files[i], result, out, progress, err);
        progress.done(i + 1);
    }
    return all_listed;
}

// Several files at once. The files are cut into runs of consecutive files;
// threads take the runs in order and list each into a buffer of its own, and
// this thread writes the buffers in order. Handing over each file would cost
// a wait for every file, and on a busy machine each wait is a time slice; so
// this thread also lists runs itself instead of waiting while there are runs
// to take, and threads run at most `window` runs ahead of what is written.
class parallel_run {
public:
    parallel_run(const std::vector<listed_file>& files, const list_one_file& list,
                 const run_layout& layout, unsigned jobs)
        : m_files(files), m_list(list), m_layout(layout),
          m_run_size(std::clamp<std::size_t>(files.size() / (16 * std::size_t(jobs)), 1, 64)),
          m_runs((files.size() + m_run_size - 1) / m_run_size), m_window(4 * std::size_t(jobs)) {}

    bool run(unsigned jobs, progress_line& progress, text_output& out, std::FILE* err) {
        std::vector<std::thread> helpers;
        for (unsigned j = 1; j < jobs; ++j) helpers.emplace_back([this] { help(); });
        bool all_listed = true;
        bool any_written = false;
        for (std::size_t r = 0; r < m_runs.size(); ++r) {
            wait_for(r);
            for (file_done& done : m_runs[r].files) {
                const std::size_t i = static_cast<std::size_t>(&done - m_runs[r].files.data()) +
                                      r * m_run_size;
                if (done.started) {
                    if (any_written) out.put(m_layout.separator);
                    out.put(done.text);
                    any_written = true;
                }
                all_listed = all_listed && done.result.problem.empty();
                report(m_files[i], done.result, out, progress, err);
                progress.done(i + 1);
            }
            m_runs[r].files = {};
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_written = r + 1;
            }
            m_room.notify_all();
        }
        for (std::thread& t : helpers) t.join();
        return all_listed;
    }

private:
    struct file_done {
        std::string text;
        file_listing result;
        bool started = false;
    };
    struct file_run {
        std::vector<file_done> files;
        bool done = false;
    };

    // Lists run r into its buffers.
    void list_run(std::size_t r) {
        std::vector<file_done> files;
        const std::size_t first = r * m_run_size;
        const std::size_t last = std::min(first + m_run_size, m_files.size());
        for (std::size_t i = first; i < last; ++i) {
            text_output buffer;
            if (m_layout.heading) buffer.set_lead(m_layout.heading(m_files[i]));
            file_done done;
            done.result = list_safely(m_list, m_files[i], buffer);
            done.started = buffer.started();
            done.text = buffer.take();
            files.push_back(std::move(done));
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_runs[r].files = std::move(files);
            m_runs[r].done = true;
        }
        m_finished.notify_one();
    }

    void help() {
        for (;;) {
            std::size_t r;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_room.wait(lock, [&] { return m_next >= m_runs.size() || m_next < m_written + m_window; });
                if (m_next >= m_runs.size()) return;
                r = m_next++;
            }
            list_run(r);
        }
    }

    // Lists runs itself until run r is done.
    void wait_for(std::size_t r) {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_runs[r].done) {
            if (m_next < m_runs.size() && m_next < r + m_window) {
                const std::size_t mine = m_next++;
                lock.unlock();
                list_run(mine);
                lock.lock();
            } else {
                m_finished.wait(lock);
            }
        }
    }

    const std::vector<listed_file>& m_files;
    const list_one_file& m_list;
    const run_layout& m_layout;
    const std::size_t m_run_size;  // files in a run
    std::vector<file_run> m_runs;
    const std::size_t m_window;
    std::mutex m_mutex;
    std::condition_variable m_finished, m_room;
    std::size_t m_next = 0;     // the next run a thread takes
    std::size_t m_written = 0;  // runs written so far
};

}  // namespace

bool run_files(const std::vector<listed_file>& files, const list_one_file& list,
               const run_layout& layout, const run_settings& settings, text_output& out,
               std::FILE* err) {
    progress_line progress(settings.progress && files.size() > 1, files.size(), err);
    const unsigned jobs =
        static_cast<unsigned>(std::min<std::size_t>(settings.jobs, files.size()));
    const bool all_listed =
        jobs > 1 ? parallel_run(files, list, layout, jobs).run(jobs, progress, out, err)
                 : run_in_turn(files, list, layout, progress, out, err);
    out.flush();
    return all_listed;
}

}  // namespace velk
