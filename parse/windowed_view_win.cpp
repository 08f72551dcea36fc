// The windowed view's system part on Windows: the reservation is reserved
// address space, a window is committed, read into with ReadFile and made
// read-only, and a vectored exception handler brings the reads that touch a
// window not held. Read faults only; anything else goes on to the next handler.
#include <windows.h>

#include <algorithm>

#include "parse/windowed_view.h"

namespace velk {

namespace {

void read_into(HANDLE file, std::uint64_t offset, char* buffer, std::size_t valid) {
    std::size_t got = 0;
    while (got < valid) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset + got);
        at.OffsetHigh = static_cast<DWORD>((offset + got) >> 32);
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(valid - got, 1u << 30));
        DWORD read = 0;
        if (!::ReadFile(file, buffer + got, ask, &read, &at) || read == 0)
            break;  // cut meanwhile, or unreadable: the rest stays zeros
        got += read;
    }
}

LONG CALLBACK on_exception(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    if (record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION || record.NumberParameters < 2 ||
        record.ExceptionInformation[0] != 0)  // 0: a read; 1 a write, 8 an execution
        return EXCEPTION_CONTINUE_SEARCH;
    const auto* address = reinterpret_cast<const void*>(record.ExceptionInformation[1]);
    dcm_windowed_view* view = dcm_windowed_view::holding(address);
    if (!view) return EXCEPTION_CONTINUE_SEARCH;
    const DWORD saved = ::GetLastError();
    const bool filled = view->fill(address);
    ::SetLastError(saved);
    return filled ? EXCEPTION_CONTINUE_EXECUTION : EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

namespace window_system {

char* reserve(std::size_t bytes) noexcept {
    return static_cast<char*>(::VirtualAlloc(nullptr, bytes, MEM_RESERVE, PAGE_NOACCESS));
}

void release(char* base, std::size_t) noexcept { ::VirtualFree(base, 0, MEM_RELEASE); }

bool fill(dcm_native_file file, std::uint64_t offset, char* at, std::size_t bytes,
          std::size_t valid) noexcept {
    if (!::VirtualAlloc(at, bytes, MEM_COMMIT, PAGE_READWRITE)) return false;
    read_into(file, offset, at, valid);
    DWORD before = 0;
    ::VirtualProtect(at, bytes, PAGE_READONLY, &before);
    return true;
}

void drop(char* at, std::size_t bytes) noexcept { ::VirtualFree(at, bytes, MEM_DECOMMIT); }

void close(dcm_native_file file) noexcept { ::CloseHandle(file); }

void install_fault_handler() noexcept {
    // First in line, so that no other handler sees a fault that is only a
    // window not yet read.
    static const bool installed = ::AddVectoredExceptionHandler(1, on_exception) != nullptr;
    (void)installed;
}

}  // namespace window_system

}  // namespace velk
