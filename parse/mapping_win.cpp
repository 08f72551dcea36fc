// The mapping on Windows, one of parse/'s Windows-only files (with the
// windowed view and the folder entries), chosen by the CMake file list.
//
// Every handle is opened sharing read, write and delete, so that the program
// that wrote the file may rewrite, rename or delete it while it is shown. Both
// handles are closed as soon as the view exists; the view alone keeps the bytes.
// A file read in windows (parse/windowed_view.h) keeps its handle for as long
// as its view lives instead.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "parse/mapping.h"
#include "parse/windowed_view.h"

namespace velk {

namespace {

dcm_open_failure failure_of(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_FILENAME_EXCED_RANGE: return dcm_open_failure::not_found;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return dcm_open_failure::in_use;
    case ERROR_ACCESS_DENIED: return dcm_open_failure::access_denied;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
    case ERROR_COMMITMENT_LIMIT: return dcm_open_failure::no_memory;
    case ERROR_PIPE_BUSY:
    case ERROR_BAD_PIPE: return dcm_open_failure::device;
    default: return dcm_open_failure::other;
    }
}

// A handle that closes itself.
struct handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    handle() = default;
    explicit handle(HANDLE value) : h(value) {}
    handle(const handle&) = delete;
    handle& operator=(const handle&) = delete;
    ~handle() {
        if (h && h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    }
    bool valid() const { return h && h != INVALID_HANDLE_VALUE; }
    HANDLE release() {
        HANDLE value = h;
        h = INVALID_HANDLE_VALUE;
        return value;
    }
};

// The result of one CreateFileW: a handle, or the error it set.
struct opened {
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_SUCCESS;
};

opened create_file(const std::wstring& path) {
    opened result;
    result.file = ::CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (result.file == INVALID_HANDLE_VALUE) {
        result.error = ::GetLastError();
        // A folder refuses to open as a file; say so rather than "access denied".
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            result.error = ERROR_DIRECTORY;
    }
    return result;
}

// A network path may not answer for half a minute; such a path is opened on a
// thread of its own, and the caller waits for it a bounded time. A thread that
// answers too late closes what it opened.
bool is_remote_drive(wchar_t letter) {
    // Asked once per drive: the question costs more than a local open.
    static std::atomic<signed char> remote[26] = {};  // 0 not asked, 1 local, 2 remote
    const wchar_t upper = letter >= L'a' && letter <= L'z' ? wchar_t(letter - L'a' + L'A') : letter;
    if (upper < L'A' || upper > L'Z') return false;
    std::atomic<signed char>& known = remote[upper - L'A'];
    if (!known) {
        const wchar_t root[] = {upper, L':', L'\\', L'\0'};
        known = ::GetDriveTypeW(root) == DRIVE_REMOTE ? 2 : 1;
    }
    return known == 2;
}

bool may_be_slow(const std::wstring& path) {
    if (path.size() >= 2 && (path[0] == L'\\' || path[0] == L'/') &&
        (path[1] == L'\\' || path[1] == L'/'))
        return true;  // \\server\share\..., \\?\UNC\... and \\?\C:\... alike
    return path.size() >= 2 && path[1] == L':' && is_remote_drive(path[0]);
}

opened create_file_within(const std::wstring& path, unsigned wait_ms) {
    struct shared_state {
        std::mutex lock;
        std::condition_variable done_signal;
        bool done = false;
        bool abandoned = false;
        opened result;
    };
    auto state = std::make_shared<shared_state>();
    try {
        std::thread([state, path] {
            const opened result = create_file(path);
            const std::lock_guard<std::mutex> guard(state->lock);
            if (state->abandoned) {
                if (result.file != INVALID_HANDLE_VALUE) ::CloseHandle(result.file);
                return;
            }
            state->result = result;
            state->done = true;
            state->done_signal.notify_one();
        }).detach();
    } catch (...) {
        return opened{INVALID_HANDLE_VALUE, ERROR_NOT_ENOUGH_MEMORY};
    }
    std::unique_lock<std::mutex> guard(state->lock);
    if (!state->done_signal.wait_for(guard, std::chrono::milliseconds(wait_ms),
                                     [&] { return state->done; })) {
        state->abandoned = true;
        return opened{INVALID_HANDLE_VALUE, WAIT_TIMEOUT};
    }
    return state->result;
}

std::wstring widen(const char* path) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, path, -1, &wide[0], length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

// What the open file is: its size, or why it is not one to read.
struct file_facts {
    dcm_open_failure failure = dcm_open_failure::none;
    std::uint64_t size = 0;
};

// From the standard information alone (size, whether a folder), not
// GetFileInformationByHandle: that one also asks for the volume's serial
// number, which under wine is a request to its mount manager, another process,
// for every open (about 20 wine server requests, against none). Each load,
// paint and command maps its file, so this is paid on every focus move too.
file_facts facts_of(HANDLE file) {
    file_facts facts;
    FILE_STANDARD_INFO info{};
    if (!::GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof info))
        facts.failure = failure_of(::GetLastError());
    else if (info.Directory)
        facts.failure = dcm_open_failure::folder;
    else
        facts.size = static_cast<std::uint64_t>(info.EndOfFile.QuadPart);
    return facts;
}

}  // namespace

struct dcm_mapping_platform {
    static void open(dcm_file_mapping& m, const std::wstring& path) {
        if (path.empty()) return m.fail(dcm_open_failure::not_found);
        if (dcm_is_device_path(path)) return m.fail(dcm_open_failure::device);
        const opened attempt =
            may_be_slow(path) ? create_file_within(path, dcm_open_wait_ms) : create_file(path);
        if (attempt.error == WAIT_TIMEOUT) return m.fail(dcm_open_failure::no_answer);
        if (attempt.error == ERROR_DIRECTORY) return m.fail(dcm_open_failure::folder);
        handle file(attempt.file);
        if (!file.valid()) return m.fail(failure_of(attempt.error));
        // A pipe, console or port that slipped past the name rule: nothing is read.
        if (::GetFileType(file.h) != FILE_TYPE_DISK) return m.fail(dcm_open_failure::device);
        const file_facts facts = facts_of(file.h);
        if (facts.failure != dcm_open_failure::none) return m.fail(facts.failure);
        const std::uint64_t size = facts.size;
        if (size == 0) return m.fail(dcm_open_failure::empty);
        if (size > SIZE_MAX) return m.fail(dcm_open_failure::no_memory);
        if (size > dcm_whole_view_limit())
            return m.adopt_windowed(dcm_windowed_view::open(file.release(), size));
        const handle section(::CreateFileMappingW(file.h, nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (!section.h && failure_of(::GetLastError()) == dcm_open_failure::no_memory)
            return m.adopt_windowed(dcm_windowed_view::open(file.release(), size));
        if (!section.h) return m.fail(failure_of(::GetLastError()));
        // The size read above, not the file's size now: the view never claims
        // more bytes than it maps, even if the file grew meanwhile.
        const void* view =
            ::MapViewOfFile(section.h, FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(size));
        if (!view && failure_of(::GetLastError()) == dcm_open_failure::no_memory)
            return m.adopt_windowed(dcm_windowed_view::open(file.release(), size));
        if (!view) return m.fail(failure_of(::GetLastError()));
        m.adopt(static_cast<const char*>(view), static_cast<std::size_t>(size));
    }
};

dcm_file_mapping::dcm_file_mapping(const char* path) noexcept {
    try {
        dcm_mapping_platform::open(*this, path ? widen(path) : std::wstring());
    } catch (...) {
        fail(dcm_open_failure::no_memory);
    }
}

dcm_file_mapping::dcm_file_mapping(const wchar_t* path) noexcept {
    try {
        dcm_mapping_platform::open(*this, path ? std::wstring(path) : std::wstring());
    } catch (...) {
        fail(dcm_open_failure::no_memory);
    }
}

dcm_open_failure dcm_read_file_start(const wchar_t* path, std::size_t most,
                                     std::vector<char>& buffer, std::uint64_t& size) noexcept {
    size = 0;
    buffer.clear();
    try {
        if (!path || !*path) return dcm_open_failure::not_found;
        if (dcm_is_device_path(path)) return dcm_open_failure::device;
        const opened attempt = create_file(path);
        if (attempt.error == ERROR_DIRECTORY) return dcm_open_failure::folder;
        handle file(attempt.file);
        if (!file.valid()) return failure_of(attempt.error);
        if (::GetFileType(file.h) != FILE_TYPE_DISK) return dcm_open_failure::device;
        const file_facts facts = facts_of(file.h);
        if (facts.failure != dcm_open_failure::none) return facts.failure;
        size = facts.size;
        buffer.resize(static_cast<std::size_t>(std::min<std::uint64_t>(size, most)));
        std::size_t got = 0;
        while (got < buffer.size()) {
            DWORD read = 0;
            const DWORD ask =
                static_cast<DWORD>(std::min<std::size_t>(buffer.size() - got, 1u << 30));
            if (!::ReadFile(file.h, buffer.data() + got, ask, &read, nullptr)) {
                buffer.resize(got);
                return failure_of(::GetLastError());
            }
            if (read == 0) break;
            got += read;
        }
        buffer.resize(got);  // a file cut while it is read gives what was there
        return dcm_open_failure::none;
    } catch (...) {
        return dcm_open_failure::no_memory;
    }
}

dcm_file_mapping::~dcm_file_mapping() {
    if (m_data && !m_windowed) ::UnmapViewOfFile(m_data);
}

}  // namespace velk
