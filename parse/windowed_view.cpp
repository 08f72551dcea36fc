#include "parse/windowed_view.h"

#include <algorithm>
#include <atomic>
#include <new>

namespace velk {

namespace {

// The ranges the fault handler answers for. Lock-free atomics, so that the
// handler may read them on any thread at any moment; a slot is written
// under `registry_lock`, its begin last on the way in and first on the way out.
struct registered_range {
    std::atomic<std::uintptr_t> begin{0};  // 0: a free slot
    std::atomic<std::uintptr_t> end{0};
    std::atomic<dcm_windowed_view*> view{nullptr};
};
static_assert(std::atomic<std::uintptr_t>::is_always_lock_free, "read in a fault handler");

registered_range registry[dcm_most_windowed_views];
std::mutex registry_lock;
std::atomic<std::uint64_t> windows_filled{0};

bool enter(dcm_windowed_view* view, const char* base, std::size_t reserved) {
    const std::lock_guard<std::mutex> guard(registry_lock);
    for (registered_range& slot : registry) {
        if (slot.view.load() != nullptr) continue;
        slot.view.store(view);
        slot.end.store(reinterpret_cast<std::uintptr_t>(base) + reserved);
        slot.begin.store(reinterpret_cast<std::uintptr_t>(base), std::memory_order_release);
        return true;
    }
    return false;
}

void leave(const dcm_windowed_view* view) {
    const std::lock_guard<std::mutex> guard(registry_lock);
    for (registered_range& slot : registry) {
        if (slot.view.load() != view) continue;
        slot.begin.store(0, std::memory_order_release);
        slot.end.store(0);
        slot.view.store(nullptr);
    }
}

}  // namespace

std::unique_ptr<dcm_windowed_view> dcm_windowed_view::open(dcm_native_file file,
                                                           std::uint64_t size) noexcept {
    const std::uint64_t windows = (size + dcm_window_bytes - 1) / dcm_window_bytes;
    if (size == 0 || windows > SIZE_MAX / dcm_window_bytes) {
        window_system::close(file);
        return nullptr;
    }
    const std::size_t reserved = static_cast<std::size_t>(windows) * dcm_window_bytes;
    char* base = window_system::reserve(reserved);
    if (!base) {
        window_system::close(file);
        return nullptr;
    }
    std::unique_ptr<dcm_windowed_view> view(
        new (std::nothrow) dcm_windowed_view(file, base, static_cast<std::size_t>(size), reserved));
    if (!view) {
        window_system::release(base, reserved);
        window_system::close(file);
        return nullptr;
    }
    window_system::install_fault_handler();
    if (!enter(view.get(), base, reserved)) return nullptr;  // the view's end closes the file
    return view;
}

dcm_windowed_view::dcm_windowed_view(dcm_native_file file, char* base, std::size_t size,
                                     std::size_t reserved)
    : m_file(file), m_base(base), m_size(size), m_reserved(reserved) {}

dcm_windowed_view::~dcm_windowed_view() {
    leave(this);
    window_system::release(m_base, m_reserved);
    window_system::close(m_file);
}

dcm_windowed_view* dcm_windowed_view::holding(const void* address) noexcept {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    for (const registered_range& slot : registry) {
        const std::uintptr_t begin = slot.begin.load(std::memory_order_acquire);
        if (begin == 0 || at < begin || at >= slot.end.load()) continue;
        return slot.view.load();
    }
    return nullptr;
}

bool dcm_windowed_view::is_held(std::size_t window) const {
    for (std::size_t k = 0; k < m_held_count; ++k)
        if (m_held[(m_oldest + k) % dcm_windows_held] == window) return true;
    return false;
}

bool dcm_windowed_view::fill(const void* address) noexcept {
    // Takes nothing from the heap and never reads the reserved range: it runs
    // inside the fault handler of a thread that was reading the view, which may
    // hold any lock (the heap's, say) but none of this view's.
    const std::lock_guard<std::mutex> guard(m_lock);
    const std::size_t window =
        static_cast<std::size_t>(static_cast<const char*>(address) - m_base) / dcm_window_bytes;
    if (is_held(window)) return true;  // filled while this thread waited
    if (m_held_count == dcm_windows_held) {
        window_system::drop(m_base + m_held[m_oldest] * dcm_window_bytes, dcm_window_bytes);
        m_oldest = (m_oldest + 1) % dcm_windows_held;
        --m_held_count;
    }
    const std::size_t offset = window * dcm_window_bytes;
    const std::size_t valid = offset < m_size ? std::min(dcm_window_bytes, m_size - offset) : 0;
    if (!window_system::fill(m_file, offset, m_base + offset, dcm_window_bytes, valid))
        return false;
    m_held[(m_oldest + m_held_count) % dcm_windows_held] = window;
    ++m_held_count;
    windows_filled.fetch_add(1, std::memory_order_relaxed);
    return true;
}

std::uint64_t dcm_windows_filled() { return windows_filled.load(std::memory_order_relaxed); }

}  // namespace velk
