#pragma once
// CMDIChildWindowImpl: a document window inside the MDI client. It carries its own
// menu, which it installs as the frame's menu (with its "&Window" popup as the
// window list) while it is active; when the last child goes, the frame's own menu
// returns. Its client window (the view) fills its client area.
//
// T supplies the window class (CWindowClassInfo::MDIChild(resourceId)); the
// resource identifier names the default title string, the menu and the
// accelerator table (which may be missing).
#include <windows.h>

#include "mdi.h"
#include "window_impl.h"

namespace velk {

template <class T, class TBase = CMDIWindow, class TWinTraits = CMDIChildTraits>
class CMDIChildWindowImpl : public CWindowImpl<T, TBase, TWinTraits> {
public:
    using Impl = CWindowImpl<T, TBase, TWinTraits>;

    HWND m_hWndClient = nullptr;  // the view
    HACCEL m_hAccel = nullptr;

    ~CMDIChildWindowImpl() override { ReleaseMenu(); }

    // Creates the window in mdiClient. No title: the class's title string. No menu
    // identifier: the class's resource identifier. When the active child is
    // maximised, the new one is created maximised too.
    HWND Create(HWND mdiClient, const RECT* rect = nullptr, const wchar_t* title = nullptr,
                DWORD style = 0, DWORD exStyle = 0, UINT menuId = 0, void* createParam = nullptr) {
        if (this->m_hWnd || !mdiClient) return nullptr;
        const UINT resourceId = T::GetWndClassInfo().resourceId;
        HINSTANCE instance = GetAppModule().GetResourceInstance();
        wchar_t defaultTitle[256] = {};
        if (!title && resourceId) {
            ::LoadStringW(instance, resourceId, defaultTitle, 256);
            title = defaultTitle;
        }
        ReleaseMenu();
        if (menuId || resourceId)
            this->m_hMenu = ::LoadMenuW(instance, MAKEINTRESOURCEW(menuId ? menuId : resourceId));
        m_hAccel =
            resourceId ? ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(resourceId)) : nullptr;
        this->m_hWndMDIClient = mdiClient;

        BOOL activeMaximized = FALSE;
        HWND active = this->MDIGetActive(&activeMaximized);
        const bool maximize = active && activeMaximized;
        style = TWinTraits::GetStyle(style) | (maximize ? WS_MAXIMIZE : 0);
        // A client whose redrawing the caller has turned off (WS_VISIBLE cleared)
        // is the caller's to repaint.
        const bool quiet = maximize && (::GetWindowLongPtrW(mdiClient, GWL_STYLE) & WS_VISIBLE);
        if (quiet) ::SendMessageW(mdiClient, WM_SETREDRAW, FALSE, 0);
        HWND hwnd = Impl::Create(mdiClient, rect, title, style, exStyle,
                                 static_cast<HMENU>(nullptr), createParam);
        // The object may be gone by now (a failed creation ran the final hook).
        if (quiet) {
            ::SendMessageW(mdiClient, WM_SETREDRAW, TRUE, 0);
            // The new window covers the client, the others lie under it: only it
            // is painted, not every open document again.
            const bool covers = hwnd && ::IsWindow(hwnd) && ::IsZoomed(hwnd);
            ::RedrawWindow(covers ? hwnd : mdiClient, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
        return hwnd;
    }

    // The child's part of pre-translation: its own accelerators.
    BOOL PreTranslateChildMessage(MSG* msg) {
        return m_hAccel && ::TranslateAcceleratorW(this->m_hWnd, m_hAccel, msg);
    }

    bool ProcessWindowMessage(CMessage& m) override {
        using Map = MessageMap<CMDIChildWindowImpl>;
        static const typename Map::Entry map[] = {
            Map::Message(WM_SIZE, &CMDIChildWindowImpl::OnSize),
            Map::Message(WM_SETFOCUS, &CMDIChildWindowImpl::OnSetFocus),
            Map::Message(WM_MDIACTIVATE, &CMDIChildWindowImpl::OnMDIActivate),
            Map::Message(WM_MENUSELECT, &CMDIChildWindowImpl::OnMenuSelect),
            Map::Message(WM_FORWARDMSG, &CMDIChildWindowImpl::OnForwardMsg),
            Map::Message(WM_DESTROY, &CMDIChildWindowImpl::OnDestroy),
            Map::Message(WM_NCDESTROY, &CMDIChildWindowImpl::OnNcDestroy),
        };
        return Map::Route(*this, map, m) || Impl::ProcessWindowMessage(m);
    }

protected:
    LRESULT OnSize(CMessage& m) {
        if (m_hWndClient && m.wParam != SIZE_MINIMIZED) {
            RECT area{};
            this->GetClientRect(&area);
            ::SetWindowPos(m_hWndClient, nullptr, 0, 0, area.right, area.bottom,
                           SWP_NOZORDER | SWP_NOACTIVATE);
        }
        m.handled = false;  // the MDI child procedure keeps its maximised state with it
        return 0;
    }

    LRESULT OnSetFocus(CMessage& m) {
        const LRESULT result = this->DefWindowProc();  // activates the child
        if (m_hWndClient && ::IsWindow(m_hWndClient)) ::SetFocus(m_hWndClient);
        (void)m;
        return result;
    }

    LRESULT OnMDIActivate(CMessage& m) {
        HWND activated = reinterpret_cast<HWND>(m.lParam);
        if (activated == this->m_hWnd)
            InstallMenu();
        else if (!activated)
            ::SendMessageW(this->GetMDIFrame(), RestoreFrameMenuMessage(), 0, 0);
        m.handled = false;
        return 0;
    }

    LRESULT OnMenuSelect(CMessage& m) {
        // The frame owns the status bar: the prompts of the child's system menu
        // are shown there.
        ::SendMessageW(this->GetMDIFrame(), WM_MENUSELECT, m.wParam, m.lParam);
        m.handled = false;
        return 0;
    }

    LRESULT OnForwardMsg(CMessage& m) {
        return PreTranslateChildMessage(reinterpret_cast<MSG*>(m.lParam));
    }

    LRESULT OnDestroy(CMessage& m) {
        if (IsLastChild())
            ::SendMessageW(this->GetMDIFrame(), RestoreFrameMenuMessage(), 0, 0);
        else if (this->MDIGetActive() == this->m_hWnd)
            this->MDINext(this->m_hWnd);  // destroyed directly, not through the client
        m.handled = false;
        return 0;
    }

    LRESULT OnNcDestroy(CMessage& m) {
        ReleaseMenu();
        m.handled = false;
        return 0;
    }

    void InstallMenu() {
        if (!this->m_hMenu) return;  // a child without a menu leaves the frame's menu in place
        this->MDISetMenu(this->m_hMenu, FindWindowMenu(this->m_hMenu));
        // The window list is rebuilt in the new window menu: the client moves it
        // only from a previous window menu, and the frame's menu may have none.
        ::SendMessageW(this->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
        if (::GetMenu(this->GetMDIFrame()))  // a frame whose bar draws the menu has none
            ::DrawMenuBar(this->GetMDIFrame());
    }

private:
    bool IsLastChild() const {
        for (HWND w = ::GetWindow(this->m_hWndMDIClient, GW_CHILD); w;
             w = ::GetWindow(w, GW_HWNDNEXT)) {
            if (w != this->m_hWnd && !::GetWindow(w, GW_OWNER)) return false;
        }
        return true;
    }

    // Destroys the child's menu unless the frame still shows it (then the frame's
    // destruction takes it).
    void ReleaseMenu() {
        HMENU menu = this->m_hMenu;
        this->m_hMenu = nullptr;
        if (!menu || !::IsMenu(menu)) return;
        HWND frame = this->m_hWndMDIClient ? ::GetParent(this->m_hWndMDIClient) : nullptr;
        if (frame && ::GetMenu(frame) == menu) return;
        ::DestroyMenu(menu);
    }
};

}  // namespace velk
