#include "shell_process.h"

#include <vector>

#include "shell_dialog_watcher.h"

namespace velk {

namespace {

void Drain(HANDLE pipe, std::string& into) {
    DWORD available = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        char buffer[512];
        DWORD got = 0;
        if (!ReadFile(pipe, buffer, sizeof(buffer), &got, nullptr) || got == 0) return;
        into.append(buffer, got);
    }
}

}  // namespace

ProcessResult RunProcess(const std::wstring& program, const std::wstring& arguments,
                         DWORD timeoutMs) {
    ProcessResult result;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return result;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdError = writeEnd;
    startup.hStdOutput = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.lpDesktop = TestDesktop();
    std::wstring line = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION process = {};
    result.started = CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                    nullptr, &startup, &process) != FALSE;
    CloseHandle(writeEnd);
    if (result.started) {
        // Drained while it runs, so that a chatty program never blocks on a full pipe.
        DWORD start = GetTickCount();
        for (;;) {
            result.finished = WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0;
            Drain(readEnd, result.standardError);
            if (result.finished || GetTickCount() - start > timeoutMs) break;
        }
        if (!result.finished) TerminateProcess(process.hProcess, 255);
        GetExitCodeProcess(process.hProcess, &result.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return result;
}

}  // namespace velk
