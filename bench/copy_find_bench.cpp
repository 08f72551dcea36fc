// What opening, Select All plus Copy Rows, and one Find Next over the whole list
// cost in velk's own document window under wine, and the memory the rows take,
// beside velkdump's listing of the same file: the costs of the list as the user
// meets them. The same source built from earlier code gives the figures to set
// beside these in one run.
//
// usage: velk_copy_find_bench FILE [REPEATS]
// Prints milliseconds per run (the best and the median of REPEATS, default 3).
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/documents.h"
#include "bench_frame_win.h"
#include "cli/velkdump.h"
#include "view/find.h"

using namespace velk;

namespace {

constexpr WORD kCopyRows = 0xE122;
constexpr WORD kSelectAll = 0xE12A;
constexpr WORD kFind = 0xE124;
constexpr int kFindWhatEdit = 0x480;  // the find dialog's text box (edt1)

// The process's resident bytes: what its rows cost above the empty viewer.
double PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return double(counters.WorkingSetSize);
}

struct Timing {
    double best;
    double median;
};

Timing Time(int repeats, const std::function<void()>& prepare, const std::function<void()>& run) {
    std::vector<double> ms;
    for (int i = 0; i < repeats; ++i) {
        prepare();
        const double t0 = NowMs();
        run();
        ms.push_back(NowMs() - t0);
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

std::size_t ClipboardLength() {
    std::size_t n = 0;
    if (!::OpenClipboard(nullptr)) return 0;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(::GlobalLock(data))) {
            n = std::wcslen(text);
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return n;
}

void ClearSelection(HWND list) {
    LVITEMW change{};
    change.stateMask = LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, WPARAM(-1), LPARAM(&change));
    ::SendMessageW(list, LVM_SETSELECTIONMARK, 0, -1);
}

std::string Utf8(const wchar_t* text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: velk_copy_find_bench FILE [REPEATS]\n");
        return 2;
    }
    const int repeats = argc > 2 ? std::max(1, _wtoi(argv[2])) : 3;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    CBenchFrame frame;
    const RECT place{0, 0, 1000, 700};
    if (!frame.CreateEx(nullptr, &place)) return 1;
    frame.ShowWindow(SW_SHOW);
    Pump();
    const double empty_bytes = PrivateBytes();
    // The first open in a process also pays for what wine loads once (fonts,
    // classes); opening again, after closing, is what a running viewer costs. An
    // open returns once the document's first page is painted.
    const auto open = [&] {
        OpenDocumentIn(frame.m_hWndMDIClient, argv[1]);
        Pump();
    };
    const auto close = [&] {
        if (HWND document = ::GetWindow(frame.m_hWndMDIClient, GW_CHILD))
            ::SendMessageW(frame.m_hWndMDIClient, WM_MDIDESTROY, WPARAM(document), 0);
        Pump();
    };
    std::printf("file: %s\nfirst open (load and first paint): %.0f ms\n", Utf8(argv[1]).c_str(),
                Milliseconds(open));
    const auto list_of_document = [&] {
        HWND document = ::GetWindow(frame.m_hWndMDIClient, GW_CHILD);
        return document ? ::GetWindow(document, GW_CHILD) : nullptr;
    };
    HWND list = list_of_document();
    const int rows = list ? int(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
    std::printf("rows: %d\n", rows);
    if (!rows) return 1;
    std::printf("memory above the empty viewer: %.1f bytes per row\n",
                (PrivateBytes() - empty_bytes) / rows);
    const Timing reopen = Time(repeats, close, open);
    std::printf("open again: best %.0f ms, median %.0f ms\n", reopen.best, reopen.median);
    list = list_of_document();

    const Timing select = Time(
        repeats, [&] { ClearSelection(list); },
        [&] { ::SendMessageW(list, WM_COMMAND, kSelectAll, 0); });
    std::printf("Select All: best %.0f ms, median %.0f ms\n", select.best, select.median);
    const Timing copy = Time(
        repeats, [] {}, [&] { ::SendMessageW(list, WM_COMMAND, kCopyRows, 0); });
    std::printf(
        "Copy Rows of every row: best %.0f ms, median %.0f ms (%zu characters, %.2f us per cell)\n",
        copy.best, copy.median, ClipboardLength(), copy.best * 1000.0 / (6.0 * rows));

    // Find Next as the user presses it, for a text that no row holds: it looks
    // at every row or stops at the time limit with a beep.
    ::SendMessageW(list, WM_COMMAND, kFind, 0);
    HWND dialog = nullptr;
    for (HWND w = ::GetTopWindow(nullptr); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(w, &process);
        if (process == ::GetCurrentProcessId() && ::GetDlgItem(w, kFindWhatEdit)) {
            dialog = w;
            break;
        }
    }
    if (dialog) {
        ::SetDlgItemTextW(dialog, kFindWhatEdit, L"no row holds this");
        const Timing find = Time(
            repeats, [&] { ClearSelection(list); },
            [&] { ::SendMessageW(dialog, WM_COMMAND, IDOK, 0); });
        std::printf("Find Next, nothing found (stops after %u ms): best %.0f ms, median %.0f ms\n",
                    unsigned(dcm_find_time_limit_ms), find.best, find.median);
        ::DestroyWindow(dialog);
    }
    // velkdump on the same file, in this process, written to the null device.
    std::FILE* null = std::fopen("NUL", "wb");
    if (null) {
        const Timing dump = Time(
            repeats, [] {}, [&] { velkdump({Utf8(argv[1])}, null, stderr); });
        std::printf("velkdump of the same file: best %.0f ms, median %.0f ms\n", dump.best,
                    dump.median);
        std::fclose(null);
    }
    frame.DestroyWindow();
    return 0;
}
