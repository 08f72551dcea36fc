// What the window benchmarks share: their clock, their medians and report
// lines, the message pump, and the least frame they need (an MDI frame whose
// client holds the document windows, with no bars and no menu of its own).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

#include "framework/mdi_frame.h"
#include "framework/message_loop.h"

namespace velk {

// The performance counter, in milliseconds.
inline double NowMs() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// The wall-clock time `work` takes, in milliseconds.
inline double Milliseconds(const std::function<void()>& work) {
    const double start = NowMs();
    work();
    return NowMs() - start;
}

// Processor time in milliseconds: this thread's, and the whole process's
// (every thread's).
inline double FileTimeMs(const FILETIME& t) {
    return double((std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
}
inline double ThreadProcessorMs() {
    FILETIME created, ended, kernel, user;
    ::GetThreadTimes(::GetCurrentThread(), &created, &ended, &kernel, &user);
    return FileTimeMs(kernel) + FileTimeMs(user);
}
inline double ProcessProcessorMs() {
    FILETIME created, ended, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user);
    return FileTimeMs(kernel) + FileTimeMs(user);
}

inline double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// One line of figures: the median and the fastest of `times` (milliseconds) and
// how many runs; answers the median.
inline double Report(const char* what, const std::vector<double>& times) {
    const double median = Median(times);
    std::printf("%-50s median %8.2f ms  fastest %8.2f ms  (%zu runs)\n", what, median,
                *std::min_element(times.begin(), times.end()), times.size());
    return median;
}

// The same with the median's ratio to `against` (a budget, another figure).
inline double Report(const char* what, const std::vector<double>& times, double against,
                     const char* againstWhat) {
    const double median = Median(times);
    std::printf("%-50s median %8.2f ms  fastest %8.2f ms  %6.3f x %s\n", what, median,
                *std::min_element(times.begin(), times.end()), median / against, againstWhat);
    return median;
}

// Handles every message waiting, paints included: what the user sees once it returns.
inline void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// The same as the program's loop handles them: its filters (accelerators, the
// frame's own keys) first.
inline void Pump(CMessageLoop& loop) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!loop.PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

class CBenchFrame : public CMDIFrameWindowImpl<CBenchFrame> {
public:
    static CWindowClassInfo& GetWndClassInfo() {
        static CWindowClassInfo info = CWindowClassInfo::Own();
        return info;
    }
    bool ProcessWindowMessage(CMessage& m) override {
        if (m.message == WM_CREATE) {
            CreateMDIClient();
            return true;
        }
        return CMDIFrameWindowImpl::ProcessWindowMessage(m);
    }
};

}  // namespace velk
