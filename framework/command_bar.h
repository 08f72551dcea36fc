#pragma once
// The command bar: a menu bar drawn by a toolbar, so that it can live in a rebar
// band beside other bars. Each top-level popup of the attached menu is a button
// with its mnemonic; its popups show the images of a toolbar resource beside the
// commands. It opens popups by mouse (and moves between them while one is open)
// and by keyboard: Alt alone or F10 selects the first button, Alt+mnemonic opens a
// popup, Left and Right move between popups, Esc closes, Enter and Down open.
//
// The window that creates the bar is its owner: it receives the chosen commands
// (WM_COMMAND, posted as a menu would) and the menu messages (WM_INITMENUPOPUP,
// WM_MENUSELECT, WM_ENTERMENULOOP ...), so that update-UI and status prompts work
// as they do for a window's own menu bar. The owner removes its own menu bar after
// attaching its menu: the bar holds the menu from then on and does not destroy it.
//
// Keys reach the bar through the thread's message loop: the bar registers itself
// as a message filter when its window is created, if the thread has a loop.
#include <windows.h>
#include <commctrl.h>

#include "command_bar_images.h"
#include "message_loop.h"
#include "window_impl.h"

namespace velk {

class CCommandBarCtrl : public CWindowImpl<CCommandBarCtrl, CWindow, CControlTraits>,
                        public CMessageFilter {
public:
    // Child, visible, clip children and siblings, no divider, no parent alignment,
    // no resize: the rebar band places and sizes the bar.
    static constexpr DWORD kDefaultStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN |
                                           WS_CLIPSIBLINGS | CCS_NODIVIDER | CCS_NOPARENTALIGN |
                                           CCS_NORESIZE;

    static CWindowClassInfo& GetWndClassInfo();

    CCommandBarCtrl() = default;
    ~CCommandBarCtrl() override;

    // Creates the bar; the flat and list toolbar styles are always added.
    HWND Create(HWND parent, const RECT* rect = nullptr, const wchar_t* title = nullptr,
                DWORD style = kDefaultStyle, DWORD exStyle = 0, UINT id = 0);

    // Shows the top-level items of `menu` as buttons (null: no buttons). The menu
    // stays the caller's.
    bool AttachMenu(HMENU menu);
    HMENU GetMenu() const { return m_menu; }

    // Images for the popups from toolbar resource `toolbarId` of the module's
    // resource instance; answers false (and shows no images) when it is missing.
    bool LoadImages(UINT toolbarId);
    const CMenuImages& Images() const { return m_images; }

    // The button of a top-level popup: opens it as a click or a key would.
    bool OpenPopup(int index, bool byKeyboard);

    // The keyboard state: a button selected by Alt or F10 with no popup open.
    bool IsKeyboardMode() const { return m_keyboardMode; }
    // The selected (hot) button, or -1.
    int GetHotItem() const;
    // The button whose popup is open, or -1.
    int GetOpenPopup() const { return m_openIndex; }

    BOOL PreTranslateMessage(MSG* msg) override;
    bool ProcessWindowMessage(CMessage& m) override;

protected:
    // The window that gets commands and menu messages.
    HWND Owner() const { return m_owner; }

    // A popup-menu-like track of any menu below a rectangle of the bar (client
    // coordinates), with the bar's image drawing and message forwarding. Answers
    // the chosen command, 0 for none.
    UINT TrackMenu(HMENU menu, const RECT& below, bool byKeyboard);

    // After a TrackMenu that the user left by moving to a button's popup (Left,
    // Right, hover): opens that popup.
    void OpenPendingPopup();

    // Alt + a character that is no button's mnemonic; answers whether it was used.
    virtual bool OnUnmatchedMnemonic(wchar_t /*character*/) { return false; }

    // The number of buttons, their rectangles and hit testing (client coordinates).
    int ButtonCount() const;
    bool ButtonRect(int index, RECT* rect) const;
    int HitTestButton(POINT client) const;

private:
    static LRESULT CALLBACK MenuInputHook(int code, WPARAM wParam, LPARAM lParam);

    LRESULT OnCreate(CMessage& m);
    LRESULT OnDestroy(CMessage& m);
    LRESULT OnLButtonDown(CMessage& m);
    LRESULT OnMouseMove(CMessage& m);
    LRESULT OnMenuSelect(CMessage& m);
    LRESULT ForwardToOwner(CMessage& m);
    LRESULT OnMeasureItem(CMessage& m);
    LRESULT OnDrawItem(CMessage& m);

    void RemoveButtons();
    bool IsPopupButton(int index) const;
    int NextPopupButton(int from, int step) const;
    int FindMnemonic(wchar_t character) const;
    void RunPopups(int index, bool byKeyboard);
    void SendCommand(int index) const;

    bool OnMenuLoopInput(const MSG& msg);
    bool OnMenuLoopKey(WPARAM key);
    void SwitchPopup(int index, bool byKeyboard);

    bool IsForMyWindow(const MSG& msg) const;
    bool OnKeyboardModeMessage(MSG& msg);
    bool OnSysChar(wchar_t character);
    void EnterKeyboardMode(int index);
    void LeaveKeyboardMode();
    void SetHotItem(int index);

    HWND m_owner = nullptr;
    HMENU m_menu = nullptr;
    HFONT m_font = nullptr;
    CMenuImages m_images;

    // Keyboard state between key messages.
    bool m_keyboardMode = false;
    int m_keyIndex = -1;        // the button selected by key
    bool m_altAlone = false;    // Alt is down and no other key has come since
    bool m_f10Taken = false;    // F10 went down as the menu key; its release is ours too
    bool m_altUpTaken = false;  // Alt+mnemonic opened a popup; the Alt release is ours

    // Popup tracking state, valid while a popup is open.
    int m_openIndex = -1;
    int m_nextIndex = -1;  // the popup to open once the current one closes
    bool m_nextByKeyboard = false;
    bool m_escaped = false;  // closed by Esc at its first level
    HMENU m_trackedMenu = nullptr;
    HMENU m_selectedMenu = nullptr;  // where the highlight is now
    bool m_selectedOpensSubmenu = false;
    HHOOK m_hook = nullptr;
};

// The command bar of an MDI frame: it follows the MDI client, showing the menu
// that the active document window installs (WM_MDISETMENU) and, while that window
// is maximised, its system-menu icon at the left and its minimise, restore and
// close buttons at the right.
class CMDICommandBarCtrl : public CCommandBarCtrl {
public:
    CMDICommandBarCtrl() = default;
    ~CMDICommandBarCtrl() override;

    // Starts following `client` (null: stops). The MDI client keeps the window list
    // of the installed menu; the frame's own menu bar stays empty.
    bool SetMDIClient(HWND client);
    HWND GetMDIClient() const { return m_client; }

    // The maximised document window whose buttons the bar shows, or null.
    HWND GetMaximizedChild() const { return m_maxChild; }

    enum class Part { None, Icon, Minimize, Restore, Close };
    // Where a part of the maximised window's decoration lies (client coordinates);
    // empty while no document window is maximised.
    RECT PartRect(Part part) const;

    bool ProcessWindowMessage(CMessage& m) override;

protected:
    bool OnUnmatchedMnemonic(wchar_t character) override;

private:
    static LRESULT CALLBACK ClientProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
    static LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);
    static BOOL CALLBACK UnhookChild(HWND hwnd, LPARAM self);

    LRESULT OnClientMessage(HWND client, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnSetMenu(HWND client, HMENU frameMenu, HMENU windowMenu);
    void HookChild(HWND child);
    void Unhook();
    void UpdateMaximizedChild();
    void SetIndent(int indent);

    LRESULT OnPaint(CMessage& m);
    LRESULT OnButtonDown(CMessage& m);
    LRESULT OnMouseMove(CMessage& m);
    LRESULT OnButtonUp(CMessage& m);
    LRESULT OnCaptureChanged(CMessage& m);
    LRESULT OnRefresh(CMessage& m);
    LRESULT OnDestroy(CMessage& m);

    Part HitTestPart(POINT client) const;
    void PaintDecoration(HDC dc) const;
    void OpenSystemMenu(bool byKeyboard);
    void RunPartCommand(Part part) const;

    HWND m_client = nullptr;
    HWND m_maxChild = nullptr;
    HMENU m_clientMenu = nullptr;  // the last menu installed through the client
    Part m_pressed = Part::None;   // a button held down with the mouse captured
    bool m_pressedInside = false;
};

}  // namespace velk
