// The windowed view's system part on POSIX systems: the reservation is an
// anonymous mapping without access, a window is read into a mapping of its own
// and then moved over its place in one step, and SIGSEGV brings the reads that
// touch a window not held.
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>

#include "parse/windowed_view.h"

namespace velk {

namespace {

struct sigaction previous_action {};

void read_into(int file, std::uint64_t offset, char* buffer, std::size_t valid) {
    std::size_t got = 0;
    while (got < valid) {
        const ssize_t read = ::pread(file, buffer + got, valid - got, off_t(offset + got));
        if (read > 0)
            got += std::size_t(read);
        else if (read < 0 && errno == EINTR)
            continue;
        else
            break;  // cut meanwhile, or unreadable: the rest stays zeros
    }
}

bool is_read(const void* context) {
#if defined(__x86_64__) && defined(REG_ERR)
    // The page fault's error code: bit 1 is set for a write.
    const auto* machine = static_cast<const ucontext_t*>(context);
    return (machine->uc_mcontext.gregs[REG_ERR] & 2) == 0;
#else
    (void)context;
    return true;
#endif
}

// A fault that is not a view's: to the handler that was there before ours, or
// back to the default, so that returning faults again and ends the program as
// it would have ended.
void pass_on(int signal, siginfo_t* info, void* context) {
    if (previous_action.sa_flags & SA_SIGINFO) {
        if (previous_action.sa_sigaction)
            return previous_action.sa_sigaction(signal, info, context);
    } else if (previous_action.sa_handler != SIG_DFL && previous_action.sa_handler != SIG_IGN) {
        return previous_action.sa_handler(signal);
    }
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
}

void on_fault(int signal, siginfo_t* info, void* context) {
    const int saved = errno;
    dcm_windowed_view* view = dcm_windowed_view::holding(info->si_addr);
    const bool answered = view && is_read(context) && view->fill(info->si_addr);
    errno = saved;
    if (!answered) pass_on(signal, info, context);
}

}  // namespace

namespace window_system {

char* reserve(std::size_t bytes) noexcept {
    void* base =
        ::mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    return base == MAP_FAILED ? nullptr : static_cast<char*>(base);
}

void release(char* base, std::size_t bytes) noexcept { ::munmap(base, bytes); }

bool fill(dcm_native_file file, std::uint64_t offset, char* at, std::size_t bytes,
          std::size_t valid) noexcept {
    // Read aside and moved into place whole, so that another thread reading the
    // same window sees it reserved (and waits for this fill) or filled, never
    // half read. Without room for a second window it is read in place (and a
    // second thread could then see zeros for that moment, as on Windows).
    void* stage =
        ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    const bool in_place = stage == MAP_FAILED;
    if (in_place) {
        stage = ::mmap(at, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED,
                       -1, 0);
        if (stage == MAP_FAILED) return false;
    }
    read_into(file, offset, static_cast<char*>(stage), valid);
    ::mprotect(stage, bytes, PROT_READ);
    if (in_place) return true;
    if (::mremap(stage, bytes, bytes, MREMAP_MAYMOVE | MREMAP_FIXED, at) == MAP_FAILED) {
        ::munmap(stage, bytes);
        return false;
    }
    return true;
}

void drop(char* at, std::size_t bytes) noexcept {
    ::mmap(at, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED, -1, 0);
}

void close(dcm_native_file file) noexcept { ::close(file); }

void install_fault_handler() noexcept {
    static const bool installed = [] {
        struct sigaction action {};
        action.sa_sigaction = on_fault;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        return ::sigaction(SIGSEGV, &action, &previous_action) == 0;
    }();
    (void)installed;
}

}  // namespace window_system

}  // namespace velk
