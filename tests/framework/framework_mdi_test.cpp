// MDI frame and child windows: layout, the child's menu and the window list,
// menu prompts, toolbar tooltips, update-UI check marks, pre-translation.
#include <gtest/gtest.h>

#include <memory>

#include "framework_test_windows.h"

namespace velk {

namespace {

using fwtest::CTestChild;
using fwtest::CTestFrame;

class MDIFrame : public ::testing::Test {
protected:
    void SetUp() override {
        frame = std::make_unique<CTestFrame>();
        // Not shown: a top-level window that is shown waits for a window manager
        // that the test display does not have.
        ASSERT_TRUE(frame->CreateEx());
    }

    void TearDown() override {
        if (frame->IsWindow()) frame->DestroyWindow();
        fwtest::TakeQuitMessage();
    }

    HMENU FrameMenu() const { return frame->GetMenu(); }

    std::unique_ptr<CTestFrame> frame;
};

TEST_F(MDIFrame, CreatesItselfFromOneResourceIdentifier) {
    EXPECT_EQ(L"Test Frame", frame->GetWindowText());
    EXPECT_EQ(frame->m_hMenu, FrameMenu());
    EXPECT_EQ((std::vector<std::wstring>{L"&File", L"&View", L"&Help"}),
              fwtest::MenuTexts(FrameMenu()));
    EXPECT_TRUE(frame->m_hAccel);
    EXPECT_EQ(frame->m_hWndMDIClient, frame->m_hWndClient);
    EXPECT_EQ(0xE900, ::GetDlgCtrlID(frame->m_hWndMDIClient));
    EXPECT_TRUE(::GetWindowLongPtrW(frame->m_hWndMDIClient, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(MDIFrame, LaysOutTopBarStatusBarAndClient) {
    frame->SetWindowPos(nullptr, 0, 0, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{}, bar{}, status{}, mdi{};
    frame->GetClientRect(&client);
    auto clientRectOf = [this](HWND child, RECT& rect) {
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, frame->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    };
    clientRectOf(frame->m_hWndTopBar, bar);
    clientRectOf(frame->m_hWndStatusBar, status);
    clientRectOf(frame->m_hWndMDIClient, mdi);
    EXPECT_EQ(0, bar.top);
    EXPECT_GT(bar.bottom, 0);
    EXPECT_EQ(bar.bottom, mdi.top);
    EXPECT_EQ(status.top, mdi.bottom);
    EXPECT_EQ(client.bottom, status.bottom);
    EXPECT_EQ(client.right, mdi.right - mdi.left);

    // A hidden status bar gives its room to the client.
    ::ShowWindow(frame->m_hWndStatusBar, SW_HIDE);
    frame->UpdateLayout();
    clientRectOf(frame->m_hWndMDIClient, mdi);
    EXPECT_EQ(client.bottom, mdi.bottom);
}

TEST_F(MDIFrame, ActiveChildInstallsItsMenuAndTheWindowListFollows) {
    CTestChild* first = CTestChild::Open(frame->m_hWndMDIClient);
    ASSERT_TRUE(first);
    EXPECT_EQ(L"Test Document", first->GetWindowText());
    EXPECT_EQ(first->m_hMenu, FrameMenu());
    HMENU windowMenu = FindWindowMenu(first->m_hMenu);
    ASSERT_TRUE(windowMenu);
    EXPECT_EQ(0xFF00u, ::GetMenuItemID(windowMenu, ::GetMenuItemCount(windowMenu) - 1));

    CTestChild* second = CTestChild::Open(frame->m_hWndMDIClient);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->m_hMenu, FrameMenu());
    HMENU secondWindowMenu = FindWindowMenu(second->m_hMenu);
    const std::vector<std::wstring> texts = fwtest::MenuTexts(secondWindowMenu);
    ASSERT_EQ(4u, texts.size());
    EXPECT_EQ(L"&Cascade", texts[0]);
    EXPECT_EQ(L"-", texts[1]);
    EXPECT_EQ(L"&1 Test Document", texts[2]);
    EXPECT_EQ(L"&2 Test Document", texts[3]);
    EXPECT_EQ(0xFF01u, ::GetMenuItemID(secondWindowMenu, 3));

    // Choosing a window-list item activates that child.
    frame->SendMessage(WM_COMMAND, 0xFF00);
    EXPECT_EQ(first->m_hWnd, frame->MDIGetActive());
    EXPECT_EQ(first->m_hMenu, FrameMenu());

    ::DestroyWindow(first->m_hWnd);  // directly, not through the client
    EXPECT_EQ(second->m_hWnd, frame->MDIGetActive());
    EXPECT_EQ(second->m_hMenu, FrameMenu()) << "the remaining child shows its menu";
    EXPECT_EQ(3, ::GetMenuItemCount(secondWindowMenu)) << "the window list lost the first child";
    ::SendMessageW(frame->m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(second->m_hWnd),
                   0);
    EXPECT_EQ(frame->m_hMenu, FrameMenu()) << "the frame's own menu returns with the last child";

    CTestChild* later = CTestChild::Open(frame->m_hWndMDIClient);
    ASSERT_TRUE(later);
    EXPECT_EQ(later->m_hMenu, FrameMenu());
    EXPECT_EQ(L"&1 Test Document", fwtest::MenuTexts(FindWindowMenu(later->m_hMenu)).back())
        << "a window list again after the earlier window menus are gone";
}

TEST_F(MDIFrame, ChildDeletesItselfAfterItsWindowIsDestroyed) {
    std::vector<std::string> log;
    CTestChild* child = CTestChild::Open(frame->m_hWndMDIClient, &log);
    ASSERT_TRUE(child);
    frame->MDIActivate(child->m_hWnd);
    ::SendMessageW(frame->m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child->m_hWnd),
                   0);
    EXPECT_EQ(std::vector<std::string>{"final"}, log);
}

TEST_F(MDIFrame, NewChildIsMaximisedWhenTheActiveOneIs) {
    CTestChild* first = CTestChild::Open(frame->m_hWndMDIClient);
    ASSERT_TRUE(first);
    frame->MDIMaximize(first->m_hWnd);
    CTestChild* second = CTestChild::Open(frame->m_hWndMDIClient);
    ASSERT_TRUE(second);
    BOOL maximized = FALSE;
    EXPECT_EQ(second->m_hWnd, frame->MDIGetActive(&maximized));
    EXPECT_TRUE(maximized);
}

// Switching quietly between maximised children (drawing off during the switch)
// ends as the plain switch does, with the client drawing again.
TEST_F(MDIFrame, QuietSwitchesEndMaximisedAndDrawingAgain) {
    ASSERT_TRUE(QuietMaximizedSwitches(frame->m_hWndMDIClient));
    CTestChild* children[3] = {};
    for (CTestChild*& child : children) {
        child = CTestChild::Open(frame->m_hWndMDIClient);
        ASSERT_TRUE(child);
    }
    frame->MDIMaximize(children[2]->m_hWnd);
    const auto expectActive = [this](HWND expected, HWND left, const char* how) {
        BOOL maximized = FALSE;
        EXPECT_EQ(expected, frame->MDIGetActive(&maximized)) << how;
        EXPECT_TRUE(maximized) << how;
        if (left) {
            EXPECT_FALSE(::IsZoomed(left)) << how;
        }
        EXPECT_TRUE(::GetWindowLongPtrW(frame->m_hWndMDIClient, GWL_STYLE) & WS_VISIBLE) << how;
    };
    frame->MDIActivate(children[0]->m_hWnd);
    expectActive(children[0]->m_hWnd, children[2]->m_hWnd, "activate");
    frame->MDINext(children[0]->m_hWnd);
    const HWND next = frame->MDIGetActive();
    EXPECT_NE(children[0]->m_hWnd, next);
    expectActive(next, children[0]->m_hWnd, "next");
    ::SendMessageW(frame->m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(next), 0);
    expectActive(frame->MDIGetActive(), nullptr, "destroy");
}

TEST_F(MDIFrame, ChildViewFillsTheChildsClientArea) {
    CTestChild* child = CTestChild::Open(frame->m_hWndMDIClient);
    ASSERT_TRUE(child);
    child->SetWindowPos(nullptr, 0, 0, 300, 200, SWP_NOZORDER | SWP_NOMOVE);
    RECT area{}, view{};
    child->GetClientRect(&area);
    ::GetClientRect(child->m_hWndClient, &view);
    EXPECT_EQ(area.right, view.right);
    EXPECT_EQ(area.bottom, view.bottom);
}

struct PromptCase {
    const char* name;
    UINT id;
    UINT flags;
    const wchar_t* prompt;
};

class MenuPrompts : public MDIFrame, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(MenuPrompts, ShowTheItemsStringUpToTheNewlineInSimpleMode) {
    const PromptCase& c = GetParam();
    HWND status = frame->m_hWndStatusBar;
    EXPECT_EQ(L"Ready", fwtest::StatusPartText(status, 0));
    frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(c.id, c.flags),
                       reinterpret_cast<LPARAM>(FrameMenu()));
    EXPECT_TRUE(::SendMessageW(status, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(std::wstring(c.prompt), fwtest::StatusText(status));

    frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);  // the menu closes
    EXPECT_FALSE(::SendMessageW(status, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(L"Ready", fwtest::StatusPartText(status, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Framework, MenuPrompts,
    ::testing::Values(PromptCase{"MenuItem", ID_TEST_OPEN, MF_STRING, L"Open an existing document"},
                      PromptCase{"SystemMenuSize", SC_SIZE, MF_SYSMENU, L"Change the window size"},
                      PromptCase{"SystemMenuClose", SC_CLOSE, MF_SYSMENU,
                                 L"Close the active window and prompts to save the documents"},
                      PromptCase{"SystemMenuRestore", SC_RESTORE, MF_SYSMENU,
                                 L"Restore the window to normal size"},
                      PromptCase{"FirstWindowListItem", 0xFF00, MF_STRING, L"Activate this window"},
                      PromptCase{"LastWindowListItem", 0xFFFD, MF_STRING, L"Activate this window"},
                      PromptCase{"ItemWithoutString", ID_TEST_NO_STRING, MF_STRING, L""},
                      PromptCase{"Popup", 1, MF_POPUP, L""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MDIFrame, ChildSystemMenuPromptsShowInTheFramesStatusBar) {
    CTestChild* child = CTestChild::Open(frame->m_hWndMDIClient);
    ASSERT_TRUE(child);
    child->SendMessage(WM_MENUSELECT, MAKEWPARAM(SC_SIZE, MF_SYSMENU), 0);
    EXPECT_EQ(L"Change the window size", fwtest::StatusText(frame->m_hWndStatusBar));
}

struct ToolTipCase {
    const char* name;
    UINT id;
    std::wstring text;
};

class ToolTips : public MDIFrame, public ::testing::WithParamInterface<ToolTipCase> {};

TEST_P(ToolTips, AreThePartOfTheStringAfterTheNewline) {
    const ToolTipCase& c = GetParam();
    NMTTDISPINFOW request{};
    request.hdr.hwndFrom = frame->m_toolBar;
    request.hdr.idFrom = c.id;
    request.hdr.code = TTN_GETDISPINFOW;
    request.szText[0] = L'x';
    frame->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
    ASSERT_EQ(request.szText, request.lpszText);
    EXPECT_EQ(c.text, std::wstring(request.lpszText));
}

INSTANTIATE_TEST_SUITE_P(
    Framework, ToolTips,
    ::testing::Values(ToolTipCase{"Button", ID_TEST_OPEN, L"Open"},
                      ToolTipCase{"StringWithoutNewline", ID_TEST_NO_TOOLTIP, L""},
                      ToolTipCase{"NoString", ID_TEST_NO_STRING, L""},
                      ToolTipCase{"LongTextCutTo79", ID_TEST_LONG_TOOLTIP,
                                  std::wstring(L"0123456789012345678901234567890123456789"
                                               L"0123456789012345678901234567890123456789")
                                      .substr(0, 79)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MDIFrame, ToolbarsOwnTooltipAsksTheFrame) {
    HWND toolTip = reinterpret_cast<HWND>(::SendMessageW(frame->m_toolBar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_TRUE(toolTip);
    wchar_t text[80] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = frame->m_toolBar;
    tool.uId = ID_TEST_COPY;
    tool.lpszText = text;
    ::SendMessageW(toolTip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(L"Copy"), tool.lpszText ? tool.lpszText : L"(null)");
}

TEST_F(MDIFrame, MenusShowTheUpdateUITableWhenTheirPopupOpens) {
    HMENU view = ::GetSubMenu(FrameMenu(), 1);
    auto checked = [view](UINT id) {
        return (::GetMenuState(view, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
    };
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 1);
    EXPECT_TRUE(checked(ID_TEST_TOOLBAR));
    EXPECT_TRUE(checked(ID_TEST_STATUS_BAR));

    frame->UISetCheck(ID_TEST_TOOLBAR, false);
    EXPECT_TRUE(checked(ID_TEST_TOOLBAR)) << "nothing changes before the popup opens";
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 1);
    EXPECT_FALSE(checked(ID_TEST_TOOLBAR));
    EXPECT_TRUE(checked(ID_TEST_STATUS_BAR));
    EXPECT_FALSE(frame->UIGetCheck(ID_TEST_TOOLBAR));
    EXPECT_FALSE(frame->UISetCheck(ID_TEST_NO_STRING, true)) << "not in the table";
}

TEST_F(MDIFrame, IdleUpdateBringsRegisteredToolbarsInStep) {
    frame->UISetCheck(ID_TEST_FIND, true);
    EXPECT_FALSE(::SendMessageW(frame->m_toolBar, TB_ISBUTTONCHECKED, ID_TEST_FIND, 0));
    frame->UIUpdateToolBar();
    EXPECT_TRUE(::SendMessageW(frame->m_toolBar, TB_ISBUTTONCHECKED, ID_TEST_FIND, 0));
    frame->UIEnable(ID_TEST_FIND, false);
    frame->UIUpdateToolBar();
    EXPECT_FALSE(::SendMessageW(frame->m_toolBar, TB_ISBUTTONENABLED, ID_TEST_FIND, 0));
}

TEST_F(MDIFrame, PreTranslationOffersKeysToTheActiveChild) {
    std::vector<std::string> log;
    CTestChild* child = CTestChild::Open(frame->m_hWndMDIClient, &log);
    ASSERT_TRUE(child);
    MSG f2{child->m_hWnd, WM_KEYDOWN, VK_F2, 0, 0, {}};
    EXPECT_TRUE(frame->PreTranslateFrameMessage(&f2));
    MSG f3{child->m_hWnd, WM_KEYDOWN, VK_F3, 0, 0, {}};
    EXPECT_FALSE(frame->PreTranslateFrameMessage(&f3));
    EXPECT_EQ((std::vector<std::string>{"forwarded", "forwarded"}), log);
}

TEST_F(MDIFrame, FrameAcceleratorsComeFirst) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    MSG ctrlF{frame->m_hWnd, WM_KEYDOWN, 'F', 0, 0, {}};
    const BOOL taken = frame->PreTranslateFrameMessage(&ctrlF);
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
    EXPECT_TRUE(taken);
    EXPECT_EQ(std::vector<UINT>{ID_TEST_FIND}, frame->m_commands);
}

TEST(FrameDestruction, TopLevelFramePostsQuitWithCodeOne) {
    fwtest::TakeQuitMessage();
    CTestFrame frame;
    ASSERT_TRUE(frame.CreateEx());
    frame.DestroyWindow();
    EXPECT_EQ(1, fwtest::TakeQuitMessage());
}

TEST(FrameDestruction, PopUpFrameLeavesTheLoopRunning) {
    fwtest::TakeQuitMessage();
    CTestFrame frame;
    ASSERT_TRUE(frame.CreateEx(nullptr, nullptr, WS_POPUP | WS_CAPTION));
    frame.DestroyWindow();
    EXPECT_EQ(-1, fwtest::TakeQuitMessage());
}

class CRefusingFrame : public CMDIFrameWindowImpl<CRefusingFrame> {
public:
    static CWindowClassInfo& GetWndClassInfo() {
        static CWindowClassInfo info = CWindowClassInfo::Frame(IDR_TEST_FRAME);
        return info;
    }
    bool ProcessWindowMessage(CMessage& m) override {
        if (m.message == WM_CREATE) {
            m.result = -1;
            return true;
        }
        return CMDIFrameWindowImpl::ProcessWindowMessage(m);
    }
};

TEST(FrameDestruction, FrameThatFailsInCreateGivesNoWindow) {
    CRefusingFrame frame;
    EXPECT_EQ(nullptr, frame.CreateEx());
    EXPECT_EQ(nullptr, frame.m_hWnd);
    fwtest::TakeQuitMessage();
}

TEST(WindowMenu, IsTheSecondLastPopupNamedWindow) {
    HMENU bar = ::CreateMenu();
    HMENU file = ::CreatePopupMenu(), window = ::CreatePopupMenu(), help = ::CreatePopupMenu();
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    EXPECT_EQ(nullptr, FindWindowMenu(bar)) << "one popup only";
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(window), L"&Window");
    EXPECT_EQ(nullptr, FindWindowMenu(bar)) << "the last popup is not the second-last";
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    EXPECT_EQ(window, FindWindowMenu(bar));
    ::ModifyMenuW(bar, 1, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(window), L"Window");
    EXPECT_EQ(nullptr, FindWindowMenu(bar)) << "the text must be exactly &Window";
    ::DestroyMenu(bar);
}

}  // namespace

}  // namespace velk
