// Watches for dialog boxes (message boxes, the About box) that the code under test
// opens on this thread, notes what they show, and closes each one as a user would,
// with a chosen button. Modal boxes run their own message loop, so this is the way
// a test on the same thread gets to look at them.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace velk {

struct SeenDialog {
    std::wstring caption;
    std::map<int, std::wstring> textById;   // every child control's text
    std::vector<std::wstring> staticTexts;  // the static controls' texts, in z-order
    bool hasIcon = false;                   // a static control that shows an icon
    HWND owner = nullptr;
    RECT rect = {};
};

class DialogWatcher {
public:
    explicit DialogWatcher(int closeWith = IDOK);
    ~DialogWatcher();
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    const std::vector<SeenDialog>& Seen() const { return m_seen; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    void Look(HWND dialog);

    HHOOK m_hook = nullptr;
    int m_closeWith;
    std::vector<SeenDialog> m_seen;
};

}  // namespace velk
