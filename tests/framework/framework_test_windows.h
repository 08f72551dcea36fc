// Small window classes shared by the framework tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/bars.h"
#include "framework/mdi_child.h"
#include "framework/mdi_frame.h"
#include "framework/reflection.h"
#include "framework/update_ui.h"
#include "framework_test_resource.h"

namespace velk {

namespace fwtest {

// Styles the shell gives its bars.
constexpr DWORD kToolBarStyle = 0x5600094C;
constexpr DWORD kReBarStyle = 0x56002640;
constexpr DWORD kStatusBarStyle = 0x56000100;

// A frame laid out as the program's main frame: a toolbar in a rebar, a status
// bar, the MDI client; an update-UI table for two menu items and a button.
class CTestFrame : public CMDIFrameWindowImpl<CTestFrame>, public CUpdateUI<CTestFrame> {
public:
    static constexpr CUpdateUIEntry kUpdateUI[] = {{ID_TEST_TOOLBAR, kUpdateMenu},
                                                   {ID_TEST_STATUS_BAR, kUpdateMenu},
                                                   {ID_TEST_FIND, kUpdateToolBar}};

    static CWindowClassInfo& GetWndClassInfo() {
        static CWindowClassInfo info = CWindowClassInfo::Frame(IDR_TEST_FRAME);
        return info;
    }

    HWND m_toolBar = nullptr;
    std::vector<UINT> m_commands;  // commands the frame received

    bool ProcessWindowMessage(CMessage& m) override {
        using Map = MessageMap<CTestFrame>;
        static const Map::Entry map[] = {
            Map::Message(WM_CREATE, &CTestFrame::OnCreate),
            Map::Message(WM_COMMAND, &CTestFrame::OnCommand),
            Map::Chain(&CTestFrame::RouteUpdateUI),
        };
        return Map::Route(*this, map, m) || CMDIFrameWindowImpl::ProcessWindowMessage(m);
    }

private:
    LRESULT OnCreate(CMessage&) {
        m_toolBar = CreateToolBarFromResource(m_hWnd, IDR_TEST_FRAME, false, kToolBarStyle, 0xE800);
        CreateTopReBar(kReBarStyle, 0xE800);
        AddTopBarBand(m_toolBar, false);
        SizeTopBarBands();
        CreateFrameStatusBar(0xE001, kStatusBarStyle, 0xE801);
        CreateMDIClient();
        UIAddToolBar(m_toolBar);
        UISetCheck(ID_TEST_TOOLBAR, true);
        UISetCheck(ID_TEST_STATUS_BAR, true);
        return 0;
    }

    LRESULT OnCommand(CMessage& m) {
        m_commands.push_back(m.CommandId());
        m.handled = false;  // on to the default frame procedure (window list)
        return 0;
    }
};

// A document window that deletes itself, records what it is given, and reflects
// its controls' notifications.
class CTestChild : public CMDIChildWindowImpl<CTestChild> {
public:
    static CWindowClassInfo& GetWndClassInfo() {
        static CWindowClassInfo info = CWindowClassInfo::MDIChild(IDR_TEST_CHILD);
        return info;
    }

    explicit CTestChild(std::vector<std::string>* log = nullptr) : m_log(log) {}

    // A child window with a view that fills it.
    static CTestChild* Open(HWND mdiClient, std::vector<std::string>* log = nullptr) {
        auto* child = new CTestChild(log);
        if (!child->Create(mdiClient)) return nullptr;  // deleted by its final hook
        return child;
    }

    bool ProcessWindowMessage(CMessage& m) override {
        using Map = MessageMap<CTestChild>;
        static const Map::Entry map[] = {
            Map::Message(WM_CREATE, &CTestChild::OnCreate),
            Map::Message(WM_FORWARDMSG, &CTestChild::OnForward),
        };
        return Map::Route(*this, map, m) || CMDIChildWindowImpl::ProcessWindowMessage(m) ||
               ReflectNotifications(m);
    }

    void OnFinalMessage(HWND) override {
        Log("final");
        delete this;
    }

private:
    LRESULT OnCreate(CMessage& m) {
        m_hWndClient = ::CreateWindowExW(0, L"STATIC", L"view", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                         m_hWnd, nullptr, nullptr, nullptr);
        m.handled = false;
        return 0;
    }

    LRESULT OnForward(CMessage& m) {
        Log("forwarded");
        const MSG* msg = reinterpret_cast<const MSG*>(m.lParam);
        return msg->message == WM_KEYDOWN && msg->wParam == VK_F2;
    }

    void Log(const char* what) {
        if (m_log) m_log->push_back(what);
    }

    std::vector<std::string>* m_log;
};

// The menu item texts of a popup, in order ("-" for a separator).
inline std::vector<std::wstring> MenuTexts(HMENU menu) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        const UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        texts.push_back((state & MF_SEPARATOR) ? std::wstring(L"-") : std::wstring(text));
    }
    return texts;
}

// The text a status bar shows in simple mode (which answers for part 0 then).
inline std::wstring StatusText(HWND statusBar) {
    wchar_t text[256] = {};
    ::SendMessageW(statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

inline std::wstring StatusPartText(HWND statusBar, int part) {
    wchar_t text[256] = {};
    ::SendMessageW(statusBar, SB_GETTEXTW, static_cast<WPARAM>(part),
                   reinterpret_cast<LPARAM>(text));
    return text;
}

// Removes a WM_QUIT that a destroyed frame posted; answers its code, or -1.
inline int TakeQuitMessage() {
    MSG msg{};
    if (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return static_cast<int>(msg.wParam);
    return -1;
}

}  // namespace fwtest

}  // namespace velk
