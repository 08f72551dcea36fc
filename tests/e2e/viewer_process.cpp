#include "viewer_process.h"

#include <commctrl.h>

#include "windows_test.h"

namespace velk {

namespace e2e {
namespace {

constexpr DWORD kStartMs = 30000;
constexpr DWORD kCommandMs = 60000;
constexpr int kStartAttempts = 3;

std::wstring ViewerPath() { return test::AppProgramPath(L"velk.exe"); }

struct WindowSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK TakeMainWindow(HWND window, LPARAM state) {
    auto* search = reinterpret_cast<WindowSearch*>(state);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->process && ::IsWindowVisible(window) && !::GetWindow(window, GW_OWNER)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

Viewer::Viewer(const std::wstring& file) {
    std::wstring line = L"\"" + ViewerPath() + L"\" \"" + file + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    // A start has once failed under wine, at once and without a window, while
    // eight viewers were starting side by side; it is tried again before the
    // test fails for it, and the error is kept for the failure's message.
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        if (::CreateProcessW(ViewerPath().c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &m_process))
            return;
        m_start_error = ::GetLastError();
        ::Sleep(500);
    }
}

Viewer::~Viewer() {
    if (!m_process.hProcess) return;
    if (::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
        ::TerminateProcess(m_process.hProcess, 255);
    ::CloseHandle(m_process.hThread);
    ::CloseHandle(m_process.hProcess);
}

HWND Viewer::Frame() {
    if (m_frame || !m_process.hProcess) return m_frame;
    ::WaitForInputIdle(m_process.hProcess, kStartMs);
    const DWORD start = ::GetTickCount();
    while (!m_frame && ::GetTickCount() - start < kStartMs) {
        WindowSearch search{m_process.dwProcessId, nullptr};
        ::EnumWindows(&TakeMainWindow, reinterpret_cast<LPARAM>(&search));
        m_frame = search.found;
        if (!m_frame) ::Sleep(50);
    }
    return m_frame;
}

bool Viewer::Command(WORD id) const {
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutW(m_frame, WM_COMMAND, id, 0, SMTO_ABORTIFHUNG, kCommandMs,
                                 &answer) != 0;
}

int Viewer::ItemCount() const {
    const HWND client = ::FindWindowExW(m_frame, nullptr, L"MDIClient", nullptr);
    const HWND document = client ? ::GetWindow(client, GW_CHILD) : nullptr;
    const HWND list = document ? ::GetWindow(document, GW_CHILD) : nullptr;
    DWORD_PTR count = 0;
    if (!list ||
        !::SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, kCommandMs, &count))
        return -1;
    return int(count);
}

std::string Viewer::WhyNoFrame() const {
    if (!m_process.hProcess)
        return "velk.exe could not be started: error " + std::to_string(m_start_error);
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(m_process.hProcess, &code);
    if (code != STILL_ACTIVE)
        return "velk.exe ended with exit code " + std::to_string(code) + " and showed no window";
    return "velk.exe showed no window in " + std::to_string(kStartMs / 1000) + " s";
}

void Viewer::Close() const { ::PostMessageW(m_frame, WM_CLOSE, 0, 0); }

DWORD Viewer::ExitCode() const {
    ::WaitForSingleObject(m_process.hProcess, kStartMs);
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(m_process.hProcess, &code);
    return code;
}

}  // namespace e2e

}  // namespace velk
