// The check beside the first paint, under wine. Opens generated files of
// 100,000 and 1,000,000 rows up to the first painted page, each time either
// leaving the check's posted message in the queue (as velk runs) or taking it
// out (as velk ran before the check), the two alternating, so that both meet
// the same load of a shared machine. Prints for each: the open up to the first
// painted page, the time from there until the queue is empty (the check, when
// its message is left), and the check's own time over the whole load without a
// window (dcm_check). Median and fastest of the runs.
// usage: velk_check_paint_bench [RUNS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/documents.h"
#include "bench_frame_win.h"
#include "check/check.h"
#include "present/row_model.h"
#include "view/velk_view.h"
#include "view_bench_file.h"

using namespace velk;

namespace {

// Takes the check's posted message out of the queue; answers how many there were.
int TakeOutTheCheck() {
    int taken = 0;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, kCheckRowsMessage, kCheckRowsMessage, PM_REMOVE)) ++taken;
    return taken;
}

std::wstring WriteTemporary(const std::string& bytes, const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + name;
    if (FILE* f = ::_wfopen(path.c_str(), L"wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

struct open_times {
    std::vector<double> paint, rest;
};

void Measure(HWND client, std::size_t rows, int runs) {
    const view_bench_file file = make_view_bench_file(rows, 10000);
    const std::wstring path = WriteTemporary(file.bytes, L"velk_check_paint_bench.dcm");
    open_times with, without;
    bool missing = false;
    for (int run = 0; run < 2 * runs; ++run) {
        // Alternating, and each pair in the other order than the one before.
        const bool check = (run % 2 == 0) == (run / 2 % 2 == 0);
        open_times& kept = check ? with : without;
        kept.paint.push_back(Milliseconds([&] { OpenDocumentIn(client, path.c_str()); }));
        if (!check && TakeOutTheCheck() == 0) missing = true;
        kept.rest.push_back(Milliseconds([] { Pump(); }));
        const HWND document = reinterpret_cast<HWND>(::SendMessageW(client, WM_MDIGETACTIVE, 0, 0));
        ::SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
        Pump();
    }

    dcm_row_model model;
    model.load_file(path.c_str());
    const dcm_file_mapping mapping(path.c_str());
    const dcm_bytes bytes = dcm_bytes::of(mapping);
    std::vector<double> check;
    std::size_t findings = 0;
    for (int run = 0; run < runs; ++run)
        check.push_back(Milliseconds([&] { findings = dcm_check(model, bytes).list.size(); }));

    std::printf("%zu rows, %zu bytes, %zu findings%s\n", model.size(), file.bytes.size(), findings,
                missing ? " (the check's message was not found to take out)" : "");
    Report("open to first page, check posted", with.paint);
    Report("open to first page, check taken out", without.paint);
    Report("  then until the queue is empty, posted", with.rest);
    Report("  then until the queue is empty, taken out", without.rest);
    Report("the check over the whole load (dcm_check)", check);
    ::DeleteFileW(path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    CBenchFrame frame;
    const RECT place{0, 0, 1280, 800};
    if (!frame.CreateEx(nullptr, &place)) return 1;
    frame.ShowWindow(SW_SHOW);
    Pump();
    for (const std::size_t rows : {std::size_t(100000), std::size_t(1000000)})
        Measure(frame.m_hWndMDIClient, rows, runs);
    return 0;
}
