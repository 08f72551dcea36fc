#include "window.h"

#include "module.h"

#include <vector>

namespace velk {

HWND CWindow::Create(const wchar_t* className, HWND parent, const RECT* rect, const wchar_t* title,
                     DWORD style, DWORD exStyle, HMENU menuOrId, void* param) {
    const RECT none{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    const RECT& r = rect ? *rect : none;
    const bool useDefault = !rect;
    m_hWnd = ::CreateWindowExW(exStyle, className, title, style, r.left, r.top,
                               useDefault ? CW_USEDEFAULT : r.right - r.left,
                               useDefault ? CW_USEDEFAULT : r.bottom - r.top, parent, menuOrId,
                               GetAppModule().GetModuleInstance(), param);
    return m_hWnd;
}

BOOL CWindow::DestroyWindow() {
    if (!::DestroyWindow(m_hWnd)) return FALSE;
    m_hWnd = nullptr;
    return TRUE;
}

namespace {

bool ModifyLong(HWND hwnd, int index, DWORD remove, DWORD add, UINT swpFlags) {
    const DWORD old = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, index));
    const DWORD updated = (old & ~remove) | add;
    if (updated == old) return false;
    ::SetWindowLongPtrW(hwnd, index, static_cast<LONG_PTR>(updated));
    if (swpFlags)
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return true;
}

}  // namespace

bool CWindow::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
    return ModifyLong(m_hWnd, GWL_STYLE, remove, add, swpFlags);
}

bool CWindow::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags) {
    return ModifyLong(m_hWnd, GWL_EXSTYLE, remove, add, swpFlags);
}

std::wstring CWindow::GetWindowText() const {
    const int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int copied = ::GetWindowTextW(m_hWnd, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

BOOL CWindow::CenterWindow(HWND over) const {
    if (!over) over = (GetStyle() & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    RECT mine{};
    GetWindowRect(&mine);
    RECT area{};
    HMONITOR monitor = ::MonitorFromWindow(over ? over : m_hWnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoW(monitor, &info)) area = info.rcWork;
    RECT target = area;
    if (over && ::IsWindowVisible(over) && !::IsIconic(over)) ::GetWindowRect(over, &target);

    const int width = mine.right - mine.left;
    const int height = mine.bottom - mine.top;
    int x = (target.left + target.right - width) / 2;
    int y = (target.top + target.bottom - height) / 2;
    if (x + width > area.right) x = area.right - width;
    if (y + height > area.bottom) y = area.bottom - height;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;

    POINT position{x, y};
    if (GetStyle() & WS_CHILD) ::ScreenToClient(::GetParent(m_hWnd), &position);
    return ::SetWindowPos(m_hWnd, nullptr, position.x, position.y, 0, 0,
                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace velk
