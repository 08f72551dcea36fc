#pragma once
// Windows for the command bar tests: a frame that records what the bar hands its
// owner (and scripts what happens while a popup is open), an MDI client, and
// document windows that install their own menu on activation, as the shell's do.
#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <functional>
#include <vector>

#include "framework/command_bar.h"
#include "framework/window_impl.h"

namespace velk {

class CBarHost : public CWindowImpl<CBarHost, CWindow, CFrameTraits> {
public:
    std::vector<HMENU> opened;   // WM_INITMENUPOPUP, in order
    std::vector<UINT> commands;  // WM_COMMAND identifiers
    std::vector<UINT> selected;  // items highlighted (WM_MENUSELECT)
    // One action runs each time a popup opens; with none left the popup is closed.
    std::deque<std::function<void()>> script;
    // Set when a popup stayed open until the safety timer closed it.
    bool timedOut = false;
    static constexpr UINT_PTR kSafetyTimer = 7;

    bool ProcessWindowMessage(CMessage& m) override {
        switch (m.message) {
        case WM_INITMENUPOPUP:
            opened.push_back(reinterpret_cast<HMENU>(m.wParam));
            RunNextAction();
            return true;
        case WM_COMMAND: commands.push_back(LOWORD(m.wParam)); return true;
        case WM_MENUSELECT:
            if (m.lParam) selected.push_back(LOWORD(m.wParam));
            return true;
        case WM_TIMER:
            if (m.wParam != kSafetyTimer) return false;
            ::KillTimer(m_hWnd, kSafetyTimer);
            timedOut = true;
            ::EndMenu();
            return true;
        default: return false;
        }
    }

private:
    void RunNextAction() {
        if (script.empty()) {
            ::EndMenu();
            return;
        }
        auto action = script.front();
        script.pop_front();
        action();
    }
};

// A document window with its own menu; its "&Window" popup gets the window list.
class CBarChild : public CWindowImpl<CBarChild, CWindow, CMDIChildTraits> {
public:
    CBarChild(HMENU menu, HMENU frameMenu) : m_menu(menu), m_frameMenu(frameMenu) {}

    static CWindowClassInfo& GetWndClassInfo() {
        static CWindowClassInfo info = CWindowClassInfo::MDIChild(0);
        return info;
    }

    bool ProcessWindowMessage(CMessage& m) override {
        HWND client = GetParent();
        if (m.message == WM_MDIACTIVATE && reinterpret_cast<HWND>(m.lParam) == m_hWnd) {
            ::SendMessageW(client, WM_MDISETMENU, reinterpret_cast<WPARAM>(m_menu),
                           reinterpret_cast<LPARAM>(::GetSubMenu(m_menu, 3)));
            ::SendMessageW(client, WM_MDIREFRESHMENU, 0, 0);
        }
        if (m.message == WM_DESTROY && IsLastChild(client))
            ::SendMessageW(client, WM_MDISETMENU, reinterpret_cast<WPARAM>(m_frameMenu), 0);
        return false;
    }

    void OnFinalMessage(HWND) override { delete this; }

private:
    bool IsLastChild(HWND client) const {
        for (HWND w = ::GetWindow(client, GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
            if (w != m_hWnd && !::GetWindow(w, GW_OWNER)) return false;
        }
        return true;
    }

    HMENU m_menu;
    HMENU m_frameMenu;
};

// Lets every queued message through the thread's filters, as the message loop
// does, until the queue is empty.
inline void PumpMessages(CMessageLoop& loop) {
    MSG msg;
    const DWORD deadline = ::GetTickCount() + 10000;
    while (::GetTickCount() < deadline && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!loop.PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

inline POINT CentreOf(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

inline LPARAM PointParam(POINT point) { return MAKELPARAM(point.x, point.y); }

}  // namespace velk
