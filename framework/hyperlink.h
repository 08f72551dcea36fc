#pragma once
// A text link control: it draws its label underlined in the link colour, shows a
// hand over the label and a tooltip with the link text, and activates on a click
// (the press and the release both inside the label) or on Enter or Space while it
// has the focus. Activation calls Navigate(), which opens the link text with the
// shell unless the derived class puts something else in its place.
//
//     class CMyLink : public CHyperLinkImpl<CMyLink> {
//     public:
//         bool Navigate() override { ...; return true; }
//     };
//
// Window class details (name, class styles, background, cursor) come from the
// derived class's GetWndClassInfo(), as for any CWindowImpl.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "window_impl.h"

namespace velk {

// Extended styles of a link; 0 is an underlined label with a tooltip.
enum HyperLinkStyle : DWORD {
    kHyperLinkNoUnderline = 0x01,
    kHyperLinkUnderlineHover = 0x02,  // underlined only while the mouse is over it
    kHyperLinkNoTooltip = 0x04,
};

// Everything of a link except its window class: the state, the painting and the
// handling of its messages.
class CHyperLinkBase {
public:
    static constexpr COLORREF kLinkColour = RGB(0, 0, 255);
    static constexpr COLORREF kVisitedColour = RGB(128, 0, 128);

    CHyperLinkBase() = default;
    CHyperLinkBase(const CHyperLinkBase&) = delete;
    CHyperLinkBase& operator=(const CHyperLinkBase&) = delete;

    // The words shown; the link rectangle follows them.
    bool SetLabel(const wchar_t* label);
    const std::wstring& GetLabel() const { return m_label; }
    // What the link opens, and what its tooltip shows.
    bool SetHyperLink(const wchar_t* link);
    const std::wstring& GetHyperLink() const { return m_link; }

    // The label's extent, measured within the window's width (a narrower label
    // wraps); valid once the window exists.
    bool GetIdealSize(SIZE* size) const;
    // Measures the label again (after the font or the window's width changed).
    bool CalcLabelRect();
    const RECT& GetLinkRect() const { return m_linkRect; }

    DWORD GetLinkStyle() const { return m_style; }
    void SetLinkStyle(DWORD style);
    COLORREF GetLinkColour() const { return m_linkColour; }
    COLORREF GetVisitedColour() const { return m_visitedColour; }
    void SetLinkColours(COLORREF link, COLORREF visited);
    HFONT GetLinkFont() const { return m_linkFont; }
    HFONT GetNormalFont() const { return m_normalFont; }
    HWND GetToolTip() const { return m_toolTip; }

    bool IsVisited() const { return m_visited; }
    void SetVisited(bool visited);
    bool IsHover() const { return m_hover; }
    bool PaintsLabel() const { return m_paintLabel; }
    void SetPaintLabel(bool paint) { m_paintLabel = paint; }
    bool OwnsFont() const { return m_ownFont; }

    // "r,g,b" with each number 0 to 255, as browsers keep their link colours.
    static bool ParseColourText(const wchar_t* text, COLORREF* colour);

protected:
    ~CHyperLinkBase();

    virtual HWND LinkWindow() const = 0;
    // The derived class's navigation; answers whether it succeeded.
    virtual bool Activate() = 0;
    // Opens the link text with the shell; a success marks the link visited.
    bool OpenLink();

    // The link's own messages; answers whether it took the message.
    bool HandleMessage(CMessage& m);

private:
    LRESULT OnCreate(CMessage& m);
    LRESULT OnDestroy(CMessage& m);
    LRESULT OnPaint(CMessage& m);
    LRESULT OnFocusChange(CMessage& m);
    LRESULT OnMouseMove(CMessage& m);
    LRESULT OnMouseLeave(CMessage& m);
    LRESULT OnButtonDown(CMessage& m);
    LRESULT OnButtonUp(CMessage& m);
    LRESULT OnChar(CMessage& m);
    LRESULT OnGetDlgCode(CMessage& m);
    LRESULT OnSetCursor(CMessage& m);
    LRESULT OnSetFont(CMessage& m);
    LRESULT OnGetFont(CMessage& m);

    void ReadBrowserColours();
    void UseFont(HFONT normal, bool owned);
    void ReleaseFonts();
    void CreateToolTip();
    void RelayToToolTip(const CMessage& m) const;
    void UpdateToolTipRect() const;
    void SetHover(bool hover);
    void DrawLabel(HDC dc) const;
    bool IsOverLink(POINT client) const { return ::PtInRect(&m_linkRect, client) != FALSE; }

    std::wstring m_label;
    std::wstring m_link;
    RECT m_linkRect{};
    HFONT m_linkFont = nullptr;    // always ours: an underlined copy of the normal font
    HFONT m_normalFont = nullptr;  // the parent's or the system's, unless m_ownFont
    HCURSOR m_handCursor = nullptr;
    HWND m_toolTip = nullptr;
    COLORREF m_linkColour = kLinkColour;
    COLORREF m_visitedColour = kVisitedColour;
    DWORD m_style = 0;
    bool m_paintLabel = true;
    bool m_visited = false;
    bool m_hover = false;
    bool m_ownFont = false;
};

template <class T, class TBase = CWindow, class TWinTraits = CControlTraits>
class CHyperLinkImpl : public CWindowImpl<T, TBase, TWinTraits>, public CHyperLinkBase {
public:
    using WindowBase = CWindowImpl<T, TBase, TWinTraits>;

    // The usual navigation: the shell opens the link text.
    virtual bool Navigate() { return OpenLink(); }

    bool ProcessWindowMessage(CMessage& m) override {
        return HandleMessage(m) || WindowBase::ProcessWindowMessage(m);
    }

protected:
    HWND LinkWindow() const override { return this->m_hWnd; }
    bool Activate() override { return static_cast<T*>(this)->Navigate(); }
};

}  // namespace velk
