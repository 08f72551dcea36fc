// What the tests under wine share: a window's text, this thread's messages
// pumped while a test waits, the build's folders and files written to disk.
#pragma once

#include <windows.h>

#include <string>

namespace velk {

namespace test {

// The text of a window, read as a user would see it.
std::wstring TextOf(HWND window);
// The list view of a document window: its client window.
HWND ListOf(HWND document);

// Dispatches what is waiting in this thread's queue.
void Pump();

// Pumps this thread's messages until `done` answers true or `timeoutMs` passes.
// Pumping also serves a wait on another process: this thread's own windows keep
// answering while it waits.
template <class Done>
bool PumpUntil(Done done, DWORD timeoutMs = 10000) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs) return false;
        Pump();
        ::Sleep(10);
    }
    return true;
}

// The folder of the running test program, with a trailing backslash.
std::wstring TestProgramFolder();
// The path of a program the build wrote beside velk.exe.
std::wstring AppProgramPath(const wchar_t* name);

bool WriteFile(const std::wstring& path, const std::string& bytes);

}  // namespace test

}  // namespace velk
