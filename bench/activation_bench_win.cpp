// Many documents under wine: the real main frame (command bar, menus, toolbar,
// status bar) opens the same small file again and again, and the time to open
// each document and to activate one is measured as the number of open documents
// grows. Prints the open time of the first and the hundredth document and the
// median time of an activation with 2, 25, 50 and 100 documents open; then the
// same for a bare MDI frame whose documents are plain report lists (no velk
// code in them), which is what wine's own MDI costs. VELK_BENCH_TRACE=1 also
// prints, for one activation and one open, the messages sent and the time spent
// in each.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "bench_frame_win.h"
#include "framework/message_loop.h"
#include "framework/module.h"
#include "view_bench_file.h"

using namespace velk;

namespace {

// Everything the activation queued (menus, bars, paints) and the idle update,
// as the loop would do before the user sees the result.
void Settle(CMessageLoop& loop) {
    Pump(loop);
    loop.OnIdle(0);
}

std::wstring WriteSmallFile() {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"velk_activation_bench.dcm";
    // A page of rows and a little more, as a typical header.
    const std::string bytes = make_view_bench_file(200, 20).bytes;
    if (FILE* f = ::_wfopen(path.c_str(), L"wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

// With VELK_BENCH_TRACE set: the messages one activation sends, by window class
// and message, to see where its time goes.
std::map<std::string, int> g_sent;
std::map<std::string, double> g_spent;
std::vector<LARGE_INTEGER> g_starts;
std::string Key(HWND window, UINT message) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return std::string(name) + " " + std::to_string(message);
}
LRESULT CALLBACK CountSent(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    ++g_sent[Key(sent->hwnd, sent->message)];
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    g_starts.push_back(now);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
LRESULT CALLBACK TimeSent(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    if (!g_starts.empty()) {
        g_spent[Key(sent->hwnd, sent->message)] +=
            double(now.QuadPart - g_starts.back().QuadPart) * 1000.0 / double(frequency.QuadPart);
        g_starts.pop_back();
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void Trace(const char* what, CMessageLoop& loop, const std::function<void()>& work) {
    g_sent.clear();
    g_spent.clear();
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, CountSent, nullptr, ::GetCurrentThreadId());
    HHOOK hookRet =
        ::SetWindowsHookExW(WH_CALLWNDPROCRET, TimeSent, nullptr, ::GetCurrentThreadId());
    const double sent = Milliseconds(work);
    const double settled = Milliseconds([&] { Settle(loop); });
    ::UnhookWindowsHookEx(hook);
    ::UnhookWindowsHookEx(hookRet);
    for (const auto& [message, ms] : g_spent)
        if (ms >= 5) std::printf("  %8.1f ms in %s (inclusive)\n", ms, message.c_str());
    int total = 0;
    for (const auto& [message, count] : g_sent) total += count;
    std::printf("  %s %.1f ms, settle %.1f ms, %d messages sent\n", what, sent, settled, total);
    for (const auto& [message, count] : g_sent)
        if (count >= 5) std::printf("  %6d x %s\n", count, message.c_str());
}

// One way to open and activate documents: velk's main frame, or the bare frame.
struct Documents {
    std::function<void()> open;  // one more, maximised, filled and shown
    std::function<void(HWND)> activate;
    std::function<HWND()> active;
};

void Measure(const char* title, CMessageLoop& loop, const Documents& documents) {
    std::printf("%s\n", title);
    const bool trace = std::getenv("VELK_BENCH_TRACE") != nullptr;
    std::vector<double> opens;
    std::vector<HWND> open;
    for (int count = 1; count <= 100; ++count) {
        if (trace && count == 100) Trace("open", loop, documents.open);
        opens.push_back(Milliseconds([&] {
            if (!(trace && count == 100)) documents.open();
            Settle(loop);
        }));
        open.push_back(documents.active());
        if (count == 2 || count == 25 || count == 50 || count == 100) {
            std::vector<double> activations;
            for (int i = 0; i < 9; ++i) {
                HWND other = open[static_cast<std::size_t>(i * 7) % open.size()];
                activations.push_back(Milliseconds([&] {
                    documents.activate(other);
                    Settle(loop);
                }));
            }
            std::printf("%3d documents open: activation median %8.2f ms\n", count,
                        Median(activations));
            if (trace) Trace("activate", loop, [&] { documents.activate(open.front()); });
        }
    }
    const double first = Median({opens[0], opens[1], opens[2]});
    const std::size_t n = opens.size();
    const double hundredth = Median({opens[n - 3], opens[n - 2], opens[n - 1]});
    std::printf("open, median of the first three:   %8.2f ms\n", first);
    std::printf("open, median of the last three:    %8.2f ms  (%.0f%% of the first)\n", hundredth,
                100.0 * hundredth / first);
}

// The bare documents: an MDI child holding a report list of a few hundred rows
// and nothing else of velk's.
constexpr int kBareRows = 300;
constexpr DWORD kBareStyle =
    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_OVERLAPPEDWINDOW | WS_MAXIMIZE;
LRESULT CALLBACK BareDocumentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND list = ::GetWindow(window, GW_CHILD);
    switch (message) {
    case WM_CREATE:
        list = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, nullptr,
                                 WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 0, 0, 10, 10,
                                 window, nullptr, nullptr, nullptr);
        for (int column = 0; column < 4; ++column) {
            LVCOLUMNW c{};
            c.mask = LVCF_WIDTH;
            c.cx = 120;
            ::SendMessageW(list, LVM_INSERTCOLUMNW, WPARAM(column), reinterpret_cast<LPARAM>(&c));
        }
        ::SendMessageW(list, LVM_SETITEMCOUNT, kBareRows, 0);
        break;
    case WM_SIZE:
        if (list) ::MoveWindow(list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        break;  // and on to the default: it keeps the maximised state
    case WM_NOTIFY: {
        auto* request = reinterpret_cast<NMLVDISPINFOW*>(lParam);
        if (request->hdr.code == LVN_GETDISPINFOW && (request->item.mask & LVIF_TEXT))
            ::lstrcpynW(request->item.pszText, L"(0008,0016) UI 26", request->item.cchTextMax);
        return 0;
    }
    }
    return ::DefMDIChildProcW(window, message, wParam, lParam);
}

void MeasureBare(CMessageLoop& loop) {
    WNDCLASSW type{};
    type.lpfnWndProc = BareDocumentProc;
    type.hInstance = ::GetModuleHandleW(nullptr);
    type.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    type.lpszClassName = L"velk_bench_bare_document";
    ::RegisterClassW(&type);
    CBenchFrame frame;
    const RECT place{0, 0, 1280, 800};
    if (!frame.Create(nullptr, &place, L"bare", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN)) return;
    frame.ShowWindow(SW_SHOW);
    Settle(loop);
    const HWND client = frame.m_hWndMDIClient;
    Measure(
        "bare MDI frame, plain report lists:", loop,
        {[&] {
             MDICREATESTRUCTW create{type.lpszClassName, L"document",   type.hInstance,
                                     CW_USEDEFAULT,      CW_USEDEFAULT, CW_USEDEFAULT,
                                     CW_USEDEFAULT,      kBareStyle,    0};
             ::SendMessageW(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create));
         },
         [&](HWND document) { ::SendMessageW(client, WM_MDIACTIVATE, WPARAM(document), 0); },
         [&] { return reinterpret_cast<HWND>(::SendMessageW(client, WM_MDIGETACTIVE, 0, 0)); }});
    frame.DestroyWindow();
}

}  // namespace

int main() {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    ::InitCommonControlsEx(&controls);
    GetAppModule().Init(::GetModuleHandleW(nullptr));
    CMessageLoop loop;
    GetAppModule().AddMessageLoop(&loop);
    const std::wstring path = WriteSmallFile();
    {
        CMainFrame frame;
        const RECT place{0, 0, 1280, 800};
        if (!frame.CreateEx(nullptr, &place, 0, WS_EX_ACCEPTFILES)) return 1;
        frame.ShowWindow(SW_SHOW);
        Settle(loop);

        Measure("velk's main frame:", loop,
                {[&] { frame.OpenDocument(path.c_str()); },
                 [&](HWND document) { frame.MDIActivate(document); },
                 [&] { return frame.MDIGetActive(); }});
        frame.DestroyWindow();
    }
    MeasureBare(loop);
    GetAppModule().RemoveMessageLoop();
    ::DeleteFileW(path.c_str());
    return 0;
}
