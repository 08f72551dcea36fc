#include "shell_frame_fixture.h"

#include "framework/bars.h"
#include "framework/module.h"

namespace velk {

CWindowClassInfo& CRecordingChild::GetWndClassInfo() {
    static CWindowClassInfo info = CWindowClassInfo::MDIChild(IDR_DOCUMENT);
    return info;
}

bool CRecordingChild::ProcessWindowMessage(CMessage& m) {
    if (m.message == WM_COMMAND) commands.emplace_back(m.wParam, m.lParam);
    return CMDIChildWindowImpl::ProcessWindowMessage(m);
}

void PrepareShellProcess() {
    static bool prepared = false;
    if (prepared) return;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    GetAppModule().Init(GetModuleHandleW(nullptr));
    prepared = true;
}

void ShellFrameTest::SetUp() {
    m_loop = std::make_unique<CMessageLoop>();
    ASSERT_TRUE(GetAppModule().AddMessageLoop(m_loop.get()));
    ASSERT_NE(m_frame.CreateEx(nullptr, nullptr, 0, WS_EX_ACCEPTFILES), nullptr);
    m_frame.ShowWindow(SW_SHOWNORMAL);
    Pump();
}

void ShellFrameTest::TearDown() {
    if (m_frame.IsWindow()) m_frame.DestroyWindow();
    // The frame ends the loop as it goes; that is for the start-up routine to see.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    GetAppModule().RemoveMessageLoop();
}

CRecordingChild& ShellFrameTest::OpenChild() {
    m_children.push_back(std::make_unique<CRecordingChild>());
    CRecordingChild& child = *m_children.back();
    EXPECT_NE(child.Create(m_frame.GetMDIClient()), nullptr);
    Pump();
    return child;
}

void ShellFrameTest::Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // keep it for the test to see
            return;
        }
        if (!m_loop->PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    m_loop->OnIdle(0);
}

void ShellFrameTest::Command(UINT id) { SendMessageW(Frame(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

bool ShellFrameTest::BandVisible(UINT bandId) const {
    int index = FindReBarBand(ReBar(), bandId);
    if (index < 0) return false;
    REBARBANDINFOW band = {};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_STYLE;
    SendMessageW(ReBar(), RB_GETBANDINFOW, index, reinterpret_cast<LPARAM>(&band));
    return !(band.fStyle & RBBS_HIDDEN);
}

HWND ShellFrameTest::BandChild(UINT bandId) const {
    int index = FindReBarBand(ReBar(), bandId);
    if (index < 0) return nullptr;
    REBARBANDINFOW band = {};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILD;
    SendMessageW(ReBar(), RB_GETBANDINFOW, index, reinterpret_cast<LPARAM>(&band));
    return band.hwndChild;
}

bool ShellFrameTest::MenuItemChecked(UINT id) {
    HMENU bar = m_frame.m_CmdBar.GetMenu();
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
        HMENU popup = GetSubMenu(bar, i);
        if (!popup || GetMenuState(popup, id, MF_BYCOMMAND) == static_cast<UINT>(-1)) continue;
        // What the frame does as the popup opens decides what the user sees.
        SendMessageW(Frame(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), i);
        return (GetMenuState(popup, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    ADD_FAILURE() << "no menu item " << std::hex << id;
    return false;
}

bool ShellFrameTest::StatusInSimpleMode() const {
    return SendMessageW(StatusBar(), SB_ISSIMPLE, 0, 0) != 0;
}

std::wstring ShellFrameTest::StatusText() const {
    // In simple mode part 0 reads the simple text.
    const WPARAM part = 0;
    wchar_t text[512] = {};
    LRESULT info = SendMessageW(StatusBar(), SB_GETTEXTLENGTHW, part, 0);
    if (LOWORD(info) >= 512) return L"<too long>";
    SendMessageW(StatusBar(), SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
    return text;
}

RECT RectInParent(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace velk
