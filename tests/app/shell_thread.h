// The shell as start-up runs it, on a thread of its own, for tests that drive a
// whole running viewer from another thread with the messages a user's actions
// produce.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <string>
#include <thread>

#include "app/startup.h"

namespace velk {

namespace test {

class ShellThread {
public:
    explicit ShellThread(const std::wstring& firstArgument = std::wstring())
        : m_argument(firstArgument) {
        m_thread = std::thread([this] { Run(); });
    }
    // A test that gave up early still ends the shell rather than wait for it.
    ~ShellThread() {
        if (!m_thread.joinable()) return;
        if (m_frame) {
            ::PostMessageW(m_frame, WM_CLOSE, 0, 0);
        } else if (const DWORD id = m_threadId.load()) {
            ::PostThreadMessageW(id, WM_QUIT, 0, 0);
        }
        m_thread.join();
    }

    // The main frame, once it exists; null when it does not appear in time.
    HWND WaitForFrame() {
        for (int tries = 0; tries < 600 && !m_frame; ++tries) {
            if (const DWORD id = m_threadId.load()) {
                ::EnumThreadWindows(id, TakeFrame, reinterpret_cast<LPARAM>(&m_frame));
            }
            if (!m_frame) ::Sleep(100);
        }
        return m_frame;
    }

    // Waits for the shell to end and answers its exit code.
    int Join() {
        m_thread.join();
        return m_exitCode;
    }

    DWORD ThreadId() const { return m_threadId; }

private:
    void Run() {
        ::CoInitialize(nullptr);
        m_threadId = ::GetCurrentThreadId();
        std::wstring program = L"velk.exe";
        wchar_t* argv[] = {&program[0], &m_argument[0], nullptr};
        // No argument: the shell starts without a document.
        m_exitCode = RunShell(m_argument.empty() ? 1 : 2, argv, SW_SHOWNORMAL);
        ::CoUninitialize();
    }

    static BOOL CALLBACK TakeFrame(HWND window, LPARAM found) {
        if (!::FindWindowExW(window, nullptr, L"MDIClient", nullptr)) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }

    std::wstring m_argument;
    std::thread m_thread;
    std::atomic<DWORD> m_threadId{0};
    HWND m_frame = nullptr;
    int m_exitCode = -1;
};

}  // namespace test

}  // namespace velk
