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
    std::map<int, std::wstring> textById;  // every child control's text
    std::vector<std::wstring> staticTexts; // the static controls' texts, in z-order
    bool hasIcon = false;                  // a static control that shows an icon
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

// The text of a window, read as a user would see it.
std::wstring WindowText(HWND window);

// The folder of the running test program, with a trailing backslash.
std::wstring TestProgramFolder();

// Pumps this thread's messages until `done` answers true or `timeoutMs` passes.
template <class Done>
bool PumpUntil(Done done, DWORD timeoutMs = 10000) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
    return true;
}

}  // namespace velk
