#include "command_bar.h"

#include <windowsx.h>

#include <string>

namespace velk {

namespace {

// The bar whose popup is open on this thread. A message hook carries no data of
// its own, and only one menu can be tracked per thread at a time.
thread_local CCommandBarCtrl* t_trackingBar = nullptr;

// CharUpperW converts a single character passed in the low word of the pointer.
wchar_t UpperCase(wchar_t character) {
    return static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(
        ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(character)))));
}

// The character after the first single '&' of a menu text, upper-cased; 0 if none.
wchar_t MnemonicOf(const std::wstring& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&') continue;
        if (text[i + 1] != L'&') return UpperCase(text[i + 1]);
        ++i;  // "&&" is a literal ampersand
    }
    return 0;
}

// Empty for an item without text, and when there is no memory for it (the bar
// then shows an empty button rather than letting the failure out of a message).
std::wstring MenuItemText(HMENU menu, int index) noexcept try {
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STRING;
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(index), TRUE, &item) || item.cch == 0)
        return std::wstring();
    std::wstring text(item.cch + 1, L'\0');
    item.dwTypeData = &text[0];
    item.cch = static_cast<UINT>(text.size());
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(index), TRUE, &item)) return std::wstring();
    text.resize(item.cch);
    return text;
} catch (...) {
    return std::wstring();
}

bool IsKeyDown(int key) { return ::GetKeyState(key) < 0; }

constexpr int kImageMargin = 2;

}  // namespace

CWindowClassInfo& CCommandBarCtrl::GetWndClassInfo() {
    static CWindowClassInfo info = CWindowClassInfo::Superclass(TOOLBARCLASSNAMEW);
    return info;
}

CCommandBarCtrl::~CCommandBarCtrl() {
    // Destroyed here, while this class's handlers can still run and unregister.
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    if (CMessageLoop* loop = GetAppModule().GetMessageLoop()) loop->RemoveMessageFilter(this);
    if (m_font) ::DeleteObject(m_font);
}

HWND CCommandBarCtrl::Create(HWND parent, const RECT* rect, const wchar_t* title, DWORD style,
                             DWORD exStyle, UINT id) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    return CWindowImpl::Create(parent, rect, title, style | TBSTYLE_FLAT | TBSTYLE_LIST, exStyle,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

bool CCommandBarCtrl::ProcessWindowMessage(CMessage& m) {
    using Map = MessageMap<CCommandBarCtrl>;
    static const Map::Entry map[] = {
        Map::Message(WM_CREATE, &CCommandBarCtrl::OnCreate),
        Map::Message(WM_DESTROY, &CCommandBarCtrl::OnDestroy),
        Map::Message(WM_LBUTTONDOWN, &CCommandBarCtrl::OnLButtonDown),
        Map::Message(WM_LBUTTONDBLCLK, &CCommandBarCtrl::OnLButtonDown),
        Map::Message(WM_MOUSEMOVE, &CCommandBarCtrl::OnMouseMove),
        Map::Message(WM_MENUSELECT, &CCommandBarCtrl::OnMenuSelect),
        Map::Message(WM_MEASUREITEM, &CCommandBarCtrl::OnMeasureItem),
        Map::Message(WM_DRAWITEM, &CCommandBarCtrl::OnDrawItem),
        Map::Message(WM_INITMENU, &CCommandBarCtrl::ForwardToOwner),
        Map::Message(WM_INITMENUPOPUP, &CCommandBarCtrl::ForwardToOwner),
        Map::Message(WM_UNINITMENUPOPUP, &CCommandBarCtrl::ForwardToOwner),
        Map::Message(WM_ENTERMENULOOP, &CCommandBarCtrl::ForwardToOwner),
        Map::Message(WM_EXITMENULOOP, &CCommandBarCtrl::ForwardToOwner),
        Map::Message(WM_ENTERIDLE, &CCommandBarCtrl::ForwardToOwner),
        Map::Message(WM_MENUCHAR, &CCommandBarCtrl::ForwardToOwner),
    };
    return Map::Route(*this, map, m) || CWindowImpl::ProcessWindowMessage(m);
}

LRESULT CCommandBarCtrl::OnCreate(CMessage& /*m*/) {
    const LRESULT created = DefWindowProc();  // the toolbar's own creation first
    if (created == -1) return -1;
    m_owner = ::GetParent(m_hWnd);
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    // Text-only buttons: no room kept for an image beside the text.
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    // Mnemonics are always underlined, as on a classic menu bar.
    SendMessage(TB_SETDRAWTEXTFLAGS, DT_HIDEPREFIX, 0);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        if (m_font) ::DeleteObject(m_font);
        m_font = ::CreateFontIndirectW(&metrics.lfMenuFont);
        if (m_font) SetFont(m_font, FALSE);
    }
    if (CMessageLoop* loop = GetAppModule().GetMessageLoop()) loop->AddMessageFilter(this);
    return created;
}

LRESULT CCommandBarCtrl::OnDestroy(CMessage& m) {
    if (CMessageLoop* loop = GetAppModule().GetMessageLoop()) loop->RemoveMessageFilter(this);
    m_keyboardMode = false;
    m.handled = false;
    return 0;
}

// ---- Buttons from the menu -------------------------------------------------------

bool CCommandBarCtrl::AttachMenu(HMENU menu) {
    if (!m_hWnd || (menu && !::IsMenu(menu))) return false;
    LeaveKeyboardMode();
    SetRedraw(FALSE);
    RemoveButtons();
    m_menu = menu;
    const int count = menu ? ::GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_STATE;
        ::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item);
        const std::wstring text = MenuItemText(menu, i);
        TBBUTTON button{};
        button.iBitmap = I_IMAGENONE;
        button.idCommand = i + 1;  // buttons are known by position; 0 would mean none
        button.fsState = (item.fState & MFS_DISABLED) ? 0 : TBSTATE_ENABLED;
        button.fsStyle = (item.fType & MFT_SEPARATOR) ? BTNS_SEP : BTNS_BUTTON | BTNS_AUTOSIZE;
        button.iString = reinterpret_cast<INT_PTR>(text.c_str());  // the toolbar keeps a copy
        SendMessage(TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    }
    m_images.Apply(menu);
    SetRedraw(TRUE);
    Invalidate();
    return true;
}

void CCommandBarCtrl::RemoveButtons() {
    for (int count = ButtonCount(); count > 0; --count)
        SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(count - 1));
}

bool CCommandBarCtrl::LoadImages(UINT toolbarId) {
    const bool loaded = m_images.Load(GetAppModule().GetResourceInstance(), toolbarId);
    m_images.Apply(m_menu);
    return loaded;
}

int CCommandBarCtrl::ButtonCount() const {
    return m_hWnd ? static_cast<int>(SendMessage(TB_BUTTONCOUNT)) : 0;
}

bool CCommandBarCtrl::ButtonRect(int index, RECT* rect) const {
    return SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(rect)) != 0;
}

int CCommandBarCtrl::HitTestButton(POINT client) const {
    const int index =
        static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&client)));
    return index >= 0 && index < ButtonCount() ? index : -1;
}

int CCommandBarCtrl::GetHotItem() const {
    if (m_keyboardMode) return m_keyIndex;
    return m_hWnd ? static_cast<int>(SendMessage(TB_GETHOTITEM)) : -1;
}

bool CCommandBarCtrl::IsPopupButton(int index) const {
    return m_menu && index >= 0 && index < ButtonCount() && ::GetSubMenu(m_menu, index) &&
           SendMessage(TB_ISBUTTONENABLED, static_cast<WPARAM>(index + 1));
}

// The next enabled button from `from` in direction `step`, wrapping around; -1 if none.
int CCommandBarCtrl::NextPopupButton(int from, int step) const {
    const int count = ButtonCount();
    if (count == 0) return -1;
    int index = from < 0 ? (step > 0 ? -1 : count) : from;
    for (int tries = 0; tries < count; ++tries) {
        index = (index + step + count) % count;
        TBBUTTON button{};
        SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button));
        if (!(button.fsStyle & BTNS_SEP) && (button.fsState & TBSTATE_ENABLED)) return index;
    }
    return -1;
}

int CCommandBarCtrl::FindMnemonic(wchar_t character) const {
    const wchar_t wanted = UpperCase(character);
    const int count = m_menu ? ButtonCount() : 0;
    for (int i = 0; i < count; ++i) {
        if (MnemonicOf(MenuItemText(m_menu, i)) == wanted &&
            SendMessage(TB_ISBUTTONENABLED, static_cast<WPARAM>(i + 1)))
            return i;
    }
    return -1;
}

void CCommandBarCtrl::SendCommand(int index) const {
    const UINT command = m_menu ? ::GetMenuItemID(m_menu, index) : static_cast<UINT>(-1);
    if (command != static_cast<UINT>(-1) && m_owner)
        ::PostMessageW(m_owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

// ---- Opening popups --------------------------------------------------------------

LRESULT CCommandBarCtrl::OnLButtonDown(CMessage& m) {
    const POINT point{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
    const int index = HitTestButton(point);
    if (index < 0) {
        LeaveKeyboardMode();
        m.handled = false;
        return 0;
    }
    OpenPopup(index, false);
    return 0;
}

// The mouse moves the selection of the keyboard state along, as on a menu bar.
LRESULT CCommandBarCtrl::OnMouseMove(CMessage& m) {
    if (m_keyboardMode) {
        const int index = HitTestButton(POINT{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)});
        if (index >= 0) m_keyIndex = index;
    }
    m.handled = false;  // the toolbar's own hot tracking
    return 0;
}

bool CCommandBarCtrl::OpenPopup(int index, bool byKeyboard) {
    if (!m_hWnd || m_trackedMenu || index < 0 || index >= ButtonCount() ||
        !SendMessage(TB_ISBUTTONENABLED, static_cast<WPARAM>(index + 1)))
        return false;
    if (!::GetSubMenu(m_menu, index)) {
        LeaveKeyboardMode();
        SendCommand(index);
        return true;
    }
    RunPopups(index, byKeyboard);
    return true;
}

// Opens popups one after another while the user moves between them (hover, Left,
// Right); ends when one closes without naming the next.
void CCommandBarCtrl::RunPopups(int index, bool byKeyboard) {
    m_keyboardMode = false;
    HWND self = m_hWnd;
    int last = index;
    for (int next = index; next >= 0;) {
        HMENU popup = ::GetSubMenu(m_menu, next);
        RECT rect{};
        if (!popup || !ButtonRect(next, &rect)) break;
        m_openIndex = last = next;
        m_nextIndex = -1;
        m_escaped = false;
        SendMessage(TB_PRESSBUTTON, static_cast<WPARAM>(next + 1), TRUE);
        const UINT command = TrackMenu(popup, rect, byKeyboard);
        if (!::IsWindow(self)) return;  // the bar went away while its popup was open
        SendMessage(TB_PRESSBUTTON, static_cast<WPARAM>(next + 1), FALSE);
        if (command) {
            m_openIndex = -1;
            SetHotItem(-1);
            if (m_owner) ::PostMessageW(m_owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
            return;
        }
        next = m_nextIndex;
        byKeyboard = m_nextByKeyboard;
    }
    m_openIndex = -1;
    // Esc closes only the popup: the bar keeps its button selected, as a menu bar does.
    if (m_escaped)
        EnterKeyboardMode(last);
    else
        SetHotItem(-1);
}

UINT CCommandBarCtrl::TrackMenu(HMENU menu, const RECT& below, bool byKeyboard) {
    if (m_trackedMenu) return 0;
    RECT exclude = below;
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&exclude), 2);
    TPMPARAMS params{sizeof(params), exclude};
    m_trackedMenu = m_selectedMenu = menu;
    m_selectedOpensSubmenu = false;
    m_nextIndex = -1;
    CCommandBarCtrl* outer = t_trackingBar;
    t_trackingBar = this;
    m_hook = ::SetWindowsHookExW(WH_MSGFILTER, &MenuInputHook, nullptr, ::GetCurrentThreadId());
    // A popup opened by key starts with its first item selected, as the Down key would.
    if (byKeyboard) PostMessage(WM_KEYDOWN, VK_DOWN, 0);
    const UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL | TPM_LEFTBUTTON | TPM_RETURNCMD;
    const UINT command = static_cast<UINT>(
        ::TrackPopupMenuEx(menu, flags, exclude.left, exclude.bottom, m_hWnd, &params));
    if (m_hook) ::UnhookWindowsHookEx(m_hook);
    m_hook = nullptr;
    t_trackingBar = outer;
    m_trackedMenu = m_selectedMenu = nullptr;
    return command;
}

void CCommandBarCtrl::OpenPendingPopup() {
    const int index = m_nextIndex;
    m_nextIndex = -1;
    if (index >= 0 && !m_trackedMenu) RunPopups(index, m_nextByKeyboard);
}

LRESULT CALLBACK CCommandBarCtrl::MenuInputHook(int code, WPARAM wParam, LPARAM lParam) {
    CCommandBarCtrl* bar = t_trackingBar;
    try {
        if (code == MSGF_MENU && bar && lParam &&
            bar->OnMenuLoopInput(*reinterpret_cast<const MSG*>(lParam)))
            return 1;
    } catch (...) {
        // Nothing may leave a hook; the menu then handles the input itself.
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Input seen inside the menu's own loop; answers true to take it from the menu.
bool CCommandBarCtrl::OnMenuLoopInput(const MSG& msg) {
    if (msg.message == WM_KEYDOWN) return OnMenuLoopKey(msg.wParam);
    if (msg.message != WM_MOUSEMOVE && msg.message != WM_LBUTTONDOWN) return false;
    POINT point{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    if (msg.hwnd)
        ::MapWindowPoints(msg.hwnd, m_hWnd, &point, 1);
    else
        point = msg.pt, ScreenToClient(&point);
    const int index = HitTestButton(point);
    if (index < 0) return false;  // the menu decides (a click elsewhere closes it)
    if (msg.message == WM_MOUSEMOVE) {
        if (index != m_openIndex && IsPopupButton(index)) SwitchPopup(index, false);
        return false;
    }
    if (index == m_openIndex) {
        m_nextIndex = -1;  // a click on the open popup's own button closes it
        ::EndMenu();
        return true;
    }
    if (!IsPopupButton(index)) return false;
    SwitchPopup(index, false);
    return true;
}

bool CCommandBarCtrl::OnMenuLoopKey(WPARAM key) {
    const bool atFirstLevel = m_selectedMenu == m_trackedMenu;
    if (key == VK_LEFT && atFirstLevel) {
        SwitchPopup(NextPopupButton(m_openIndex, -1), true);
        return true;
    }
    // Right opens a highlighted submenu; anywhere else it moves to the next popup.
    if (key == VK_RIGHT && !m_selectedOpensSubmenu) {
        SwitchPopup(NextPopupButton(m_openIndex, +1), true);
        return true;
    }
    if (key == VK_ESCAPE && atFirstLevel) m_escaped = true;
    return false;
}

void CCommandBarCtrl::SwitchPopup(int index, bool byKeyboard) {
    if (index < 0 || index == m_openIndex || !IsPopupButton(index)) return;
    m_nextIndex = index;
    m_nextByKeyboard = byKeyboard;
    ::EndMenu();
}

LRESULT CCommandBarCtrl::OnMenuSelect(CMessage& m) {
    const UINT flags = HIWORD(m.wParam);
    HMENU menu = reinterpret_cast<HMENU>(m.lParam);
    const bool closing = flags == 0xFFFF && !menu;
    if (m_trackedMenu && !closing && menu) {
        m_selectedMenu = menu;
        m_selectedOpensSubmenu = (flags & MF_POPUP) != 0;
    }
    return ForwardToOwner(m);
}

LRESULT CCommandBarCtrl::ForwardToOwner(CMessage& m) {
    if (!m_owner || !::IsWindow(m_owner)) {
        m.handled = false;
        return 0;
    }
    return ::SendMessageW(m_owner, m.message, m.wParam, m.lParam);
}

LRESULT CCommandBarCtrl::OnMeasureItem(CMessage& m) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(m.lParam);
    if (!item || item->CtlType != ODT_MENU || !m_images.Has(item->itemID)) return ForwardToOwner(m);
    // A little room on either side keeps the image off the item's text.
    item->itemWidth = static_cast<UINT>(m_images.ImageSize().cx + 2 * kImageMargin);
    item->itemHeight = static_cast<UINT>(m_images.ImageSize().cy);
    return TRUE;
}

LRESULT CCommandBarCtrl::OnDrawItem(CMessage& m) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam);
    if (!item || item->CtlType != ODT_MENU || !m_images.Has(item->itemID)) return ForwardToOwner(m);
    const SIZE size = m_images.ImageSize();
    const RECT& area = item->rcItem;
    const int x = area.left + (area.right - area.left - size.cx) / 2;
    const int y = area.top + (area.bottom - area.top - size.cy) / 2;
    const bool disabled = (item->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    m_images.Draw(item->itemID, item->hDC, x < area.left ? area.left : x,
                  y < area.top ? area.top : y, disabled);
    return TRUE;
}

// ---- Keys from the thread's message loop -------------------------------------------

bool CCommandBarCtrl::IsForMyWindow(const MSG& msg) const {
    HWND root = ::GetAncestor(m_hWnd, GA_ROOT);
    return msg.hwnd && root && (msg.hwnd == root || ::IsChild(root, msg.hwnd));
}

BOOL CCommandBarCtrl::PreTranslateMessage(MSG* msg) {
    if (!msg || !m_hWnd || m_trackedMenu || !IsForMyWindow(*msg)) return FALSE;
    const WPARAM key = msg->wParam;
    switch (msg->message) {
    case WM_SYSKEYDOWN:
        if (key == VK_MENU) {
            if (!(msg->lParam & (1 << 30))) {  // a first press, not a repeat
                m_altAlone = true;
                m_altUpTaken = false;
            }
            return FALSE;
        }
        m_altAlone = false;
        if (key == VK_F10 && !IsKeyDown(VK_SHIFT) && !IsKeyDown(VK_CONTROL)) {
            m_f10Taken = true;
            if (m_keyboardMode)
                LeaveKeyboardMode();
            else
                EnterKeyboardMode(NextPopupButton(-1, +1));
            return TRUE;
        }
        return FALSE;
    case WM_SYSKEYUP:
        if (key == VK_MENU && m_altUpTaken) {
            m_altUpTaken = false;
            return TRUE;  // the frame's default would start its own (empty) menu mode
        }
        if (key == VK_MENU && m_altAlone) {
            m_altAlone = false;
            if (m_keyboardMode)
                LeaveKeyboardMode();
            else
                EnterKeyboardMode(NextPopupButton(-1, +1));
            return TRUE;  // the frame's default would start its own (empty) menu mode
        }
        if (key == VK_F10 && m_f10Taken) {
            m_f10Taken = false;
            return TRUE;  // its press was taken above
        }
        return FALSE;
    case WM_SYSCHAR:
        m_altAlone = false;
        if (!OnSysChar(static_cast<wchar_t>(key))) return FALSE;
        m_altUpTaken = true;
        return TRUE;
    case WM_KEYDOWN:
    case WM_CHAR:
        m_altAlone = false;
        return m_keyboardMode && OnKeyboardModeMessage(*msg) ? TRUE : FALSE;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        m_altAlone = false;
        if (msg->hwnd != m_hWnd) LeaveKeyboardMode();
        return FALSE;
    default: return FALSE;
    }
}

// While a button is selected by key, the bar takes every key as a menu bar does.
bool CCommandBarCtrl::OnKeyboardModeMessage(MSG& msg) {
    const int hot = m_keyIndex;
    if (msg.message == WM_CHAR) {
        const int index = FindMnemonic(static_cast<wchar_t>(msg.wParam));
        if (index >= 0) OpenPopup(index, true);
        return true;
    }
    switch (msg.wParam) {
    case VK_LEFT: EnterKeyboardMode(NextPopupButton(hot, -1)); return true;
    case VK_RIGHT: EnterKeyboardMode(NextPopupButton(hot, +1)); return true;
    case VK_RETURN:
    case VK_DOWN:
    case VK_UP: OpenPopup(hot, true); return true;
    case VK_ESCAPE: LeaveKeyboardMode(); return true;
    default:
        ::TranslateMessage(&msg);  // its character may be a mnemonic
        return true;
    }
}

bool CCommandBarCtrl::OnSysChar(wchar_t character) {
    const int index = FindMnemonic(character);
    if (index >= 0) return OpenPopup(index, true);
    return OnUnmatchedMnemonic(character);
}

void CCommandBarCtrl::EnterKeyboardMode(int index) {
    if (index < 0) return;
    m_keyboardMode = true;
    m_keyIndex = index;
    SetHotItem(index);
}

void CCommandBarCtrl::LeaveKeyboardMode() {
    if (!m_keyboardMode) return;
    m_keyboardMode = false;
    m_keyIndex = -1;
    SetHotItem(-1);
}

void CCommandBarCtrl::SetHotItem(int index) {
    if (m_hWnd) SendMessage(TB_SETHOTITEM, static_cast<WPARAM>(index));
}

}  // namespace velk
