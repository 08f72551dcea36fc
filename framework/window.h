#pragma once
// CWindow: a window handle with the calls the program makes on it. It owns
// nothing: copying it copies the handle, and destroying it leaves the window alone.
#include <windows.h>

#include <string>

namespace velk {

class CWindow {
public:
    HWND m_hWnd = nullptr;

    CWindow(HWND hwnd = nullptr) : m_hWnd(hwnd) {}
    CWindow& operator=(HWND hwnd) {
        m_hWnd = hwnd;
        return *this;
    }
    operator HWND() const { return m_hWnd; }

    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    HWND Detach() {
        HWND hwnd = m_hWnd;
        m_hWnd = nullptr;
        return hwnd;
    }

    // Creates a window of a registered class (by name) and attaches it.
    HWND Create(const wchar_t* className, HWND parent, const RECT* rect, const wchar_t* title,
                DWORD style, DWORD exStyle = 0, HMENU menuOrId = nullptr, void* param = nullptr);
    BOOL DestroyWindow();

    BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }

    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, msg, wParam, lParam);
    }
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(m_hWnd, msg, wParam, lParam);
    }

    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const {
        return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE));
    }
    // Removes, then adds style bits; answers whether anything changed.
    bool ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    bool ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);

    HWND GetParent() const { return ::GetParent(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }

    BOOL SetWindowText(const wchar_t* text) const { return ::SetWindowTextW(m_hWnd, text); }
    std::wstring GetWindowText() const;
    BOOL SetDlgItemText(int id, const wchar_t* text) const {
        return ::SetDlgItemTextW(m_hWnd, id, text);
    }

    BOOL ShowWindow(int showCommand) const { return ::ShowWindow(m_hWnd, showCommand); }
    BOOL UpdateWindow() const { return ::UpdateWindow(m_hWnd); }
    BOOL Invalidate(BOOL erase = TRUE) const { return ::InvalidateRect(m_hWnd, nullptr, erase); }
    BOOL RedrawWindow(UINT flags, const RECT* rect = nullptr, HRGN region = nullptr) const {
        return ::RedrawWindow(m_hWnd, rect, region, flags);
    }
    void SetRedraw(BOOL redraw) const { SendMessage(WM_SETREDRAW, redraw); }

    BOOL GetClientRect(RECT* rect) const { return ::GetClientRect(m_hWnd, rect); }
    BOOL GetWindowRect(RECT* rect) const { return ::GetWindowRect(m_hWnd, rect); }
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) const {
        return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) const {
        return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
    }
    BOOL ScreenToClient(POINT* point) const { return ::ScreenToClient(m_hWnd, point); }
    BOOL ClientToScreen(POINT* point) const { return ::ClientToScreen(m_hWnd, point); }
    // Centres over the given window, or over the owner (the parent for a child);
    // stays inside the work area of the monitor it ends up on.
    BOOL CenterWindow(HWND over = nullptr) const;

    HMENU GetMenu() const { return ::GetMenu(m_hWnd); }
    BOOL SetMenu(HMENU menu) const { return ::SetMenu(m_hWnd, menu); }
    BOOL DrawMenuBar() const { return ::DrawMenuBar(m_hWnd); }

    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    void SetFont(HFONT font, BOOL redraw = TRUE) const {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
};

}  // namespace velk
