// The add-on link in the main frame's top bar. Activating it mails the maker's
// add-on installer instead of opening an address, so it never shows as visited.
#pragma once

#include "framework/hyperlink.h"

namespace velk {

class CMailToLink : public CHyperLinkImpl<CMailToLink> {
public:
    static CWindowClassInfo& GetWndClassInfo();

    bool Navigate() override { return SendAddOn(); }

    // Mails the installer found beside the program, or says that it is missing.
    // Answers true in every case: the link's work is done either way.
    bool SendAddOn();

    // The link is a member of the main frame, which outlives its window.
    void OnFinalMessage(HWND) override {}
};

}  // namespace velk
