// Long use: one running shell opens, works on and closes documents cycle after
// cycle (pydicom's real files and the catalogue's small files in turn). After a
// warm-up its windows, USER and GDI objects and private bytes must stay where
// they were: whatever a cycle leaves behind grows with the cycles.
//
// VELK_SOAK_CYCLES sets the number of cycles (100 by default; the long run in
// the README uses 1000); figures are printed every 100 cycles.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "catalogue.h"
#include "framework/module.h"
#include "shell_driver.h"
#include "shell_thread.h"
#include "temp_folder.h"

namespace velk {

namespace {

constexpr WORD kFindCommand = 0xE124;
constexpr WORD kCopyRowsCommand = 0xE122;
constexpr WORD kSelectAllCommand = 0xE12A;
constexpr WORD kRefreshCommand = 0xE803;
constexpr int kWarmUpCycles = 50;
constexpr int kContainersToggled = 12;  // per document, from the top

// What may stay behind after the warm-up, in all: a little heap growth from
// fragmentation, never a document's worth per cycle.
constexpr long kObjectTolerance = 4;
constexpr double kPrivateTolerance = 1.0 * 1024 * 1024;

const wchar_t kRealFolder[] = L"Z:\\usr\\lib\\python3\\dist-packages\\pydicom\\data\\test_files\\";
// Small ones, so that a cycle costs about the same whichever file it opens.
const wchar_t* const kRealFiles[] = {L"CT_small.dcm", L"MR_small_implicit.dcm"};

struct Usage {
    int windows;
    long user, gdi;   // GetGuiResources; wine answers 0 for both
    double private_bytes;  // commit charge (wine fills only PagefileUsage)
};

int Cycles() {
    const char* text = std::getenv("VELK_SOAK_CYCLES");
    const int cycles = text ? std::atoi(text) : 0;
    return cycles > kWarmUpCycles ? cycles : 100;
}

class Soak : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
        ::InitCommonControlsEx(&controls);
        GetAppModule().Init(::GetModuleHandleW(nullptr));
    }

    Usage Measure(const test::ShellDriver& shell) const {
        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof(memory);
        ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof(memory));
        const SIZE_T commit = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
        return {shell.WindowCount(), long(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS)),
                long(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)), double(commit)};
    }

    // Every file a cycle may open: the real ones and the catalogue's small ones.
    std::vector<std::wstring> Files() {
        std::vector<std::wstring> files;
        for (const wchar_t* name : kRealFiles) files.push_back(std::wstring(kRealFolder) + name);
        std::size_t real = 0;
        std::vector<std::wstring> mixed;
        for (const catalogue::case_file& c : catalogue::all_cases()) {
            const std::string bytes = c.make();
            if (bytes.size() > catalogue::seed_size_limit) continue;
            const std::string name(c.name);
            mixed.push_back(m_folder.Write(std::wstring(name.begin(), name.end()) + L".dcm", bytes));
            mixed.push_back(files[real++ % files.size()]);  // real and catalogue in turn
        }
        return mixed;
    }

    // One cycle on one file.
    static void Cycle(const test::ShellDriver& shell, const std::wstring& path) {
        shell.Drop({path});
        const HWND document = shell.Active();
        ASSERT_TRUE(document);
        const HWND list = test::ShellDriver::ListOf(document);
        int toggled = 0;
        for (int row = 0; row < shell.Rows(document) && toggled < kContainersToggled; ++row) {
            if (shell.Image(list, row) != 1) continue;
            shell.ClickIcon(list, row);  // collapse
            shell.ClickIcon(list, row);  // and expand again
            ++toggled;
        }
        shell.Command(document, kSelectAllCommand);
        shell.Command(document, kCopyRowsCommand);
        shell.Command(document, kFindCommand);
        for (HWND dialog : shell.FindDialogs()) {
            ::SetDlgItemTextW(dialog, 0x480, L"0008");
            shell.Send(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(::GetDlgItem(dialog, IDOK)));
            shell.Send(dialog, WM_COMMAND, IDCANCEL);
        }
        shell.Command(document, kRefreshCommand);
        shell.Close(document);
    }

    test::TempFolder m_folder{L"velk-soak"};
};

TEST_F(Soak, WindowsObjectsAndMemoryStayFlatOverManyCycles) {
    const std::vector<std::wstring> files = Files();
    test::ShellThread running;
    const HWND frame = running.WaitForFrame();
    ASSERT_TRUE(frame);
    const test::ShellDriver shell(frame, running.ThreadId());

    const int cycles = Cycles();
    Usage warm{};
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        Cycle(shell, files[std::size_t(cycle) % files.size()]);
        if (HasFatalFailure()) return;
        if (cycle == kWarmUpCycles) warm = Measure(shell);
        if (cycle % 100 == 0 || cycle == cycles) {
            const Usage now = Measure(shell);
            std::printf("cycle %5d: windows %d, USER %ld, GDI %ld, private %.2f MiB\n", cycle, now.windows, now.user,
                        now.gdi, now.private_bytes / (1024.0 * 1024.0));
        }
    }
    const Usage end = Measure(shell);
    std::printf("after the warm-up (%d cycles): windows %d, USER %ld, GDI %ld, private %.2f MiB\n", kWarmUpCycles,
                warm.windows, warm.user, warm.gdi, warm.private_bytes / (1024.0 * 1024.0));
    EXPECT_EQ(end.windows, warm.windows);
    EXPECT_LE(end.user, warm.user + kObjectTolerance);
    EXPECT_LE(end.gdi, warm.gdi + kObjectTolerance);
    EXPECT_LE(end.private_bytes, warm.private_bytes + kPrivateTolerance);
    ::PostMessageW(frame, WM_CLOSE, 0, 0);
}

}  // namespace

}  // namespace velk
