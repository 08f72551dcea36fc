// A read-only mapping of a whole file, for the length of one load, one paint or
// one command. Opening never throws and never waits without end: a path that
// cannot be mapped gives a mapping that is not open, with the reason why.
//
// Other programs may write, rename and delete the file while it is mapped; the
// mapping is meant to be dropped before the next message, so that a file the
// viewer shows is never kept from its owner for longer than that.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace velk {

// Why a path gave no mapping.
enum class dcm_open_failure : unsigned char {
    none,           // mapped
    not_found,      // no such file, or no path at all
    folder,         // the path names a folder
    device,         // a device, pipe or other non-file: never opened for reading
    empty,          // a file of 0 bytes: nothing to map
    in_use,         // another program holds it open and does not share it
    access_denied,  // the user may not read it
    no_answer,      // the path did not answer in time (a server that is away)
    no_memory,      // no room in the address space to map it
    other,          // any other refusal of the system
};

// The reason in words, to follow a path and a colon: "no such file", "is a
// directory", ...
const char* dcm_open_failure_text(dcm_open_failure why);

// How long an open may wait on a path that does not answer, in milliseconds;
// well below the time after which a window counts as frozen.
constexpr unsigned dcm_open_wait_ms = 3000;

// Whether a Windows path names a device rather than a file: a reserved name (CON,
// PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$, with or without an extension,
// in any folder) or a \\.\ or \\?\ name that is not a drive path or a share.
// Such paths are never opened. Portable, so that the rule is tested on the host.
bool dcm_is_device_path(std::wstring_view path);

// The largest file a mapping asks the system to map whole; a larger one, or one
// the system will not map whole, is mapped in windows (parse/windowed_view.h).
// No limit unless set: tests and the environment set a small one, so that the
// windows are read where the system would map every file whole.
void dcm_set_whole_view_limit(std::uint64_t bytes);
std::uint64_t dcm_whole_view_limit();
// Sets the limit from VELK_WHOLE_VIEW_LIMIT (a count of bytes), if it holds
// one; velkdump and velk.exe call it once as they start.
void dcm_whole_view_limit_from_environment();

class dcm_windowed_view;

#ifdef _WIN32
// Reads the first bytes of the file at `path` into `buffer` (at most `most`;
// fewer when the file is shorter or is cut meanwhile) and its size into `size`,
// from one open handle: what it is, its size and its bytes are asked of the
// handle, not looked up by path again. Anything but a file on a disk is refused
// before it is read. `none`, or why the path gave nothing.
dcm_open_failure dcm_read_file_start(const wchar_t* path, std::size_t most,
                                     std::vector<char>& buffer, std::uint64_t& size) noexcept;
#endif

class dcm_file_mapping {
public:
    explicit dcm_file_mapping(const char* path) noexcept;
#ifdef _WIN32
    // Opens by the wide path, so that names outside the ANSI code page open too.
    explicit dcm_file_mapping(const wchar_t* path) noexcept;
#endif
    ~dcm_file_mapping();
    dcm_file_mapping(const dcm_file_mapping&) = delete;
    dcm_file_mapping& operator=(const dcm_file_mapping&) = delete;

    bool is_open() const { return m_data != nullptr; }
    const char* begin() const { return m_data; }
    const char* end() const { return m_data ? m_data + m_size : nullptr; }
    std::size_t size() const { return m_size; }
    // none while open; otherwise why the path gave no mapping.
    dcm_open_failure failure() const { return m_failure; }
    // Whether the file is read a window at a time rather than mapped whole.
    bool is_windowed() const { return m_windowed != nullptr; }

private:
    // Set by the platform's open: either the view and its size, or a reason.
    void adopt(const char* data, std::size_t size) {
        m_data = data;
        m_size = size;
        m_failure = dcm_open_failure::none;
    }
    void fail(dcm_open_failure why) { m_failure = why; }
    // The same for a file read in windows: takes the view, or says no_memory.
    void adopt_windowed(std::unique_ptr<dcm_windowed_view> view);
    friend struct dcm_mapping_platform;

    std::unique_ptr<dcm_windowed_view> m_windowed;  // null for a whole view
    const char* m_data = nullptr;
    std::size_t m_size = 0;
    dcm_open_failure m_failure = dcm_open_failure::not_found;
};

}  // namespace velk
