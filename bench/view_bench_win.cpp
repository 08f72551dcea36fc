// The element list under wine, as a user meets it: opening a generated file of
// 100,000 elements up to its first painted page, repainting one page, and
// collapsing and expanding a container of 10,000 rows by a click on its icon
// (each with the repaint it causes), beside a click on a plain row, which is
// the list control's own selection work. Beside them, the load of the same file
// without any window. Prints the median and the fastest of several runs.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/documents.h"
#include "bench_frame_win.h"
#include "present/row_model.h"
#include "view_bench_file.h"

using namespace velk;

namespace {

void ClickIcon(HWND list, int row) {
    RECT icon{};
    icon.left = LVIR_ICON;
    ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&icon));
    const LPARAM at = MAKELPARAM((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2);
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(list, WM_LBUTTONUP, 0, at);
}

}  // namespace

int main() {
    constexpr int kRuns = 9;
    const view_bench_file file = make_view_bench_file();
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"velk_view_bench.dcm";
    if (FILE* f = ::_wfopen(path.c_str(), L"wb")) {
        std::fwrite(file.bytes.data(), 1, file.bytes.size(), f);
        std::fclose(f);
    }

    CBenchFrame frame;
    const RECT place{0, 0, 1280, 800};
    if (!frame.CreateEx(nullptr, &place)) return 1;
    frame.ShowWindow(SW_SHOW);
    Pump();
    HWND client = frame.m_hWndMDIClient;

    std::vector<double> parse, open, repaint, collapse, expand, collapse_paint, expand_paint, plain;
    dcm_row_model rows;
    for (int run = 0; run < kRuns; ++run)
        parse.push_back(Milliseconds([&] { rows.load_file(path.c_str()); }));
    std::printf("file: %zu rows, %zu bytes; big container at row %zu\n", rows.size(),
                file.bytes.size(), file.big_row);

    for (int run = 0; run < kRuns; ++run) {
        open.push_back(Milliseconds([&] { OpenDocumentIn(client, path.c_str()); }));
        HWND document = frame.MDIGetActive();
        HWND list = ::GetWindow(document, GW_CHILD);
        Pump();
        repaint.push_back(Milliseconds([&] {
            ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }));
        const int big = static_cast<int>(file.big_row);
        ::SendMessageW(list, LVM_ENSUREVISIBLE, big, FALSE);
        Pump();
        collapse.push_back(Milliseconds([&] { ClickIcon(list, big); }));
        collapse_paint.push_back(Milliseconds([&] { ::UpdateWindow(list); }));
        expand.push_back(Milliseconds([&] { ClickIcon(list, big); }));
        expand_paint.push_back(Milliseconds([&] { ::UpdateWindow(list); }));
        plain.push_back(Milliseconds([&] { ClickIcon(list, big - 1); }));
        if (::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) != static_cast<LRESULT>(rows.size()))
            std::printf("unexpected row count after the toggles\n");
        ::SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
        Pump();
    }
    Report("load without a window (map and parse)", parse);
    Report("open: load, title, maximise, first page painted", open);
    Report("repaint of one page", repaint);
    Report("collapse 10,000 rows by a click", collapse);
    Report("  the repaint that follows", collapse_paint);
    Report("expand 10,000 rows by a click", expand);
    Report("  the repaint that follows", expand_paint);
    Report("a click on a plain row (the list's own work)", plain);
    ::DeleteFileW(path.c_str());
    return 0;
}
