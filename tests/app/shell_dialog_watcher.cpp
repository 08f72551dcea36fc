#include "shell_dialog_watcher.h"

#include "windows_test.h"

namespace velk {

namespace {

// Hook procedures carry no context of their own; one watcher per thread at a time.
thread_local DialogWatcher* g_watcher = nullptr;

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

}  // namespace

DialogWatcher::DialogWatcher(int closeWith) : m_closeWith(closeWith) {
    g_watcher = this;
    m_hook = SetWindowsHookExW(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
}

DialogWatcher::~DialogWatcher() {
    if (m_hook) UnhookWindowsHookEx(m_hook);
    if (g_watcher == this) g_watcher = nullptr;
}

LRESULT CALLBACK DialogWatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_watcher) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (ClassName(window) == L"#32770") g_watcher->Look(window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogWatcher::Look(HWND dialog) {
    SeenDialog seen;
    seen.caption = test::TextOf(dialog);
    seen.owner = GetWindow(dialog, GW_OWNER);
    GetWindowRect(dialog, &seen.rect);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::wstring text = test::TextOf(child);
        seen.textById[GetDlgCtrlID(child)] = text;
        if (ClassName(child) != L"Static") continue;
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            seen.hasIcon = true;
        } else {
            seen.staticTexts.push_back(text);
        }
    }
    m_seen.push_back(seen);
    // Posted: the box is still being shown, and closes once its own loop runs.
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(m_closeWith, BN_CLICKED), 0);
}

}  // namespace velk
