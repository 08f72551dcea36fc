// Start-up and shut-down: the exit codes, in this process through the start-up
// routine, and of velk.exe started as its own process.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/startup.h"
#include "shell_dialog_watcher.h"
#include "shell_frame_fixture.h"
#include "shell_process.h"
#include "windows_test.h"

namespace velk {

namespace {

// Refuses the creation of every top-level window of this thread while it lives.
class RefuseTopLevelWindows {
public:
    RefuseTopLevelWindows() {
        m_hook = SetWindowsHookExW(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
    }
    ~RefuseTopLevelWindows() { UnhookWindowsHookEx(m_hook); }
    RefuseTopLevelWindows(const RefuseTopLevelWindows&) = delete;
    RefuseTopLevelWindows& operator=(const RefuseTopLevelWindows&) = delete;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
            if (!(create->lpcs->style & WS_CHILD)) return 1;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK m_hook;
};

bool IsMainFrame(HWND window) { return test::TextOf(window).rfind(L"DICOM Lattice", 0) == 0; }

// What the running frame shows, noted just before the frame is asked to close.
std::vector<std::wstring> g_documentTitles;

// Notes this thread's document windows and asks the main frame to close, once the
// loop runs.
void CALLBACK CloseFrame(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            if (!IsMainFrame(window)) return TRUE;
            g_documentTitles.clear();
            HWND client = GetDlgItem(window, 0xE900);
            for (HWND child = GetWindow(client, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT))
                g_documentTitles.push_back(test::TextOf(child));
            PostMessageW(window, WM_CLOSE, 0, 0);
            return FALSE;
        },
        0);
}

TEST(ShellStartup, FrameThatCannotBeCreatedEndsWithZeroAndNoLoop) {
    PrepareShellProcess();
    wchar_t program[] = L"velk.exe";
    wchar_t* argv[] = {program};
    RefuseTopLevelWindows refuse;
    EXPECT_EQ(RunShell(1, argv, SW_SHOWNORMAL), 0);
    EXPECT_EQ(GetAppModule().GetMessageLoop(), nullptr) << "the loop is unregistered again";
}

TEST(ShellStartup, NormalCloseEndsWithOne) {
    PrepareShellProcess();
    wchar_t program[] = L"velk.exe";
    wchar_t* argv[] = {program};
    SetTimer(nullptr, 0, 50, &CloseFrame);
    EXPECT_EQ(RunShell(1, argv, SW_SHOWNORMAL), 1);
    EXPECT_EQ(GetAppModule().GetMessageLoop(), nullptr);
    EXPECT_TRUE(g_documentTitles.empty());
}

TEST(ShellStartup, OnlyTheFirstArgumentOpensUsedAsGiven) {
    PrepareShellProcess();
    wchar_t program[] = L"velk.exe", first[] = L"no such folder\\first.dcm",
            second[] = L"second.dcm";
    wchar_t* argv[] = {program, first, second};
    SetTimer(nullptr, 0, 50, &CloseFrame);
    EXPECT_EQ(RunShell(3, argv, SW_SHOWNORMAL), 1);
    ASSERT_EQ(g_documentTitles.size(), 1u) << "a missing file still gets its document window";
    EXPECT_EQ(g_documentTitles[0], L"first.dcm");
}

// --- velk.exe as its own process ------------------------------------------------

struct FoundWindow {
    DWORD process;
    HWND window;
};

HWND FindFrameOf(DWORD processId) {
    FoundWindow found{processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* f = reinterpret_cast<FoundWindow*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == f->process && test::TextOf(window) == L"DICOM Lattice") {
                f->window = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.window;
}

class VelkProcess : public ::testing::Test {
protected:
    void Start(const std::wstring& arguments) {
        std::wstring program = test::AppProgramPath(L"velk.exe");
        std::wstring line = L"\"" + program + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        startup.lpDesktop = TestDesktop();
        ASSERT_TRUE(CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &m_process));
        // Shown once start-up has created it and its bars.
        ASSERT_TRUE(test::PumpUntil([&] {
            m_frame = FindFrameOf(m_process.dwProcessId);
            return m_frame && IsWindowVisible(m_frame);
        }));
    }

    DWORD WaitForExit() {
        EXPECT_EQ(WaitForSingleObject(m_process.hProcess, 20000), WAIT_OBJECT_0);
        DWORD code = 0xDEAD;
        GetExitCodeProcess(m_process.hProcess, &code);
        return code;
    }

    void TearDown() override {
        if (m_process.hProcess) {
            if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(m_process.hProcess, 99);
            CloseHandle(m_process.hThread);
            CloseHandle(m_process.hProcess);
        }
    }

    PROCESS_INFORMATION m_process = {};
    HWND m_frame = nullptr;
};

TEST_F(VelkProcess, StartedWithoutArgumentsShowsTheFrameAndEndsWithOneOnClose) {
    Start(L"");
    EXPECT_TRUE(IsWindowVisible(m_frame));
    EXPECT_EQ(GetMenu(m_frame), nullptr) << "the menu lives in the command bar";
    EXPECT_TRUE(GetWindowLongPtrW(m_frame, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    PostMessageW(m_frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(), 1u);
}

TEST_F(VelkProcess, ExitCommandEndsWithOne) {
    Start(L"first.dcm second.dcm third.dcm");
    PostMessageW(m_frame, WM_COMMAND, MAKEWPARAM(0xE141, 0), 0);
    EXPECT_EQ(WaitForExit(), 1u);
}

}  // namespace

}  // namespace velk
