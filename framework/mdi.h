#pragma once
// CMDIWindow: the part shared by MDI frame and child windows: the MDI client and
// the menu of the window, with the MDI client's messages as calls.
#include <windows.h>

#include "window.h"

#ifndef WM_FORWARDMSG
// A queued message offered to a window for pre-translation: lParam is the MSG*;
// the answer is non-zero when the window took the message.
#define WM_FORWARDMSG 0x037F
#endif

namespace velk {

class CMDIWindow : public CWindow {
public:
    HWND m_hWndMDIClient = nullptr;
    HMENU m_hMenu = nullptr;  // the menu this window shows in the frame

    // The active child, and whether it is maximised.
    HWND MDIGetActive(BOOL* maximized = nullptr) const {
        return reinterpret_cast<HWND>(::SendMessageW(m_hWndMDIClient, WM_MDIGETACTIVE, 0,
                                                     reinterpret_cast<LPARAM>(maximized)));
    }
    void MDIActivate(HWND child) const { Client(WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child)); }
    void MDIMaximize(HWND child) const { Client(WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child)); }
    void MDIRestore(HWND child) const { Client(WM_MDIRESTORE, reinterpret_cast<WPARAM>(child)); }
    void MDINext(HWND child, bool previous = false) const {
        Client(WM_MDINEXT, reinterpret_cast<WPARAM>(child), previous);
    }
    BOOL MDICascade(UINT flags = 0) const {
        return static_cast<BOOL>(Client(WM_MDICASCADE, flags));
    }
    BOOL MDITile(UINT flags = MDITILE_VERTICAL) const {
        return static_cast<BOOL>(Client(WM_MDITILE, flags));
    }
    void MDIIconArrange() const { Client(WM_MDIICONARRANGE); }
    // Installs frameMenu as the frame's menu and windowMenu as the menu that lists
    // the children; a null handle leaves that menu as it is.
    HMENU MDISetMenu(HMENU frameMenu, HMENU windowMenu) const {
        return reinterpret_cast<HMENU>(Client(WM_MDISETMENU, reinterpret_cast<WPARAM>(frameMenu),
                                              reinterpret_cast<LPARAM>(windowMenu)));
    }
    HWND GetMDIFrame() const { return ::GetParent(m_hWndMDIClient); }

private:
    LRESULT Client(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWndMDIClient, msg, wParam, lParam);
    }
};

// The window menu of a menu bar: the second-last top-level popup, when its text is
// exactly "&Window". The MDI client lists the children at its end.
HMENU FindWindowMenu(HMENU menuBar);

// Makes the MDI client switch between maximised children without drawing in
// between: activating another child (WM_MDIACTIVATE, WM_MDINEXT, or the
// WM_MDIDESTROY of the active one) while the active one is maximised has the
// client restore the one left and maximise the one activated, and each step
// would draw the children, their scroll bars and frames. With the client's
// drawing off during the switch, only the child shown at the end is painted.
// Answers false when the client could not be subclassed (it then switches as
// before).
bool QuietMaximizedSwitches(HWND mdiClient);

// Sent by a child to its frame when no child is left to show a menu: the frame
// puts its own menu back.
UINT RestoreFrameMenuMessage();

}  // namespace velk
