// The least frame the window benchmarks need: an MDI frame whose client holds
// the document windows, with no bars and no menu of its own.
#pragma once

#include "framework/mdi_frame.h"

namespace velk {

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
