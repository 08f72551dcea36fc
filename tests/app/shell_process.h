// Starting the shell's own programs (velk.exe, mailrun.exe) as processes from a
// test, the way a user or the add-on link would.
#pragma once

#include <windows.h>

#include <string>

namespace velk {

struct ProcessResult {
    bool started = false;
    bool finished = false;  // false: still running at the deadline, and ended
    DWORD exitCode = 0;
    std::string standardError;
};

// The desktop the tests' windows are on, for the programs they start (null: the
// one the tests were started on).
wchar_t* TestDesktop();

// Runs `program arguments` to its end (at most `timeoutMs`) and gathers its
// standard error.
ProcessResult RunProcess(const std::wstring& program, const std::wstring& arguments,
                         DWORD timeoutMs = 20000);

}  // namespace velk
