// The folder window's own reading under wine, as a user meets it: the real main
// frame opens a folder as it opens one named on the command line (File > Open
// Folder... ends in the same call once the browser has answered), and the time
// is taken from that command to the first row listed and to the last (the
// reading done, the status bar's final counts shown), with the messages pumped
// as the program's loop pumps them and the window painted. Prints one line a
// run, then the medians and the process's processor time a run (the readers'
// threads included). bench/folder_index.py --wine runs it beside velkdump.exe.
// usage: velk_folder_bench FOLDER [RUNS]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/folder_frame.h"
#include "app/main_frame.h"
#include "app/resource.h"
#include "bench_frame_win.h"
#include "framework/message_loop.h"
#include "framework/module.h"

using namespace velk;

namespace {

struct run_times {
    double first_row = -1;  // ms from the command to the first row in the list
    double last_row = 0;    // ms from the command to the reading done and shown
    double processor = 0;   // the process's processor ms over the same span
    double window = 0;      // of which the window thread's
    long long lines = 0;
    std::wstring status;
};

// Opens `folder` in a folder window of `frame` and waits, pumping, for its last
// row; then closes the window.
run_times OpenOnce(CMainFrame& frame, CMessageLoop& loop, const std::wstring& folder) {
    run_times run;
    const double start = NowMs(), processor = ProcessProcessorMs(),
                 windowProcessor = ThreadProcessorMs();
    frame.OpenFolder(folder.c_str());
    CFolderFrame* window = CFolderFrame::Of(frame.MDIGetActive());
    if (!window) return run;
    for (;;) {
        Pump(loop);
        if (run.first_row < 0 && ::SendMessageW(window->List(), LVM_GETITEMCOUNT, 0, 0) > 0)
            run.first_row = NowMs() - start;
        if (window->Finished()) break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    ::UpdateWindow(frame.m_hWnd);
    run.last_row = NowMs() - start;
    run.processor = ProcessProcessorMs() - processor;
    run.window = ThreadProcessorMs() - windowProcessor;
    run.lines = ::SendMessageW(window->List(), LVM_GETITEMCOUNT, 0, 0);
    wchar_t status[200] = {};
    ::SendMessageW(::GetDlgItem(frame.m_hWnd, IDW_STATUS_BAR), SB_GETTEXTW, 0,
                   reinterpret_cast<LPARAM>(status));
    run.status = status;
    ::SendMessageW(frame.GetMDIClient(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(window->m_hWnd),
                   0);
    Pump(loop);
    return run;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: velk_folder_bench FOLDER [RUNS]\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 3;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    ::InitCommonControlsEx(&controls);
    GetAppModule().Init(::GetModuleHandleW(nullptr));
    CMessageLoop loop;
    GetAppModule().AddMessageLoop(&loop);
    int status = 0;
    {
        CMainFrame frame;
        const RECT place{0, 0, 1280, 800};
        if (!frame.CreateEx(nullptr, &place, 0, WS_EX_ACCEPTFILES)) return 1;
        frame.ShowWindow(SW_SHOW);
        Pump(loop);
        std::vector<double> first, last, processor, window;
        for (int r = 0; r < runs; ++r) {
            const run_times run = OpenOnce(frame, loop, folder);
            if (run.lines == 0) status = 1;
            std::printf(
                "run %d: first row %.0f ms, last row %.0f ms, processor %.0f ms "
                "(window thread %.0f ms), %lld lines; %ls\n",
                r + 1, run.first_row, run.last_row, run.processor, run.window, run.lines,
                run.status.c_str());
            first.push_back(run.first_row);
            last.push_back(run.last_row);
            processor.push_back(run.processor);
            window.push_back(run.window);
        }
        std::printf(
            "median of %d: first row %.0f ms, last row %.0f ms, processor %.0f ms "
            "(window thread %.0f ms)\n",
            runs, Median(first), Median(last), Median(processor), Median(window));
        frame.DestroyWindow();
    }
    GetAppModule().RemoveMessageLoop();
    return status;
}
