// The least frame the window benchmarks need: an MDI frame whose client holds
// the document windows, with no bars and no menu of its own.
#pragma once

#include <functional>

#include "framework/mdi_frame.h"

namespace velk {

// The wall-clock time `work` takes, in milliseconds.
inline double Milliseconds(const std::function<void()>& work) {
    LARGE_INTEGER frequency, start, stop;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    work();
    ::QueryPerformanceCounter(&stop);
    return double(stop.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// Handles every message waiting, paints included: what the user sees once it returns.
inline void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
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
