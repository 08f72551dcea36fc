// The filter box and the inspector pane under wine, as a user meets them, on the
// 100,000-element file of the element list's benchmark: each keystroke of a
// filter typed letter by letter up to the painted list, Escape back to every
// row, and Enter on a row up to the painted inspector, on a short value and on a
// value of a gigabyte. Prints the median and the fastest of several runs, and
// the median as a ratio: against the 100 ms a keystroke may take, and the
// gigabyte value against the short one.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/documents.h"
#include "app/resource.h"
#include "bench_frame_win.h"
#include "view_bench_file.h"

using namespace velk;

namespace {

constexpr double kKeystrokeBudgetMs = 100;

bool Write(const std::wstring& path, const std::string& bytes, std::uint64_t sparse_size = 0) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    ::WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    if (sparse_size) {
        LARGE_INTEGER end;
        end.QuadPart = LONGLONG(sparse_size);
        ::SetFilePointerEx(f, end, nullptr, FILE_BEGIN);
        ::SetEndOfFile(f);
    }
    ::CloseHandle(f);
    return true;
}

}  // namespace

int main() {
    constexpr int kRuns = 9;
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"velk_browse_bench.dcm";
    const std::wstring big_path = std::wstring(folder) + L"velk_browse_bench_big.dcm";
    Write(path, make_view_bench_file().bytes);
    test::dicom_builder big;
    big.preamble()
        .transfer_syntax(test::explicit_le_uid())
        .explicit_header(0x7FE0, 0x0010, "OB", 1u << 30);
    Write(big_path, big.bytes(), big.size() + (1u << 30));

    CBenchFrame frame;
    const RECT place{0, 0, 1280, 800};
    if (!frame.CreateEx(nullptr, &place)) return 1;
    frame.ShowWindow(SW_SHOW);
    Pump();
    HWND client = frame.m_hWndMDIClient;

    std::vector<double> first_letter, later_letters, escape, inspect_short, inspect_big;
    const std::vector<std::wstring> typed = {L"1", L"1.", L"1.2", L"1.2.", L"1.2.3"};
    for (int run = 0; run < kRuns; ++run) {
        OpenDocumentIn(client, path.c_str());
        HWND document = frame.MDIGetActive();
        HWND list = ::GetWindow(document, GW_CHILD);
        Pump();
        ::SendMessageW(document, WM_COMMAND, ID_VIEW_FILTER, 0);
        HWND box = ::GetDlgItem(document, 0x7F01);
        Pump();
        for (const std::wstring& text : typed) {
            const double ms = Milliseconds([&] {
                ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
                ::UpdateWindow(list);
            });
            (text.size() == 1 ? first_letter : later_letters).push_back(ms);
        }
        escape.push_back(Milliseconds([&] {
            ::SendMessageW(box, WM_KEYDOWN, VK_ESCAPE, 1);
            ::UpdateWindow(list);
        }));
        ::SetFocus(list);
        ListView_SetItemState(list, 10, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
        Pump();
        inspect_short.push_back(Milliseconds([&] {
            ::SendMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
            ::UpdateWindow(::GetDlgItem(document, 0x7F02));
        }));
        ::SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
        Pump();

        OpenDocumentIn(client, big_path.c_str());
        document = frame.MDIGetActive();
        list = ::GetWindow(document, GW_CHILD);
        ::SetFocus(list);
        ListView_SetItemState(list, 1, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
        Pump();
        inspect_big.push_back(Milliseconds([&] {
            ::SendMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
            ::UpdateWindow(::GetDlgItem(document, 0x7F02));
        }));
        ::SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
        Pump();
    }
    Report("filter: first letter, list repainted", first_letter, kKeystrokeBudgetMs, "budget");
    Report("filter: each further letter, list repainted", later_letters, kKeystrokeBudgetMs,
           "budget");
    Report("filter: Escape, every row back and repainted", escape, kKeystrokeBudgetMs, "budget");
    const double shortValue = Report("inspector: Enter on a short value, pane painted",
                                     inspect_short, kKeystrokeBudgetMs, "budget");
    Report("inspector: Enter on a 1 GiB value, pane painted", inspect_big, shortValue,
           "short value");
    ::DeleteFileW(path.c_str());
    ::DeleteFileW(big_path.c_str());
    return 0;
}
