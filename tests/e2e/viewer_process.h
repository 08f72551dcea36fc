// velk.exe started as its own process with one file, driven through its main
// window as the menus and keys drive it, from its start to its exit.
#pragma once

#include <windows.h>

#include <string>

namespace velk {

namespace e2e {

class Viewer {
public:
    explicit Viewer(const std::wstring& file);
    ~Viewer();  // ends the program if it is still running
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    // The main window, once the program waits for input with its file loaded;
    // null when none appeared in time.
    HWND Frame();
    // A command sent to the main window; false when it went unanswered.
    bool Command(WORD id) const;
    // The rows listed by the document window's list; -1 when there is none.
    int ItemCount() const;
    void Close() const;
    // The exit code once the program has ended, or STILL_ACTIVE.
    DWORD ExitCode() const;
    // The running program, null when it could not be started.
    HANDLE Process() const { return m_process.hProcess; }
    // Why Frame() found no window: not started, ended early, or no window in time.
    std::string WhyNoFrame() const;

private:
    PROCESS_INFORMATION m_process{};
    DWORD m_start_error = 0;  // GetLastError() of a failed start
    HWND m_frame = nullptr;
};

}  // namespace e2e

}  // namespace velk
