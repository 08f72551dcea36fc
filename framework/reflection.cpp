#include "reflection.h"

namespace velk {

namespace {

// WM_DRAWITEM, WM_COMPAREITEM and WM_DELETEITEM carry the control's handle;
// WM_MEASUREITEM only its identifier, because the control may not exist yet.
HWND OwnerDrawControl(const CMessage& m) {
    if (m.wParam == 0) return nullptr;  // a menu
    switch (m.message) {
    case WM_DRAWITEM: return reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam)->hwndItem;
    case WM_COMPAREITEM: return reinterpret_cast<const COMPAREITEMSTRUCT*>(m.lParam)->hwndItem;
    case WM_DELETEITEM: return reinterpret_cast<const DELETEITEMSTRUCT*>(m.lParam)->hwndItem;
    case WM_MEASUREITEM:
        return ::GetDlgItem(
            m.hwnd, static_cast<int>(reinterpret_cast<const MEASUREITEMSTRUCT*>(m.lParam)->CtlID));
    default: return nullptr;
    }
}

HWND NamedControl(const CMessage& m) {
    switch (m.message) {
    case WM_COMMAND:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return reinterpret_cast<HWND>(m.lParam);
    case WM_NOTIFY: return m.lParam ? reinterpret_cast<const NMHDR*>(m.lParam)->hwndFrom : nullptr;
    case WM_PARENTNOTIFY: {
        const WORD event = LOWORD(m.wParam);
        return event == WM_CREATE || event == WM_DESTROY ? reinterpret_cast<HWND>(m.lParam)
                                                         : nullptr;
    }
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM: return m.lParam ? OwnerDrawControl(m) : nullptr;
    default: return nullptr;
    }
}

bool IsColorMessage(UINT message) {
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

}  // namespace

HWND ReflectionTarget(const CMessage& m) {
    HWND control = NamedControl(m);
    // Only the window's own controls: a handle in a message is not trusted to name
    // a window that expects reflected messages.
    if (!control || !::IsWindow(control) || !::IsChild(m.hwnd, control)) return nullptr;
    return control;
}

bool ReflectNotifications(CMessage& m) {
    HWND control = ReflectionTarget(m);
    if (!control) return false;
    const LRESULT answer = ::SendMessageW(control, OCM__BASE + m.message, m.wParam, m.lParam);
    if (IsColorMessage(m.message) && answer == 0) return false;
    m.result = answer;
    return true;
}

}  // namespace velk
