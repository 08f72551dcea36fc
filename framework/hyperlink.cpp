#include "hyperlink.h"

#include <shellapi.h>
#include <windowsx.h>

namespace velk {

namespace {

constexpr UINT_PTR kToolId = 1;
// The key and values where the user's browser keeps its link colours.
const wchar_t kBrowserSettingsKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";
const wchar_t kLinkColourValue[] = L"Anchor Color";
const wchar_t kVisitedColourValue[] = L"Anchor Color Visited";

const wchar_t* SkipBlanks(const wchar_t* text) {
    while (*text == L' ' || *text == L'\t') ++text;
    return text;
}

// One colour component: up to three digits, 0 to 255, blanks around it allowed.
const wchar_t* ParseComponent(const wchar_t* text, int* value) {
    text = SkipBlanks(text);
    int number = 0;
    int digits = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        if (++digits > 3) return nullptr;
        number = number * 10 + (*text - L'0');
    }
    if (digits == 0 || number > 255) return nullptr;
    *value = number;
    return SkipBlanks(text);
}

TTTOOLINFOW ToolInfo(HWND owner) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the control
    tool.hwnd = owner;
    tool.uId = kToolId;
    return tool;
}

}  // namespace

bool CHyperLinkBase::ParseColourText(const wchar_t* text, COLORREF* colour) {
    if (!text || !colour) return false;
    int parts[3] = {};
    for (int i = 0; i < 3; ++i) {
        text = ParseComponent(text, &parts[i]);
        if (!text) return false;
        const wchar_t expected = i < 2 ? L',' : L'\0';
        if (*text != expected) return false;
        if (i < 2) ++text;
    }
    *colour = RGB(parts[0], parts[1], parts[2]);
    return true;
}

CHyperLinkBase::~CHyperLinkBase() {
    if (m_toolTip && ::IsWindow(m_toolTip)) ::DestroyWindow(m_toolTip);
    ReleaseFonts();
}

// ---- Label, link and measurement ---------------------------------------------------

bool CHyperLinkBase::SetLabel(const wchar_t* label) {
    m_label = label ? label : L"";
    if (!LinkWindow()) return true;
    CalcLabelRect();
    ::InvalidateRect(LinkWindow(), nullptr, TRUE);
    return true;
}

bool CHyperLinkBase::SetHyperLink(const wchar_t* link) {
    m_link = link ? link : L"";
    if (m_toolTip) {
        TTTOOLINFOW tool = ToolInfo(LinkWindow());
        tool.lpszText = const_cast<wchar_t*>(m_link.c_str());
        ::SendMessageW(m_toolTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return true;
}

bool CHyperLinkBase::CalcLabelRect() {
    HWND window = LinkWindow();
    RECT client{};
    if (!window || !::GetClientRect(window, &client)) return false;
    HDC dc = ::GetDC(window);
    if (!dc) return false;
    HGDIOBJ previous =
        ::SelectObject(dc, m_linkFont ? m_linkFont : ::GetStockObject(DEFAULT_GUI_FONT));
    // Measured within the window's width, so a label wider than that wraps; a
    // window without width yet measures the label on one line.
    RECT extent{0, 0, client.right, 0};
    UINT format = DT_LEFT | DT_NOPREFIX | DT_CALCRECT;
    format |= client.right > 0 ? DT_WORDBREAK : DT_SINGLELINE;
    ::DrawTextW(dc, m_label.c_str(), static_cast<int>(m_label.size()), &extent, format);
    ::SelectObject(dc, previous);
    ::ReleaseDC(window, dc);
    m_linkRect = extent;
    UpdateToolTipRect();
    return true;
}

bool CHyperLinkBase::GetIdealSize(SIZE* size) const {
    if (!size || !LinkWindow()) return false;
    size->cx = m_linkRect.right - m_linkRect.left;
    size->cy = m_linkRect.bottom - m_linkRect.top;
    return true;
}

void CHyperLinkBase::SetLinkStyle(DWORD style) {
    m_style = style;
    if (LinkWindow()) ::InvalidateRect(LinkWindow(), nullptr, TRUE);
}

void CHyperLinkBase::SetLinkColours(COLORREF link, COLORREF visited) {
    m_linkColour = link;
    m_visitedColour = visited;
    if (LinkWindow()) ::InvalidateRect(LinkWindow(), nullptr, TRUE);
}

void CHyperLinkBase::SetVisited(bool visited) {
    m_visited = visited;
    if (LinkWindow()) ::InvalidateRect(LinkWindow(), nullptr, TRUE);
}

bool CHyperLinkBase::OpenLink() {
    if (m_link.empty()) return false;
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(LinkWindow(), L"open", m_link.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32)  // ShellExecute's errors are the values up to 32
        return false;
    SetVisited(true);
    return true;
}

// ---- Fonts, colours and tooltip ------------------------------------------------------

void CHyperLinkBase::ReadBrowserColours() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kBrowserSettingsKey, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return;
    const struct {
        const wchar_t* name;
        COLORREF* colour;
    } values[] = {{kLinkColourValue, &m_linkColour}, {kVisitedColourValue, &m_visitedColour}};
    for (const auto& value : values) {
        // Room for "255,255,255" and blanks; one character always stays the terminator.
        wchar_t text[32] = {};
        DWORD type = 0;
        DWORD bytes = sizeof(text) - sizeof(text[0]);
        if (::RegQueryValueExW(key, value.name, nullptr, &type, reinterpret_cast<BYTE*>(text),
                               &bytes) == ERROR_SUCCESS &&
            type == REG_SZ)
            ParseColourText(text, value.colour);
    }
    ::RegCloseKey(key);
}

void CHyperLinkBase::UseFont(HFONT normal, bool owned) {
    ReleaseFonts();
    m_normalFont = normal;
    m_ownFont = owned;
    LOGFONTW description{};
    if (normal && ::GetObjectW(normal, sizeof(description), &description)) {
        description.lfUnderline = TRUE;
        m_linkFont = ::CreateFontIndirectW(&description);
    }
}

void CHyperLinkBase::ReleaseFonts() {
    if (m_linkFont) ::DeleteObject(m_linkFont);
    if (m_ownFont && m_normalFont) ::DeleteObject(m_normalFont);
    m_linkFont = nullptr;
    m_normalFont = nullptr;
    m_ownFont = false;
}

void CHyperLinkBase::CreateToolTip() {
    HWND window = LinkWindow();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    m_toolTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                                  GetAppModule().GetModuleInstance(), nullptr);
    if (!m_toolTip) return;
    TTTOOLINFOW tool = ToolInfo(window);
    tool.rect = m_linkRect;
    tool.lpszText = const_cast<wchar_t*>(m_link.c_str());
    ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CHyperLinkBase::UpdateToolTipRect() const {
    if (!m_toolTip) return;
    TTTOOLINFOW tool = ToolInfo(LinkWindow());
    tool.rect = m_linkRect;
    ::SendMessageW(m_toolTip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CHyperLinkBase::RelayToToolTip(const CMessage& m) const {
    if (!m_toolTip) return;
    MSG msg{m.hwnd, m.message, m.wParam, m.lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    ::GetCursorPos(&msg.pt);
    ::SendMessageW(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

// ---- Messages --------------------------------------------------------------------------

bool CHyperLinkBase::HandleMessage(CMessage& m) {
    using Map = MessageMap<CHyperLinkBase>;
    static const Map::Entry map[] = {
        Map::Message(WM_CREATE, &CHyperLinkBase::OnCreate),
        Map::Message(WM_DESTROY, &CHyperLinkBase::OnDestroy),
        Map::Message(WM_PAINT, &CHyperLinkBase::OnPaint),
        Map::Message(WM_PRINTCLIENT, &CHyperLinkBase::OnPaint),
        Map::Message(WM_SETFOCUS, &CHyperLinkBase::OnFocusChange),
        Map::Message(WM_KILLFOCUS, &CHyperLinkBase::OnFocusChange),
        Map::Message(WM_MOUSEMOVE, &CHyperLinkBase::OnMouseMove),
        Map::Message(WM_MOUSELEAVE, &CHyperLinkBase::OnMouseLeave),
        Map::Message(WM_LBUTTONDOWN, &CHyperLinkBase::OnButtonDown),
        Map::Message(WM_LBUTTONDBLCLK, &CHyperLinkBase::OnButtonDown),
        Map::Message(WM_LBUTTONUP, &CHyperLinkBase::OnButtonUp),
        Map::Message(WM_CHAR, &CHyperLinkBase::OnChar),
        Map::Message(WM_GETDLGCODE, &CHyperLinkBase::OnGetDlgCode),
        Map::Message(WM_SETCURSOR, &CHyperLinkBase::OnSetCursor),
        Map::Message(WM_SETFONT, &CHyperLinkBase::OnSetFont),
        Map::Message(WM_GETFONT, &CHyperLinkBase::OnGetFont),
    };
    return Map::Route(*this, map, m);
}

LRESULT CHyperLinkBase::OnCreate(CMessage& m) {
    HWND window = LinkWindow();
    // The parent's font, underlined; the system's font for controls when it has none.
    auto parentFont =
        reinterpret_cast<HFONT>(::SendMessageW(::GetParent(window), WM_GETFONT, 0, 0));
    UseFont(parentFont ? parentFont : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)),
            false);
    m_handCursor = ::LoadCursorW(nullptr, IDC_HAND);
    ReadBrowserColours();
    if (m_label.empty()) {
        const int length = ::GetWindowTextLengthW(window);
        if (length > 0) {
            std::wstring title(static_cast<size_t>(length) + 1, L'\0');
            title.resize(static_cast<size_t>(::GetWindowTextW(window, &title[0], length + 1)));
            m_label = title;
        }
    }
    CalcLabelRect();
    if (!(m_style & kHyperLinkNoTooltip)) CreateToolTip();
    m.handled = false;  // the default creation goes on
    return 0;
}

LRESULT CHyperLinkBase::OnDestroy(CMessage& m) {
    if (m_toolTip && ::IsWindow(m_toolTip)) ::DestroyWindow(m_toolTip);
    m_toolTip = nullptr;
    ReleaseFonts();
    m.handled = false;
    return 0;
}

void CHyperLinkBase::DrawLabel(HDC dc) const {
    HWND window = LinkWindow();
    const bool underline =
        !(m_style & kHyperLinkNoUnderline) && (!(m_style & kHyperLinkUnderlineHover) || m_hover);
    HFONT font = underline && m_linkFont ? m_linkFont : m_normalFont;
    HGDIOBJ previous = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    const COLORREF colour = !::IsWindowEnabled(window) ? ::GetSysColor(COLOR_GRAYTEXT)
                            : m_visited                ? m_visitedColour
                                                       : m_linkColour;
    ::SetTextColor(dc, colour);
    RECT rect = m_linkRect;
    ::DrawTextW(dc, m_label.c_str(), static_cast<int>(m_label.size()), &rect,
                DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
    if (::GetFocus() == window) ::DrawFocusRect(dc, &m_linkRect);
    ::SelectObject(dc, previous);
}

LRESULT CHyperLinkBase::OnPaint(CMessage& m) {
    HWND window = LinkWindow();
    if (m.message == WM_PRINTCLIENT) {
        if (m_paintLabel) DrawLabel(reinterpret_cast<HDC>(m.wParam));
        return 0;
    }
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    if (dc && m_paintLabel) DrawLabel(dc);
    ::EndPaint(window, &paint);
    return 0;
}

LRESULT CHyperLinkBase::OnFocusChange(CMessage& m) {
    ::InvalidateRect(LinkWindow(), &m_linkRect, TRUE);
    m.handled = false;
    return 0;
}

void CHyperLinkBase::SetHover(bool hover) {
    if (hover == m_hover) return;
    m_hover = hover;
    if (hover) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, LinkWindow(), 0};
        ::TrackMouseEvent(&track);
    }
    if (m_style & kHyperLinkUnderlineHover) ::InvalidateRect(LinkWindow(), &m_linkRect, TRUE);
}

LRESULT CHyperLinkBase::OnMouseMove(CMessage& m) {
    RelayToToolTip(m);
    SetHover(IsOverLink(POINT{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)}));
    return 0;
}

LRESULT CHyperLinkBase::OnMouseLeave(CMessage& /*m*/) {
    SetHover(false);
    return 0;
}

// A press inside the label takes the focus and the mouse; only a release that
// still holds the mouse, inside the label, activates.
LRESULT CHyperLinkBase::OnButtonDown(CMessage& m) {
    RelayToToolTip(m);
    if (!IsOverLink(POINT{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)})) return 0;
    ::SetFocus(LinkWindow());
    ::SetCapture(LinkWindow());
    return 0;
}

LRESULT CHyperLinkBase::OnButtonUp(CMessage& m) {
    RelayToToolTip(m);
    if (::GetCapture() != LinkWindow()) return 0;
    ::ReleaseCapture();
    if (IsOverLink(POINT{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)})) Activate();
    return 0;
}

LRESULT CHyperLinkBase::OnChar(CMessage& m) {
    if (m.wParam == VK_RETURN || m.wParam == VK_SPACE) {
        Activate();
        return 0;
    }
    m.handled = false;
    return 0;
}

LRESULT CHyperLinkBase::OnGetDlgCode(CMessage& /*m*/) { return DLGC_WANTCHARS; }

LRESULT CHyperLinkBase::OnSetCursor(CMessage& m) {
    if (LOWORD(m.lParam) != HTCLIENT) {
        m.handled = false;
        return 0;
    }
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(LinkWindow(), &cursor);
    if (!m_handCursor || !IsOverLink(cursor)) {
        m.handled = false;  // the class cursor
        return 0;
    }
    ::SetCursor(m_handCursor);
    return TRUE;
}

LRESULT CHyperLinkBase::OnSetFont(CMessage& m) {
    auto font = reinterpret_cast<HFONT>(m.wParam);
    UseFont(font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)), false);
    CalcLabelRect();
    if (LOWORD(m.lParam)) ::InvalidateRect(LinkWindow(), nullptr, TRUE);
    return 0;
}

LRESULT CHyperLinkBase::OnGetFont(CMessage& /*m*/) {
    return reinterpret_cast<LRESULT>(m_normalFont);
}

}  // namespace velk
