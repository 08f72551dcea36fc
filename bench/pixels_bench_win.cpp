// The inspector's image under wine, as a user meets it: with the inspector
// shown on another row of a 512 x 512 x 16-bit CT slice, the focus moves to
// Pixel Data, up to the document window painted whole (the file mapped, the
// frame described, decoded and windowed, the bitmap made and stretched, the
// inspector's lines laid out and drawn, every message the move caused
// handled). Prints the median and the fastest of several runs, against the
// 50 ms the frame may take, and against the inspector's own move to a short
// value in the same run; then the processor time of the same steps (this
// thread's), which a shared machine's waits for a processor do not inflate.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/documents.h"
#include "app/resource.h"
#include "bench_frame_win.h"
#include "dicom_builder.h"

using namespace velk;

namespace {

constexpr double kFrameBudgetMs = 50;
constexpr int kFramePaneId = 0x7F04;

// A CT slice: 512 x 512 signed 16-bit values (12 stored) of a ramp, the
// rescale and a window from the file.
std::string CtSlice() {
    using test::le16;
    std::string values;
    values.reserve(512 * 512 * 2);
    for (int i = 0; i < 512 * 512; ++i) values += le16(std::uint16_t((i * 7) % 4096 - 1024));
    test::dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    b.explicit_element(0x0028, 0x0002, "US", le16(1))
        .explicit_element(0x0028, 0x0004, "CS", "MONOCHROME2 ");
    b.explicit_element(0x0028, 0x0010, "US", le16(512))
        .explicit_element(0x0028, 0x0011, "US", le16(512));
    b.explicit_element(0x0028, 0x0100, "US", le16(16))
        .explicit_element(0x0028, 0x0101, "US", le16(12));
    b.explicit_element(0x0028, 0x0102, "US", le16(11))
        .explicit_element(0x0028, 0x0103, "US", le16(1));
    b.explicit_element(0x0028, 0x1050, "DS", "40").explicit_element(0x0028, 0x1051, "DS", "400 ");
    b.explicit_element(0x0028, 0x1052, "DS", "0 ").explicit_element(0x0028, 0x1053, "DS", "1 ");
    b.explicit_element(0x7FE0, 0x0010, "OW", values);
    return b.bytes();
}

void Focus(HWND list, int row) {
    ListView_SetItemState(list, -1, 0, LVIS_FOCUSED | LVIS_SELECTED);
    ListView_SetItemState(list, row, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
}

}  // namespace

int main() {
    constexpr int kRuns = 15;
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"velk_pixels_bench.dcm";
    const std::string bytes = CtSlice();
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    ::WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    ::CloseHandle(f);

    CBenchFrame frame;
    const RECT place{0, 0, 1280, 800};
    if (!frame.CreateEx(nullptr, &place)) return 1;
    frame.ShowWindow(SW_SHOW);
    Pump();
    OpenDocumentIn(frame.m_hWndMDIClient, path.c_str());
    const HWND document = frame.MDIGetActive();
    const HWND list = ::GetWindow(document, GW_CHILD);
    ::SetFocus(list);
    Focus(list, 1);
    ::SendMessageW(list, WM_KEYDOWN, VK_RETURN, 1);  // the inspector, on a short value
    Pump();
    const int pixelRow = ListView_GetItemCount(list) - 1;

    std::vector<double> frameShown, shortValue, frameProcessor, shortProcessor;
    for (int run = 0; run < kRuns; ++run) {
        double before = ThreadProcessorMs();
        frameShown.push_back(Milliseconds([&] {
            Focus(list, pixelRow);
            Pump();
        }));
        frameProcessor.push_back(ThreadProcessorMs() - before);
        before = ThreadProcessorMs();
        shortValue.push_back(Milliseconds([&] {
            Focus(list, 1);
            Pump();
        }));
        shortProcessor.push_back(ThreadProcessorMs() - before);
    }
    if (!::GetDlgItem(document, kFramePaneId)) {
        std::printf("no frame pane: the focus on Pixel Data showed no image\n");
        return 1;
    }
    const double other =
        Report("inspector: focus to a short value, painted", shortValue, kFrameBudgetMs, "budget");
    Report("inspector: focus to a 512x512x16 CT frame, painted", frameShown, kFrameBudgetMs,
           "budget");
    Report("  the same, against the short value", frameShown, other, "short value");
    const double otherProcessor = Report("processor: focus to a short value, painted",
                                         shortProcessor, kFrameBudgetMs, "budget");
    Report("processor: focus to the CT frame, painted", frameProcessor, kFrameBudgetMs, "budget");
    Report("  the same, against the short value", frameProcessor, otherProcessor, "short value");
    ::DeleteFileW(path.c_str());
    return 0;
}
