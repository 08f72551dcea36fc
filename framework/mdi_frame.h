#pragma once
// CMDIFrameWindowImpl: the top-level window of a multiple-document program. It
// lays out a top bar (a rebar) across the top, a status bar across the bottom and
// the MDI client in the rest; shows menu prompts and toolbar tooltips from the
// string table; and ends the thread's message loop with code 1 when it goes.
//
// T supplies the window class (CWindowClassInfo::Frame(resourceId)); the resource
// identifier names the title string, the menu and the accelerator table too.
#include <windows.h>
#include <commctrl.h>

#include "bars.h"
#include "mdi.h"
#include "menu_prompts.h"
#include "window_impl.h"

namespace velk {

template <class T, class TBase = CMDIWindow, class TWinTraits = CFrameTraits>
class CMDIFrameWindowImpl : public CWindowImpl<T, TBase, TWinTraits> {
public:
    using Impl = CWindowImpl<T, TBase, TWinTraits>;

    HWND m_hWndTopBar = nullptr;  // the rebar across the top
    HWND m_hWndStatusBar = nullptr;
    HWND m_hWndClient = nullptr;  // the window that fills the rest: the MDI client
    HACCEL m_hAccel = nullptr;

    CMDIFrameWindowImpl() { this->SetDefaultProc(&CallDefFrameProc); }

    // Creates the frame with the title (string, up to 255 characters), the menu and
    // the accelerator table of the class's resource identifier.
    HWND CreateEx(HWND parent = nullptr, const RECT* rect = nullptr, DWORD style = 0,
                  DWORD exStyle = 0, void* createParam = nullptr) {
        const UINT resourceId = T::GetWndClassInfo().resourceId;
        HINSTANCE instance = GetAppModule().GetResourceInstance();
        wchar_t title[256] = {};
        if (resourceId) ::LoadStringW(instance, resourceId, title, 256);
        HMENU menu = resourceId ? ::LoadMenuW(instance, MAKEINTRESOURCEW(resourceId)) : nullptr;
        this->m_hMenu = menu;
        m_hAccel =
            resourceId ? ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(resourceId)) : nullptr;
        HWND hwnd = Impl::Create(parent, rect, title, style, exStyle, menu, createParam);
        if (!hwnd && menu && ::IsMenu(menu)) ::DestroyMenu(menu);  // the window never took it
        return hwnd;
    }

    // The MDI client, with the first child identifier for the window list. Without
    // a window menu, the frame menu's own "&Window" popup is used, if it has one.
    HWND CreateMDIClient(HMENU windowMenu = nullptr, UINT id = 0xE900, UINT firstChildId = 0xFF00) {
        if (!windowMenu) windowMenu = FindWindowMenu(this->m_hMenu);
        CLIENTCREATESTRUCT client{windowMenu, firstChildId};
        DWORD style =
            WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | MDIS_ALLCHILDSTYLES;
        // Scroll bars belong to the client: it is the area that scrolls.
        const DWORD scrollBars = this->GetStyle() & (WS_HSCROLL | WS_VSCROLL);
        if (scrollBars) {
            style |= scrollBars;
            this->ModifyStyle(scrollBars, 0, SWP_FRAMECHANGED);
        }
        this->m_hWndMDIClient =
            ::CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr, style, 0, 0, 1, 1,
                              this->m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                              GetAppModule().GetModuleInstance(), &client);
        m_hWndClient = this->m_hWndMDIClient;
        if (m_hWndClient) {
            ::SetWindowPos(m_hWndClient, HWND_TOP, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            UpdateLayout();
        }
        return this->m_hWndMDIClient;
    }

    HWND CreateTopReBar(DWORD style, UINT id) {
        m_hWndTopBar = CreateReBar(this->m_hWnd, style, id);
        return m_hWndTopBar;
    }
    bool AddTopBarBand(HWND child, bool newRow) {
        return AddReBarBand(m_hWndTopBar, child, newRow);
    }
    void SizeTopBarBands() { WidenReBarBandsByBorders(m_hWndTopBar); }

    HWND CreateFrameStatusBar(UINT textId, DWORD style, UINT id) {
        m_hWndStatusBar = CreateStatusBar(this->m_hWnd, textId, style, id);
        return m_hWndStatusBar;
    }

    // The top bar across the top, the status bar across the bottom (each only while
    // visible), the client window in the rest.
    void UpdateLayout() {
        if (m_inLayout) return;  // the rebar reports height changes while it is being sized
        m_inLayout = true;
        RECT area{};
        this->GetClientRect(&area);
        area.top += PlaceBar(m_hWndTopBar);
        area.bottom -= PlaceBar(m_hWndStatusBar);
        if (area.bottom < area.top) area.bottom = area.top;
        if (m_hWndClient)
            ::SetWindowPos(m_hWndClient, nullptr, area.left, area.top, area.right - area.left,
                           area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
        m_inLayout = false;
    }

    // The frame's part of pre-translation: its accelerators, then the MDI system
    // keys (Ctrl+F4, Ctrl+F6), then the active child by WM_FORWARDMSG.
    BOOL PreTranslateFrameMessage(MSG* msg) {
        if (m_hAccel && ::TranslateAcceleratorW(this->m_hWnd, m_hAccel, msg)) return TRUE;
        if (this->m_hWndMDIClient && ::TranslateMDISysAccel(this->m_hWndMDIClient, msg))
            return TRUE;
        HWND active = this->m_hWndMDIClient ? this->MDIGetActive() : nullptr;
        return active &&
               ::SendMessageW(active, WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(msg)) != 0;
    }

    bool ProcessWindowMessage(CMessage& m) override {
        using Map = MessageMap<CMDIFrameWindowImpl>;
        static const typename Map::Entry map[] = {
            Map::Message(WM_SIZE, &CMDIFrameWindowImpl::OnSize),
            Map::Message(WM_MENUSELECT, &CMDIFrameWindowImpl::OnMenuSelect),
            Map::Notify(TTN_GETDISPINFOW, &CMDIFrameWindowImpl::OnToolTipText),
            Map::Notify(RBN_HEIGHTCHANGE, &CMDIFrameWindowImpl::OnTopBarHeightChange),
            Map::Message(WM_DESTROY, &CMDIFrameWindowImpl::OnDestroy),
            Map::Message(WM_NCDESTROY, &CMDIFrameWindowImpl::OnNcDestroy),
        };
        if (m.message == RestoreFrameMenuMessage()) {
            m.result = RestoreFrameMenu();
            return true;
        }
        return Map::Route(*this, map, m) || Impl::ProcessWindowMessage(m);
    }

protected:
    LRESULT OnSize(CMessage& m) {
        // Not passed on: the default frame procedure would stretch the MDI client
        // over the bars.
        if (m.wParam != SIZE_MINIMIZED) UpdateLayout();
        return 0;
    }

    LRESULT OnMenuSelect(CMessage& m) {
        ShowMenuSelectPrompt(m_hWndStatusBar, m.wParam, m.lParam);
        return 0;
    }

    LRESULT OnToolTipText(CMessage& m) {
        auto* request = reinterpret_cast<NMTTDISPINFOW*>(m.lParam);
        if (request->uFlags & TTF_IDISHWND) {
            m.handled = false;  // a tool named by its window, not by a command
            return 0;
        }
        FillToolTipText(*request);
        return 0;
    }

    LRESULT OnTopBarHeightChange(CMessage& m) {
        if (m.Notification()->hwndFrom == m_hWndTopBar) UpdateLayout();
        return 0;
    }

    LRESULT OnDestroy(CMessage& m) {
        // A top-level frame ends the thread's message loop; a frame that is itself
        // a child or a pop-up leaves the loop to its owner.
        if (!(this->GetStyle() & (WS_CHILD | WS_POPUP))) ::PostQuitMessage(1);
        m.handled = false;
        return 0;
    }

    LRESULT OnNcDestroy(CMessage& m) {
        // The system destroys the menu the window shows; the frame's own menu, when
        // something else shows it (a command bar), is the frame's to destroy.
        if (this->m_hMenu && this->GetMenu() != this->m_hMenu && ::IsMenu(this->m_hMenu))
            ::DestroyMenu(this->m_hMenu);
        this->m_hMenu = nullptr;
        m.handled = false;
        return 0;
    }

    LRESULT RestoreFrameMenu() {
        if (!this->m_hWndMDIClient || !this->m_hMenu) return 0;
        this->MDISetMenu(this->m_hMenu, FindWindowMenu(this->m_hMenu));
        ::SendMessageW(this->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
        this->DrawMenuBar();
        return 1;
    }

private:
    static LRESULT CallDefFrameProc(CWindowImplBaseT<TBase>& self, UINT msg, WPARAM wParam,
                                    LPARAM lParam) {
        auto& frame = static_cast<CMDIFrameWindowImpl&>(self);
        return ::DefFrameProcW(frame.m_hWnd, frame.m_hWndMDIClient, msg, wParam, lParam);
    }

    // Lets a shown bar size itself to the frame; answers its height. The bar's own
    // style decides: the frame itself may not be shown yet.
    static int PlaceBar(HWND bar) {
        if (!bar || !(::GetWindowLongPtrW(bar, GWL_STYLE) & WS_VISIBLE)) return 0;
        ::SendMessageW(bar, WM_SIZE, 0, 0);
        RECT rect{};
        ::GetWindowRect(bar, &rect);
        return rect.bottom - rect.top;
    }

    bool m_inLayout = false;
};

}  // namespace velk
