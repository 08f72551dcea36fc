// A view of a whole file that holds only a few windows of it in memory: for a
// file the system will not map whole. The file's size is reserved as address
// space (reserving costs no memory), and a window is filled with the file's
// bytes when a read first touches it: the read faults, the fault handler reads
// the window from the file into place, read-only, and the read goes on. So the
// view is read through the same plain pointers as a whole mapping, by every
// walk, cell and command unchanged.
//
// At most `dcm_windows_held` windows are held at once; filling one more drops
// the one filled longest ago, and a later read of it fills it again. Bytes
// that cannot be read (a read error, a file cut meanwhile) read as zeros, so a
// walk finds damage rather than faulting for ever. Never a byte past the size
// the view was opened with.
//
// Several views may be read on several threads. On Windows a window being
// filled may read as zeros to a second thread reading the same view at that
// instant; every load, paint and command maps the file for itself, so one view
// is read by one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace velk {

#ifdef _WIN32
using dcm_native_file = void*;  // a HANDLE, opened for reading
#else
using dcm_native_file = int;  // a descriptor, opened for reading
#endif

// 1 MiB a window, 64 held: a view holds at most 64 MiB of the file.
constexpr std::size_t dcm_window_bytes = std::size_t(1) << 20;
constexpr std::size_t dcm_windows_held = 64;
// Views open at once in the whole program; one more is refused (as "not enough
// memory"), so that the fault handler's table is fixed and needs no lock.
constexpr std::size_t dcm_most_windowed_views = 64;

class dcm_windowed_view {
public:
    // A view of the first `size` bytes of `file`, which it then owns (and closes
    // when it ends); null, with `file` closed, when the address space cannot be
    // reserved or too many views are open.
    static std::unique_ptr<dcm_windowed_view> open(dcm_native_file file,
                                                   std::uint64_t size) noexcept;
    ~dcm_windowed_view();
    dcm_windowed_view(const dcm_windowed_view&) = delete;
    dcm_windowed_view& operator=(const dcm_windowed_view&) = delete;

    const char* data() const { return m_base; }
    std::size_t size() const { return m_size; }

    // The view whose reserved range holds `address`, or null. Safe inside a
    // fault handler: it takes no lock and allocates nothing.
    static dcm_windowed_view* holding(const void* address) noexcept;
    // Makes the window holding `address` readable: fills it unless another
    // thread did meanwhile. False when the system gave no memory for it.
    bool fill(const void* address) noexcept;

private:
    dcm_windowed_view(dcm_native_file file, char* base, std::size_t size, std::size_t reserved);
    bool is_held(std::size_t window) const;

    dcm_native_file m_file;
    char* m_base;
    std::size_t m_size;                         // the file's bytes
    std::size_t m_reserved;                     // whole windows, m_size rounded up
    std::mutex m_lock;                          // one fill at a time, and the ring below
    std::size_t m_held[dcm_windows_held] = {};  // the windows held, oldest at m_oldest
    std::size_t m_held_count = 0;
    std::size_t m_oldest = 0;
};

// Windows filled by every view since the program started, refills counted
// again: how tests and the benchmark see that a listing read only its headers.
std::uint64_t dcm_windows_filled();

// The system's part, one file for each system (windowed_view_posix.cpp,
// windowed_view_win.cpp).
namespace window_system {
// Address space for `bytes`, no access, no memory committed; null if refused.
char* reserve(std::size_t bytes) noexcept;
void release(char* base, std::size_t bytes) noexcept;
// Puts `valid` bytes of `file` from `offset` at `at`, zeros after them up to
// `bytes`, read-only. False when no memory could be had for it.
bool fill(dcm_native_file file, std::uint64_t offset, char* at, std::size_t bytes,
          std::size_t valid) noexcept;
// Gives the memory back: the range is reserved and faults again.
void drop(char* at, std::size_t bytes) noexcept;
void close(dcm_native_file file) noexcept;
// Routes read faults in a view to dcm_windowed_view::fill; once a program.
void install_fault_handler() noexcept;
}  // namespace window_system

}  // namespace velk
