#include "mdi.h"

#include <cwchar>

#include "subclass.h"

namespace velk {

namespace {

HWND ActiveMaximizedChild(HWND client) {
    BOOL maximized = FALSE;
    HWND active = reinterpret_cast<HWND>(
        ::SendMessageW(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
    return active && maximized ? active : nullptr;
}

bool SwitchesActiveChild(UINT msg) {
    return msg == WM_MDIACTIVATE || msg == WM_MDINEXT || msg == WM_MDIDESTROY;
}

LRESULT CALLBACK QuietSwitchProc(HWND client, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR) {
    // A client whose drawing is already off (a switch inside a switch, or a
    // caller's own quiet change) is left to whoever turned it off.
    if (!SwitchesActiveChild(msg) || !(::GetWindowLongPtrW(client, GWL_STYLE) & WS_VISIBLE) ||
        !ActiveMaximizedChild(client))
        return CallNextSubclass(client, msg, wParam, lParam);
    ::SendMessageW(client, WM_SETREDRAW, FALSE, 0);
    const LRESULT result = CallNextSubclass(client, msg, wParam, lParam);
    ::SendMessageW(client, WM_SETREDRAW, TRUE, 0);
    // A maximised child covers the client: only it is painted. Otherwise (the
    // last child gone, or one left restored) the whole client is.
    HWND shown = ActiveMaximizedChild(client);
    ::RedrawWindow(shown ? shown : client, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return result;
}

}  // namespace

bool QuietMaximizedSwitches(HWND mdiClient) {
    return AddSubclass(mdiClient, &QuietSwitchProc, 0, 0);
}

HMENU FindWindowMenu(HMENU menuBar) {
    if (!menuBar) return nullptr;
    const int count = ::GetMenuItemCount(menuBar);
    if (count < 2) return nullptr;
    const int position = count - 2;
    HMENU popup = ::GetSubMenu(menuBar, position);
    if (!popup) return nullptr;
    wchar_t text[16] = {};
    ::GetMenuStringW(menuBar, static_cast<UINT>(position), text, 16, MF_BYPOSITION);
    return std::wcscmp(text, L"&Window") == 0 ? popup : nullptr;
}

UINT RestoreFrameMenuMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"velk.framework.RestoreFrameMenu");
    return message;
}

}  // namespace velk
