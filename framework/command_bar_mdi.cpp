// The MDI side of the command bar: following the MDI client's menu and the
// maximised document window's decoration.
#include "command_bar.h"

#include <windowsx.h>

namespace velk {

namespace {

// Asks the bar to look at the MDI client again once the change in progress is done.
constexpr UINT kRefreshMessage = WM_APP + 0x41;
constexpr int kDecorationMargin = 3;

HICON SmallIconOf(HWND window) {
    auto icon = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(::GetClassLongPtrW(window, GCLP_HICONSM));
    if (!icon) icon = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    if (!icon) icon = reinterpret_cast<HICON>(::GetClassLongPtrW(window, GCLP_HICON));
    return icon ? icon : ::LoadIconW(nullptr, IDI_APPLICATION);
}

// The caption glyphs, drawn with lines rather than taken from a symbol font, which
// not every system has.
void DrawGlyph(HDC dc, CMDICommandBarCtrl::Part part, const RECT& button) {
    const int side = ((button.bottom - button.top) / 2) & ~1;
    const int left = (button.left + button.right - side) / 2;
    const int top = (button.top + button.bottom - side) / 2;
    const int right = left + side;
    const int bottom = top + side;
    HPEN pen = ::CreatePen(PS_SOLID, 2, ::GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ previous = ::SelectObject(dc, pen);
    auto line = [dc](int x1, int y1, int x2, int y2) {
        ::MoveToEx(dc, x1, y1, nullptr);
        ::LineTo(dc, x2, y2);
    };
    switch (part) {
    case CMDICommandBarCtrl::Part::Minimize: line(left, bottom - 1, right, bottom - 1); break;
    case CMDICommandBarCtrl::Part::Restore: {
        // Two overlapping windows: the front one lower left, the back one's edges above.
        const int offset = side / 3;
        ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
        ::Rectangle(dc, left, top + offset, right - offset, bottom);
        line(left + offset, top + offset, left + offset, top);
        line(left + offset, top, right, top);
        line(right, top, right, bottom - offset);
        line(right, bottom - offset, right - offset, bottom - offset);
        break;
    }
    default:
        line(left, top, right, bottom);
        line(right, top, left, bottom);
        break;
    }
    ::SelectObject(dc, previous);
    ::DeleteObject(pen);
}

// A maximised window can be restored, minimised and closed, but not moved,
// sized or maximised; the bar shows its system menu in that state.
void PrepareMaximizedSystemMenu(HMENU menu) {
    const UINT enabled = MF_BYCOMMAND | MF_ENABLED;
    const UINT grayed = MF_BYCOMMAND | MF_GRAYED;
    ::EnableMenuItem(menu, SC_RESTORE, enabled);
    ::EnableMenuItem(menu, SC_MINIMIZE, enabled);
    ::EnableMenuItem(menu, SC_MOVE, grayed);
    ::EnableMenuItem(menu, SC_SIZE, grayed);
    ::EnableMenuItem(menu, SC_MAXIMIZE, grayed);
    ::SetMenuDefaultItem(menu, SC_CLOSE, FALSE);
}

}  // namespace

CMDICommandBarCtrl::~CMDICommandBarCtrl() { Unhook(); }

bool CMDICommandBarCtrl::SetMDIClient(HWND client) {
    Unhook();
    if (!client) return true;
    if (!::IsWindow(client) || !AddSubclass(client, &ClientProc, reinterpret_cast<UINT_PTR>(this),
                                            reinterpret_cast<DWORD_PTR>(this)))
        return false;
    m_client = client;
    UpdateMaximizedChild();
    return true;
}

void CMDICommandBarCtrl::Unhook() {
    if (m_client && ::IsWindow(m_client)) {
        ::EnumChildWindows(m_client, &UnhookChild, reinterpret_cast<LPARAM>(this));
        RemoveSubclass(m_client, &ClientProc, reinterpret_cast<UINT_PTR>(this));
    }
    m_client = nullptr;
    m_clientMenu = nullptr;
    if (m_maxChild && m_hWnd) SetIndent(0);
    m_maxChild = nullptr;
}

BOOL CALLBACK CMDICommandBarCtrl::UnhookChild(HWND hwnd, LPARAM self) {
    RemoveSubclass(hwnd, &ChildProc, static_cast<UINT_PTR>(self));
    return TRUE;
}

void CMDICommandBarCtrl::HookChild(HWND child) {
    // Setting the same subclass again only refreshes its data.
    AddSubclass(child, &ChildProc, reinterpret_cast<UINT_PTR>(this),
                reinterpret_cast<DWORD_PTR>(this));
}

// Nothing may leave a window procedure: a failure in the bar's part leaves the
// message to the client's own processing.
LRESULT CALLBACK CMDICommandBarCtrl::ClientProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR, DWORD_PTR self) {
    try {
        return reinterpret_cast<CMDICommandBarCtrl*>(self)->OnClientMessage(hwnd, msg, wParam,
                                                                            lParam);
    } catch (...) {
        return CallNextSubclass(hwnd, msg, wParam, lParam);
    }
}

LRESULT CMDICommandBarCtrl::OnClientMessage(HWND client, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_MDISETMENU:
        return OnSetMenu(client, reinterpret_cast<HMENU>(wParam), reinterpret_cast<HMENU>(lParam));
    case WM_MDIREFRESHMENU: {
        const LRESULT result = CallNextSubclass(client, msg, wParam, lParam);
        // Some systems put the frame menu back on the frame while refreshing.
        HWND frame = ::GetParent(client);
        if (m_clientMenu && ::GetMenu(frame) == m_clientMenu) ::SetMenu(frame, nullptr);
        return result;
    }
    case WM_NCDESTROY: {
        const LRESULT result = CallNextSubclass(client, msg, wParam, lParam);
        Unhook();
        return result;
    }
    case WM_MDIACTIVATE:
    case WM_MDIDESTROY:
    case WM_MDIMAXIMIZE:
    case WM_MDIRESTORE:
    case WM_MDINEXT:
    case WM_MDICREATE: {
        const LRESULT result = CallNextSubclass(client, msg, wParam, lParam);
        UpdateMaximizedChild();
        if (m_hWnd) PostMessage(kRefreshMessage);
        return result;
    }
    default: return CallNextSubclass(client, msg, wParam, lParam);
    }
}

// The client gets only the window menu: given the frame menu as well, it would
// make it the frame's menu bar again and add the maximised child's buttons to it.
LRESULT CMDICommandBarCtrl::OnSetMenu(HWND client, HMENU frameMenu, HMENU windowMenu) {
    if ((frameMenu && !::IsMenu(frameMenu)) || (windowMenu && !::IsMenu(windowMenu))) return 0;
    CallNextSubclass(client, WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(windowMenu));
    HMENU previous = GetMenu();
    if (frameMenu && frameMenu != previous) AttachMenu(frameMenu);
    if (frameMenu) m_clientMenu = frameMenu;
    UpdateMaximizedChild();
    if (m_hWnd) PostMessage(kRefreshMessage);
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT CALLBACK CMDICommandBarCtrl::ChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                               UINT_PTR id, DWORD_PTR self) {
    auto* bar = reinterpret_cast<CMDICommandBarCtrl*>(self);
    if (msg == WM_NCDESTROY) {
        RemoveSubclass(hwnd, &ChildProc, id);
        if (bar->m_maxChild == hwnd) {
            bar->m_maxChild = nullptr;
            bar->SetIndent(0);
        }
        if (bar->m_hWnd) bar->PostMessage(kRefreshMessage);
        return CallNextSubclass(hwnd, msg, wParam, lParam);
    }
    const LRESULT result = CallNextSubclass(hwnd, msg, wParam, lParam);
    if (msg == WM_SIZE || msg == WM_MDIACTIVATE || msg == WM_SETICON)
        bar->UpdateMaximizedChild();  // throws nothing: handles and messages only
    if (msg == WM_SETICON && hwnd == bar->m_maxChild && bar->m_hWnd)
        bar->Invalidate();  // the icon drawn before the buttons
    return result;
}

void CMDICommandBarCtrl::UpdateMaximizedChild() {
    HWND active = nullptr;
    if (m_client && ::IsWindow(m_client))
        active = reinterpret_cast<HWND>(::SendMessageW(m_client, WM_MDIGETACTIVE, 0, 0));
    if (active) HookChild(active);
    HWND shown = active && ::IsZoomed(active) ? active : nullptr;
    if (!m_hWnd) return;
    if (shown != m_maxChild) {
        m_maxChild = shown;
        m_pressed = Part::None;
        SetIndent(shown ? ::GetSystemMetrics(SM_CXSMICON) + 2 * kDecorationMargin : 0);
    }
    // Nothing drawn changes otherwise; under wine every invalidation is a trip to
    // the window server, and an activation asks here a dozen times.
}

// Room for the icon before the first button.
void CMDICommandBarCtrl::SetIndent(int indent) {
    SendMessage(TB_SETINDENT, static_cast<WPARAM>(indent));
    // Some toolbars keep their old layout after TB_SETINDENT; setting the font
    // again makes every toolbar lay its buttons out anew.
    SetFont(GetFont(), FALSE);
    Invalidate();
}

LRESULT CMDICommandBarCtrl::OnRefresh(CMessage& /*m*/) {
    UpdateMaximizedChild();
    return 0;
}

bool CMDICommandBarCtrl::ProcessWindowMessage(CMessage& m) {
    using Map = MessageMap<CMDICommandBarCtrl>;
    static const Map::Entry map[] = {
        Map::Message(WM_PAINT, &CMDICommandBarCtrl::OnPaint),
        Map::Message(WM_LBUTTONDOWN, &CMDICommandBarCtrl::OnButtonDown),
        Map::Message(WM_LBUTTONDBLCLK, &CMDICommandBarCtrl::OnButtonDown),
        Map::Message(WM_MOUSEMOVE, &CMDICommandBarCtrl::OnMouseMove),
        Map::Message(WM_LBUTTONUP, &CMDICommandBarCtrl::OnButtonUp),
        Map::Message(WM_CAPTURECHANGED, &CMDICommandBarCtrl::OnCaptureChanged),
        Map::Message(kRefreshMessage, &CMDICommandBarCtrl::OnRefresh),
        Map::Message(WM_DESTROY, &CMDICommandBarCtrl::OnDestroy),
    };
    return Map::Route(*this, map, m) || CCommandBarCtrl::ProcessWindowMessage(m);
}

LRESULT CMDICommandBarCtrl::OnDestroy(CMessage& m) {
    Unhook();
    m.handled = false;  // the plain bar has its own clean-up
    return 0;
}

// ---- The maximised window's decoration ----------------------------------------------

RECT CMDICommandBarCtrl::PartRect(Part part) const {
    RECT client{};
    if (!m_maxChild || !m_hWnd || !GetClientRect(&client)) return RECT{};
    const int height = client.bottom - client.top;
    if (part == Part::Icon)
        return RECT{0, 0, ::GetSystemMetrics(SM_CXSMICON) + 2 * kDecorationMargin, height};
    const int side = height > 2 * kDecorationMargin + 8 ? height - 2 * kDecorationMargin : 8;
    const int width = side + 2;
    const int top = (height - side) / 2;
    // From the right: close, a gap, then restore and minimise side by side.
    int right = client.right - kDecorationMargin;
    if (part != Part::Close) {
        right -= width + kDecorationMargin;
        if (part == Part::Minimize)
            right -= width;
        else if (part != Part::Restore)
            return RECT{};
    }
    return RECT{right - width, top, right, top + side};
}

CMDICommandBarCtrl::Part CMDICommandBarCtrl::HitTestPart(POINT client) const {
    for (Part part : {Part::Icon, Part::Minimize, Part::Restore, Part::Close}) {
        const RECT rect = PartRect(part);
        if (::PtInRect(&rect, client)) return part;
    }
    return Part::None;
}

LRESULT CMDICommandBarCtrl::OnPaint(CMessage& m) {
    if (!m_maxChild || m.wParam) {
        m.handled = false;
        return 0;
    }
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);  // the buttons first
    PaintDecoration(dc);
    ::EndPaint(m_hWnd, &paint);
    return 0;
}

void CMDICommandBarCtrl::PaintDecoration(HDC dc) const {
    const RECT iconArea = PartRect(Part::Icon);
    const int iconSide = ::GetSystemMetrics(SM_CXSMICON);
    ::DrawIconEx(dc, iconArea.left + kDecorationMargin,
                 iconArea.top + (iconArea.bottom - iconSide) / 2, SmallIconOf(m_maxChild), iconSide,
                 iconSide, 0, nullptr, DI_NORMAL);
    for (Part part : {Part::Minimize, Part::Restore, Part::Close}) {
        RECT rect = PartRect(part);
        const bool pushed = m_pressed == part && m_pressedInside;
        ::DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
        if (pushed) ::OffsetRect(&rect, 1, 1);
        DrawGlyph(dc, part, rect);
    }
}

LRESULT CMDICommandBarCtrl::OnButtonDown(CMessage& m) {
    const POINT point{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
    const Part part = HitTestPart(point);
    if (part == Part::None) {
        m.handled = false;  // a menu button, or nothing
        return 0;
    }
    if (part == Part::Icon) {
        // A double click on the icon closes the window, as on its own caption.
        if (m.message == WM_LBUTTONDBLCLK)
            ::PostMessageW(m_maxChild, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            OpenSystemMenu(false);
        return 0;
    }
    m_pressed = part;
    m_pressedInside = true;
    ::SetCapture(m_hWnd);
    const RECT rect = PartRect(part);
    ::InvalidateRect(m_hWnd, &rect, FALSE);
    return 0;
}

LRESULT CMDICommandBarCtrl::OnMouseMove(CMessage& m) {
    if (m_pressed == Part::None) {
        m.handled = false;
        return 0;
    }
    const POINT point{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
    const RECT rect = PartRect(m_pressed);
    const bool inside = ::PtInRect(&rect, point) != FALSE;
    if (inside != m_pressedInside) {
        m_pressedInside = inside;
        ::InvalidateRect(m_hWnd, &rect, FALSE);
    }
    return 0;
}

LRESULT CMDICommandBarCtrl::OnButtonUp(CMessage& m) {
    if (m_pressed == Part::None) {
        m.handled = false;
        return 0;
    }
    const POINT point{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
    const Part part = m_pressed;
    const RECT rect = PartRect(part);
    m_pressed = Part::None;
    ::ReleaseCapture();
    ::InvalidateRect(m_hWnd, &rect, FALSE);
    if (::PtInRect(&rect, point)) RunPartCommand(part);
    return 0;
}

LRESULT CMDICommandBarCtrl::OnCaptureChanged(CMessage& m) {
    if (m_pressed != Part::None && reinterpret_cast<HWND>(m.lParam) != m_hWnd) {
        const RECT rect = PartRect(m_pressed);
        m_pressed = Part::None;
        ::InvalidateRect(m_hWnd, &rect, FALSE);
    }
    m.handled = false;
    return 0;
}

void CMDICommandBarCtrl::RunPartCommand(Part part) const {
    HWND child = m_maxChild;
    if (!child) return;
    const WPARAM command = part == Part::Minimize  ? SC_MINIMIZE
                           : part == Part::Restore ? SC_RESTORE
                                                   : SC_CLOSE;
    ::SendMessageW(child, WM_SYSCOMMAND, command, 0);
}

void CMDICommandBarCtrl::OpenSystemMenu(bool byKeyboard) {
    HWND child = m_maxChild;
    HMENU menu = child ? ::GetSystemMenu(child, FALSE) : nullptr;
    if (!menu) return;
    PrepareMaximizedSystemMenu(menu);
    const UINT command = TrackMenu(menu, PartRect(Part::Icon), byKeyboard);
    if (command && ::IsWindow(child))
        ::PostMessageW(child, WM_SYSCOMMAND, command, 0);
    else if (!command)
        OpenPendingPopup();
}

bool CMDICommandBarCtrl::OnUnmatchedMnemonic(wchar_t character) {
    // Alt+Minus is the document window's system menu.
    if (character != L'-' || !m_maxChild) return false;
    OpenSystemMenu(true);
    return true;
}

}  // namespace velk
