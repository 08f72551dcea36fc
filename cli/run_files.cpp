#include "cli/run_files.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

namespace velk {

namespace {

using clock_type = std::chrono::steady_clock;

// The progress line on a terminal: redrawn at most ten times a second, and
// wiped before any other text goes to the same terminal. While a walk is still
// finding files it counts the files found so far, and says so.
class progress_line {
public:
    progress_line(bool shown, std::FILE* err) : m_shown(shown), m_err(err) {}
    ~progress_line() { clear(); }

    void done(std::size_t count, std::size_t found, bool all_found) {
        if (!m_shown || found < 2) return;
        const auto now = clock_type::now();
        const bool last = all_found && count == found;
        if (!last && now - m_last < std::chrono::milliseconds(100)) return;
        m_last = now;
        char line[96];
        const int width = std::snprintf(line, sizeof line, "velkdump: %zu of %zu files%s", count,
                                        found, all_found ? "" : " found so far");
        std::fprintf(m_err, "\r%s%*s", line, std::max(0, m_width - width), "");
        std::fflush(m_err);
        m_width = std::max(m_width, width);
    }

    void clear() {
        if (m_width <= 0) return;
        std::fprintf(m_err, "\r%*s\r", m_width, "");
        std::fflush(m_err);
        m_width = 0;
    }

private:
    bool m_shown;
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

// The files left out of a run and those that could not be read, counted for
// the closing line; with `verbose` each file left out is named as it goes.
struct skip_tally {
    bool verbose = false;
    std::size_t skipped = 0;
    std::size_t unreadable = 0;
};

// Writes the problem after everything listed before it.
void report(const listed_file& file, const file_listing& result, text_output& out,
            progress_line& progress, skip_tally& skips, std::FILE* err) {
    if (result.skipped) {
        ++skips.skipped;
        if (!skips.verbose) return;
        out.flush();
        progress.clear();
        std::fprintf(err, "velkdump: %s: skipped, %s\n", file.path.c_str(), skipped_reason);
        return;
    }
    if (!result.walk_end.empty()) {
        out.flush();
        progress.clear();
        std::fprintf(err, "velkdump: %s: %s\n", file.path.c_str(), result.walk_end.c_str());
    }
    if (result.problem.empty()) return;
    ++skips.unreadable;
    out.flush();
    progress.clear();
    std::fprintf(err, "velkdump: %s: %s\n", file.path.c_str(), result.problem.c_str());
}

// "velkdump: 12 files skipped, not DICOM part-10 (--verbose names them); 1 file
// could not be listed", when a walk left any file out.
void report_skips(const skip_tally& skips, std::FILE* err) {
    if (skips.skipped == 0) return;
    const auto files = [](std::size_t n) { return n == 1 ? "file" : "files"; };
    std::fprintf(err, "velkdump: %zu %s skipped, not DICOM part-10%s", skips.skipped,
                 files(skips.skipped), skips.verbose ? "" : " (--verbose names them)");
    if (skips.unreadable)
        std::fprintf(err, "; %zu %s could not be listed", skips.unreadable,
                     files(skips.unreadable));
    std::fputs("\n", err);
}

bool run_in_turn(file_finder& finder, const list_one_file& list, const run_layout& layout,
                 progress_line& progress, skip_tally& skips, text_output& out, std::FILE* err) {
    bool all_listed = true;
    bool any_written = false;
    std::size_t count = 0, found = 0;
    std::vector<listed_file> files;
    while (finder.find_more(files)) {
        found += files.size();
        for (const listed_file& file : files) {
            std::string lead = any_written ? layout.separator : std::string();
            if (layout.heading) lead += layout.heading(file);
            out.set_lead(std::move(lead));
            const file_listing result = list_safely(list, file, out);
            any_written = any_written || out.started();
            all_listed = all_listed && result.problem.empty() && !result.failed;
            report(file, result, out, progress, skips, err);
            progress.done(++count, found, finder.finished());
        }
        files.clear();
    }
    return all_listed;
}

// Several files at once. The files are cut into runs of consecutive files;
// threads take the runs in order and list each into the buffer of a slot, and
// this thread writes the slots in order. Handing over each file would cost a
// wait for every file, and on a busy machine each wait is a time slice; so
// this thread also lists runs itself instead of waiting while there are runs
// to take. Threads run at most one slot per run ahead of what is written; the
// slots and their buffers are used again and again. Whichever thread finds no
// files waiting finds the next ones, so the listing starts while a walk goes on.
class parallel_run {
public:
    parallel_run(file_finder& finder, const list_one_file& list, const run_layout& layout,
                 unsigned jobs)
        : m_finder(finder), m_list(list), m_layout(layout), m_jobs(jobs),
          m_slot_count(4 * std::size_t(jobs)), m_slots(new slot[m_slot_count]) {}

    bool run(progress_line& progress, skip_tally& skips, text_output& out, std::FILE* err) {
        // The helpers start before the first files are found, so that a
        // thread's start (on a virtual machine, the waking of an idle
        // processor, up to milliseconds) goes on while the first directory is
        // read. A few files named need no more threads than files.
        std::size_t helpers = 0;
        while (helpers + 1 < m_jobs && m_finder.may_find_more_than(helpers + 1)) ++helpers;
        std::vector<std::thread> threads;
        for (std::size_t j = 0; j < helpers; ++j) threads.emplace_back([this] { help(); });
        const bool all_listed = write_in_order(progress, skips, out, err);
        for (std::thread& t : threads) t.join();
        if (m_failure) std::rethrow_exception(m_failure);
        return all_listed;
    }

private:
    struct file_done {
        std::size_t end = 0;  // where its text ends in the slot's buffer
        file_listing result;
        bool started = false;
    };
    enum class slot_state { free, listing, listed };
    // On cache lines of its own: two threads write the slots of neighbouring runs
    // at once, row after row.
    struct alignas(64) slot {
        slot_state state = slot_state::free;
        std::vector<const listed_file*> files;
        std::vector<file_done> done;
        text_output text;
    };
    // What the writer knows of the finding when a run comes to be written.
    struct found_so_far {
        std::size_t count;
        bool all;
    };

    // Every file's text in a slot begins with the separator; the first file
    // written leaves it out. The text between two problems goes out in one
    // piece.
    bool write_in_order(progress_line& progress, skip_tally& skips, text_output& out,
                        std::FILE* err) {
        bool all_listed = true;
        bool any_written = false;
        std::size_t count = 0;
        found_so_far found{};
        for (std::size_t r = 0; slot* s = wait_for(r, found); ++r) {
            const std::string_view text = s->text.text();
            std::size_t from = 0;   // where the next file's text begins
            std::size_t piece = 0;  // the text not yet written begins here
            auto write_piece = [&](std::size_t end) {
                out.write_through(text.substr(piece, end - piece));
                piece = end;
            };
            for (std::size_t k = 0; k < s->files.size(); ++k) {
                const file_done& done = s->done[k];
                if (done.started && !any_written) {
                    write_piece(from);  // nothing: whatever came before was not started
                    piece = from + m_layout.separator.size();
                    any_written = true;
                }
                from = done.end;
                all_listed = all_listed && done.result.problem.empty() && !done.result.failed;
                if (!done.result.problem.empty() || !done.result.walk_end.empty())
                    write_piece(from);
                report(*s->files[k], done.result, out, progress, skips, err);
                progress.done(++count, found.count, found.all);
            }
            write_piece(from);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                s->state = slot_state::free;
                m_written = r + 1;
            }
            m_changed.notify_all();
        }
        return all_listed;
    }

    // Lists or finds until run r is listed; null when there is no run r.
    slot* wait_for(std::size_t r, found_so_far& found) {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            slot& s = m_slots[r % m_slot_count];
            if (r < m_next_run && s.state == slot_state::listed) {
                found = {m_found.size(), m_all_found};
                return &s;
            }
            if (r >= m_next_run && nothing_left()) return nullptr;
            if (!work(lock)) m_changed.wait(lock);
        }
    }

    void help() {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!nothing_left())
            if (!work(lock)) m_changed.wait(lock);
    }

    bool nothing_left() const { return m_all_found && m_taken == m_found.size(); }

    // Files in a run: enough to make the hand-overs rare, few enough that
    // every thread gets some, and fewer towards the end, so that the threads
    // end together.
    std::size_t run_size() const {
        const std::size_t share = m_found.size() / (16 * std::size_t(m_jobs));
        const std::size_t rest = (m_found.size() - m_taken) / (2 * std::size_t(m_jobs));
        return std::clamp<std::size_t>(m_all_found ? std::min(share, rest) : share, 1, 64);
    }

    // One piece of work, with the lock held: lists the next run when its slot
    // is free and files are waiting for it, or finds more files when no other
    // thread is finding them and fewer wait than would keep every thread busy
    // for two runs (finding them early, while the others list).
    // False when there is none.
    bool work(std::unique_lock<std::mutex>& lock) {
        if (m_next_run >= m_written + m_slot_count) return false;
        const std::size_t waiting = m_found.size() - m_taken;
        const bool may_find = !m_all_found && !m_finding;
        if (may_find && waiting < 2 * std::size_t(m_jobs) * run_size()) {
            find(lock);
            return true;
        }
        if (waiting == 0) return false;
        list_run(lock);
        return true;
    }

    void find(std::unique_lock<std::mutex>& lock) {
        m_finding = true;
        lock.unlock();
        std::vector<listed_file> found;
        bool all = true;
        std::exception_ptr failure;
        try {
            all = !m_finder.find_more(found) || m_finder.finished();
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        for (listed_file& file : found) m_found.push_back(std::move(file));
        m_all_found = all;
        if (failure) m_failure = failure;
        m_finding = false;
        m_changed.notify_all();
    }

    void list_run(std::unique_lock<std::mutex>& lock) {
        const std::size_t r = m_next_run++;
        slot& s = m_slots[r % m_slot_count];
        s.state = slot_state::listing;
        s.files.clear();
        const std::size_t n = std::min(run_size(), m_found.size() - m_taken);
        for (std::size_t k = 0; k < n; ++k) s.files.push_back(&m_found[m_taken++]);
        lock.unlock();
        s.text.clear();
        s.done.clear();
        for (const listed_file* file : s.files) {
            std::string lead = m_layout.separator;
            if (m_layout.heading) lead += m_layout.heading(*file);
            s.text.set_lead(std::move(lead));
            file_done done;
            done.result = list_safely(m_list, *file, s.text);
            done.started = s.text.started();
            done.end = s.text.text().size();
            s.done.push_back(std::move(done));
        }
        lock.lock();
        s.state = slot_state::listed;
        m_changed.notify_all();
    }

    file_finder& m_finder;  // used by one thread at a time: the one finding
    const list_one_file& m_list;
    const run_layout& m_layout;
    const unsigned m_jobs;
    const std::size_t m_slot_count;
    const std::unique_ptr<slot[]> m_slots;  // run r in slot r % m_slot_count

    std::mutex m_mutex;
    std::condition_variable m_changed;  // a run listed or written, or files found
    std::deque<listed_file> m_found;    // grows at the end only: its files stay put
    std::size_t m_taken = 0;            // files of m_found given to runs
    bool m_all_found = false;
    bool m_finding = false;
    std::exception_ptr m_failure;  // what stopped the finding, raised on this thread
    std::size_t m_next_run = 0;    // the next run a thread takes
    std::size_t m_written = 0;     // runs written so far
};

}  // namespace

bool run_files(file_finder& files, const list_one_file& list, const run_layout& layout,
               const run_settings& settings, text_output& out, std::FILE* err) {
    progress_line progress(settings.progress, err);
    skip_tally skips{settings.verbose};
    const bool all_listed =
        settings.jobs > 1
            ? parallel_run(files, list, layout, settings.jobs).run(progress, skips, out, err)
            : run_in_turn(files, list, layout, progress, skips, out, err);
    out.flush();
    progress.clear();
    report_skips(skips, err);
    return all_listed;
}

}  // namespace velk
