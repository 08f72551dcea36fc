// Long use: one running shell opens, works on and closes documents cycle after
// cycle. After a warm-up its windows, USER and GDI objects, private bytes and
// heap blocks must stay where they were: whatever a cycle leaves behind grows
// with the cycles.
//
// The short run (100 cycles, in tools/test) opens the catalogue's small files
// with one of pydicom's real files every tenth cycle and the Find dialog every
// 25th cycle: under wine without a window manager each top-level window that
// closes waits 2 s for a state no manager will set. VELK_SOAK_CYCLES asks for
// the long run (the figures in docs/reliability.md use 1000): real and catalogue files in
// turn, the Find dialog every cycle. Figures are printed every 100 cycles.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "catalogue.h"
#include "framework/module.h"
#include "heap_in_use.h"
#include "shell_driver.h"
#include "shell_thread.h"
#include "temp_folder.h"
#include "view/command_ids.h"

namespace velk {

namespace {

constexpr int kWarmUpCycles = 50;
constexpr int kShortRunCycles = 100;
constexpr int kContainersToggled = 12;  // per document, from the top

// What may stay behind after the warm-up, in all: a little heap growth from
// fragmentation (under wine a region of 1 MiB comes and goes), never a
// document's worth per cycle.
constexpr long kObjectTolerance = 4;
constexpr double kPrivateTolerance = 2.0 * 1024 * 1024;
// Blocks in use in the process's heaps: their count stays within a block or two
// from cycle to cycle, so that one block left per cycle shows long before it
// shows in the private bytes.
constexpr long kHeapBlockTolerance = 16;
// Wine 8.0's Static of common controls 6 keeps a block of 24 bytes when it is
// destroyed after being given a font (bench/static_label_probe_win.cpp, no velk
// code in it); the Find dialog's "Find what" label is one.
constexpr long kHeapBlocksKeptPerFindDialog = 1;

const wchar_t kRealFolder[] = L"Z:\\usr\\lib\\python3\\dist-packages\\pydicom\\data\\test_files\\";
// Small ones, so that a cycle costs about the same whichever file it opens.
const wchar_t* const kRealFiles[] = {L"CT_small.dcm", L"MR_small_implicit.dcm"};

struct Usage {
    int windows;
    long user, gdi;
    double private_bytes;
    double commit_charge;  // GetProcessMemoryInfo's PagefileUsage, shown only
    long heap_blocks;      // in use, in every heap of the process
    double heap_bytes;     // theirs, shown only: a few blocks change size
};

struct Plan {
    int cycles;
    int realEvery;  // a real file every n-th cycle, the catalogue's between
    int findEvery;  // the Find dialog every n-th cycle
};

Plan PlanOfRun() {
    const char* text = std::getenv("VELK_SOAK_CYCLES");
    const int cycles = text ? std::atoi(text) : 0;
    if (cycles <= kWarmUpCycles) return {kShortRunCycles, 10, 25};
    return {cycles, 2, 1};
}

// Wine answers 0 for GetGuiResources. There the handle tables are asked for
// every index instead (wine takes a handle without its upper word as its
// index): GDI objects by GetObjectType, menus and accelerator tables among the
// USER objects; windows are counted on their own.
// Wine fills no PrivateUsage, and its PagefileUsage counts the host's side of
// the process too (the X and font libraries grew by 2.4 MiB in one step in a
// long run while nothing committed on the Windows side did): there the
// private committed regions of the address space are summed instead.
double PrivateRegionBytes() {
    double total = 0;
    MEMORY_BASIC_INFORMATION region{};
    const char* at = nullptr;
    while (::VirtualQuery(at, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += double(region.RegionSize);
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return total;
}

long GdiObjectsByIndex() {
    long count = 0;
    for (UINT_PTR index = 1; index <= 0xFFFF; ++index)
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++count;
    return count;
}
long UserObjectsByIndex() {
    constexpr UINT_PTR kFirst = 0x20, kLast = 0xFFEF;  // wine's USER handles: 0x20 + 2 * index
    long count = 0;
    for (UINT_PTR value = kFirst; value <= kLast; value += 2) {
        const auto handle = reinterpret_cast<HANDLE>(value);
        if (::IsMenu(static_cast<HMENU>(handle)) ||
            ::CopyAcceleratorTableW(static_cast<HACCEL>(handle), nullptr, 0))
            ++count;
    }
    return count;
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
        ::GetProcessMemoryInfo(::GetCurrentProcess(),
                               reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
        const double own = memory.PrivateUsage ? double(memory.PrivateUsage) : PrivateRegionBytes();
        const int windows = shell.WindowCount();
        long user = long(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS));
        long gdi = long(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS));
        if (!user && !gdi) {
            user = windows + UserObjectsByIndex();
            gdi = GdiObjectsByIndex();
        }
        const test::HeapInUse heap = test::CountHeapInUse();
        return {windows, user, gdi, own, double(memory.PagefileUsage), heap.blocks, heap.bytes};
    }

    // The files in the order the cycles open them: a real one every realEvery-th.
    std::vector<std::wstring> Files(const Plan& plan) {
        std::vector<std::wstring> mixed;
        std::size_t real = 0;
        for (const catalogue::case_file& c : catalogue::all_cases()) {
            const std::string bytes = c.make();
            if (bytes.size() > catalogue::seed_size_limit) continue;
            if ((mixed.size() + 1) % std::size_t(plan.realEvery) == 0)
                mixed.push_back(std::wstring(kRealFolder) +
                                kRealFiles[real++ % std::size(kRealFiles)]);
            const std::string name(c.name);
            mixed.push_back(
                m_folder.Write(std::wstring(name.begin(), name.end()) + L".dcm", bytes));
        }
        return mixed;
    }

    // One cycle on one file.
    static void Cycle(const test::ShellDriver& shell, const std::wstring& path, bool find) {
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
        shell.Command(document, ID_EDIT_SELECT_ALL);
        shell.Command(document, ID_EDIT_COPY_ROWS);
        if (find) shell.Command(document, ID_EDIT_FIND);
        for (HWND dialog : shell.FindDialogs()) {
            ::SetDlgItemTextW(dialog, 0x480, L"0008");
            shell.Send(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       LPARAM(::GetDlgItem(dialog, IDOK)));
            shell.Send(dialog, WM_COMMAND, IDCANCEL);
        }
        shell.Command(document, ID_VIEW_REFRESH);
        shell.Close(document);
    }

    test::TempFolder m_folder{L"velk-soak"};
};

TEST_F(Soak, WindowsObjectsAndMemoryStayFlatOverManyCycles) {
    const Plan plan = PlanOfRun();
    const std::vector<std::wstring> files = Files(plan);
    test::ShellThread running;
    const HWND frame = running.WaitForFrame();
    ASSERT_TRUE(frame);
    const test::ShellDriver shell(frame, running.ThreadId());

    const int cycles = plan.cycles;
    const DWORD start = ::GetTickCount();
    Usage warm{};
    long findsAfterWarmUp = 0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        const bool find = cycle % plan.findEvery == 0;
        Cycle(shell, files[std::size_t(cycle) % files.size()], find);
        if (HasFatalFailure()) return;
        if (find && cycle > kWarmUpCycles) ++findsAfterWarmUp;
        if (cycle == kWarmUpCycles) warm = Measure(shell);
        if (cycle % 100 == 0 || cycle == cycles) {
            const Usage now = Measure(shell);
            std::printf(
                "cycle %5d (%4lu s): windows %d, USER %ld, GDI %ld, private %.2f MiB, commit %.2f "
                "MiB, "
                "heap %ld blocks %.1f KiB\n",
                cycle, (::GetTickCount() - start) / 1000, now.windows, now.user, now.gdi,
                now.private_bytes / (1024.0 * 1024.0), now.commit_charge / (1024.0 * 1024.0),
                now.heap_blocks, now.heap_bytes / 1024.0);
        }
    }
    const Usage end = Measure(shell);
    std::printf(
        "after the warm-up (%d cycles): windows %d, USER %ld, GDI %ld, private %.2f MiB, commit "
        "%.2f MiB, "
        "heap %ld blocks %.1f KiB\n",
        kWarmUpCycles, warm.windows, warm.user, warm.gdi, warm.private_bytes / (1024.0 * 1024.0),
        warm.commit_charge / (1024.0 * 1024.0), warm.heap_blocks, warm.heap_bytes / 1024.0);
    EXPECT_EQ(end.windows, warm.windows);
    EXPECT_LE(end.user, warm.user + kObjectTolerance);
    EXPECT_LE(end.gdi, warm.gdi + kObjectTolerance);
    EXPECT_LE(end.private_bytes, warm.private_bytes + kPrivateTolerance);
    EXPECT_LE(end.heap_blocks, warm.heap_blocks + kHeapBlockTolerance +
                                   findsAfterWarmUp * kHeapBlocksKeptPerFindDialog);
    ::PostMessageW(frame, WM_CLOSE, 0, 0);
}

}  // namespace

}  // namespace velk
