// The main frame as a user meets it: its bars and menu, the View toggles, the
// status prompts and tooltips, and where commands go.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/bars.h"
#include "shell_dialog_watcher.h"
#include "shell_frame_fixture.h"
#include "windows_test.h"

namespace velk {

namespace {

constexpr UINT kMenuBand = 0xEB00;
constexpr UINT kToolBarBand = 0xEB01;
constexpr UINT kLinkBand = 0xEB02;

std::wstring ButtonText(HWND toolBar, int index) {
    TBBUTTON button = {};
    SendMessageW(toolBar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
    wchar_t text[128] = {};
    LRESULT length = SendMessageW(toolBar, TB_GETBUTTONTEXTW, button.idCommand, 0);
    if (length < 0 || length >= 128) return std::wstring();
    SendMessageW(toolBar, TB_GETBUTTONTEXTW, button.idCommand, reinterpret_cast<LPARAM>(text));
    return text;
}

using ShellFrame = ShellFrameTest;

TEST_F(ShellFrame, StartsWithTheFrameMenuInTheCommandBarAndNoMenuBarOfItsOwn) {
    HWND commandBar = m_frame.m_CmdBar;
    ASSERT_EQ(SendMessageW(commandBar, TB_BUTTONCOUNT, 0, 0), 3);
    EXPECT_EQ(ButtonText(commandBar, 0), L"&File");
    EXPECT_EQ(ButtonText(commandBar, 1), L"&View");
    EXPECT_EQ(ButtonText(commandBar, 2), L"&Help");
    EXPECT_EQ(GetMenu(Frame()), nullptr);
    EXPECT_EQ(test::TextOf(Frame()), L"DICOM Lattice");
}

TEST_F(ShellFrame, ActiveDocumentWindowsMenuWithItsWindowListReplacesTheFrameMenuWhileItIsOpen) {
    HWND commandBar = m_frame.m_CmdBar;
    HWND child = OpenChild();
    ASSERT_EQ(SendMessageW(commandBar, TB_BUTTONCOUNT, 0, 0), 5);
    const wchar_t* titles[] = {L"&File", L"&Edit", L"&View", L"&Window", L"&Help"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(ButtonText(commandBar, i), titles[i]);
    HMENU window = GetSubMenu(m_frame.m_CmdBar.GetMenu(), 3);
    const int last = GetMenuItemCount(window) - 1;
    EXPECT_EQ(GetMenuItemID(window, last), 0xFF00u) << "the window list names the document window";

    SendMessageW(m_frame.GetMDIClient(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
    Pump();
    ASSERT_EQ(SendMessageW(commandBar, TB_BUTTONCOUNT, 0, 0), 3);
    EXPECT_EQ(ButtonText(commandBar, 0), L"&File");
    EXPECT_EQ(ButtonText(commandBar, 2), L"&Help");
}

TEST_F(ShellFrame, AcceptsDroppedFilesInsteadOfTheClassExtendedStyles) {
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(Frame(), GWL_EXSTYLE));
    EXPECT_TRUE(exStyle & WS_EX_ACCEPTFILES);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(Frame(), GWL_STYLE));
    EXPECT_EQ(style & 0x06CF0000u, 0x06CF0000u)
        << "overlapped window, clipping children and siblings";
}

TEST_F(ShellFrame, TopBarHoldsMenuToolBarAndLinkInThreeBandsOnTwoRows) {
    EXPECT_EQ(GetDlgCtrlID(ReBar()), 0xE800);
    EXPECT_EQ(SendMessageW(ReBar(), RB_GETBANDCOUNT, 0, 0), 3);
    EXPECT_EQ(BandChild(kMenuBand), m_frame.m_CmdBar.m_hWnd);
    EXPECT_EQ(BandChild(kToolBarBand), m_frame.GetToolBar());
    EXPECT_EQ(BandChild(kLinkBand), m_frame.m_mailToLink.m_hWnd);
    EXPECT_EQ(SendMessageW(ReBar(), RB_GETROWCOUNT, 0, 0), 2);

    RECT toolBar = RectInParent(m_frame.GetToolBar());
    RECT link = RectInParent(m_frame.m_mailToLink);
    RECT menu = RectInParent(m_frame.m_CmdBar);
    EXPECT_GE(toolBar.top, menu.bottom) << "the toolbar starts a row below the menu";
    EXPECT_LT(link.top, toolBar.bottom) << "the link shares the toolbar's row";
    EXPECT_GE(link.left, toolBar.right);
}

TEST_F(ShellFrame, ToolBarHasTheButtonsInOrderFromItsResource) {
    HWND toolBar = m_frame.GetToolBar();
    EXPECT_EQ(GetDlgCtrlID(toolBar), 0xE800);
    const int expected[] = {0xE101, 0, 0xE122, 0,      0xE124, 0xE803,           0,
                            0xE140, 0, 0xE133, 0xE134, 0,      ID_VIEW_INTERPRET};
    ASSERT_EQ(SendMessageW(toolBar, TB_BUTTONCOUNT, 0, 0),
              static_cast<LRESULT>(std::size(expected)));
    for (int i = 0; i < static_cast<int>(std::size(expected)); ++i) {
        TBBUTTON button = {};
        SendMessageW(toolBar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        if (expected[i] == 0) {
            EXPECT_TRUE(button.fsStyle & BTNS_SEP) << "button " << i;
        } else {
            EXPECT_EQ(button.idCommand, expected[i]) << "button " << i;
        }
    }
}

TEST_F(ShellFrame, LinkBandIsTheSizeOfTheLinksLabel) {
    const CMailToLink& link = m_frame.m_mailToLink;
    EXPECT_EQ(link.GetLabel(), L"Send Orbel Explorer Add-on (OEA)");
    EXPECT_EQ(link.GetHyperLink(), L"Send Orbel Explorer Add-on (OEA)") << "the tooltip's text";
    const RECT& label = link.GetLinkRect();
    ASSERT_GT(label.right - label.left, 0);

    int index = FindReBarBand(ReBar(), kLinkBand);
    REBARBANDINFOW band = {};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_IDEALSIZE;
    SendMessageW(ReBar(), RB_GETBANDINFOW, index, reinterpret_cast<LPARAM>(&band));
    RECT borders = {};
    SendMessageW(ReBar(), RB_GETBANDBORDERS, index, reinterpret_cast<LPARAM>(&borders));
    EXPECT_EQ(band.cxMinChild, 0u);
    EXPECT_EQ(static_cast<LONG>(band.cyMinChild), label.bottom - label.top);
    EXPECT_EQ(static_cast<LONG>(band.cxIdeal), label.right - label.left);
}

TEST_F(ShellFrame, StatusBarAndClientFillTheRestOfTheFrame) {
    EXPECT_EQ(GetDlgCtrlID(StatusBar()), 0xE801);
    EXPECT_EQ(StatusText(), L"Ready");
    HWND client = m_frame.GetMDIClient();
    EXPECT_EQ(GetDlgCtrlID(client), 0xE900);
    RECT frameArea = {};
    GetClientRect(Frame(), &frameArea);
    RECT top = RectInParent(ReBar()), bottom = RectInParent(StatusBar()),
         middle = RectInParent(client);
    EXPECT_EQ(middle.top, top.bottom);
    EXPECT_EQ(middle.bottom, bottom.top);
    EXPECT_EQ(bottom.bottom, frameArea.bottom);
}

TEST_F(ShellFrame, ToolbarCommandHidesAndShowsOnlyTheToolBarBandWithItsCheckMark) {
    ASSERT_TRUE(MenuItemChecked(ID_VIEW_TOOLBAR));
    const LONG clientTop = RectInParent(m_frame.GetMDIClient()).top;

    Command(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(BandVisible(kToolBarBand));
    EXPECT_TRUE(BandVisible(kMenuBand));
    EXPECT_TRUE(BandVisible(kLinkBand));
    EXPECT_TRUE(IsWindowVisible(m_frame.m_mailToLink));
    EXPECT_FALSE(MenuItemChecked(ID_VIEW_TOOLBAR));
    EXPECT_EQ(RectInParent(m_frame.GetMDIClient()).top, RectInParent(ReBar()).bottom);

    Command(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(BandVisible(kToolBarBand));
    EXPECT_TRUE(MenuItemChecked(ID_VIEW_TOOLBAR));
    EXPECT_EQ(RectInParent(m_frame.GetMDIClient()).top, clientTop);
}

TEST_F(ShellFrame, StatusBarCommandInvertsItsVisibilityAndCheckMark) {
    ASSERT_TRUE(MenuItemChecked(ID_VIEW_STATUS_BAR));
    RECT frameArea = {};
    GetClientRect(Frame(), &frameArea);

    Command(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(IsWindowVisible(StatusBar()));
    EXPECT_FALSE(MenuItemChecked(ID_VIEW_STATUS_BAR));
    EXPECT_EQ(RectInParent(m_frame.GetMDIClient()).bottom, frameArea.bottom);

    Command(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(IsWindowVisible(StatusBar()));
    EXPECT_TRUE(MenuItemChecked(ID_VIEW_STATUS_BAR));
    EXPECT_EQ(RectInParent(m_frame.GetMDIClient()).bottom, RectInParent(StatusBar()).top);
}

TEST_F(ShellFrame, CommandsThatAreNotTheFramesReachTheActiveDocumentWindowUnchanged) {
    CRecordingChild& child = OpenChild();
    const WPARAM find = MAKEWPARAM(ID_EDIT_FIND, 1);
    SendMessageW(Frame(), WM_COMMAND, find, 0x1234);
    const WPARAM save = MAKEWPARAM(ID_FILE_SAVE, 0);
    SendMessageW(Frame(), WM_COMMAND, save, 0);
    ASSERT_EQ(child.commands.size(), 2u);
    EXPECT_EQ(child.commands[0].first, find);
    EXPECT_EQ(child.commands[0].second, 0x1234);
    EXPECT_EQ(child.commands[1].first, save);
    EXPECT_TRUE(IsWindow(child)) << "a command nobody handles does nothing";
}

TEST_F(ShellFrame, FramesOwnCommandsAreNotPassedOn) {
    CRecordingChild& child = OpenChild();
    Command(ID_VIEW_STATUS_BAR);
    Command(ID_WINDOW_CASCADE);
    EXPECT_TRUE(child.commands.empty());
}

TEST_F(ShellFrame, CommandsWithNoDocumentWindowDoNothing) {
    for (UINT id : {ID_EDIT_COPY_ROWS, ID_EDIT_FIND, ID_VIEW_REFRESH, ID_FILE_SAVE}) Command(id);
    Pump();
    EXPECT_TRUE(IsWindow(Frame()));
    EXPECT_EQ(SendMessageW(m_frame.GetMDIClient(), WM_MDIGETACTIVE, 0, 0), 0);
}

TEST_F(ShellFrame, ExitClosesTheFrameAndEndsTheLoopWithCodeOne) {
    Command(ID_APP_EXIT);
    EXPECT_TRUE(IsWindow(Frame())) << "the close is posted, not done at once";
    Pump();
    EXPECT_FALSE(IsWindow(Frame()));
    MSG quit = {};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 1u);
}

TEST_F(ShellFrame, ClosingTheFrameClosesEveryDocumentWindow) {
    HWND first = OpenChild(), second = OpenChild();
    SendMessageW(Frame(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(IsWindow(second));
}

// --- Window arrangement -------------------------------------------------------

enum class Placement { Stacked, SideBySide, Overlapping };

struct ArrangeCase {
    const char* name;
    UINT command;
    Placement placement;
};

class ShellArrange : public ShellFrameTest, public ::testing::WithParamInterface<ArrangeCase> {};

TEST_P(ShellArrange, ArrangesTheDocumentWindows) {
    HWND first = OpenChild(), second = OpenChild();
    Command(GetParam().command);
    RECT a = RectInParent(first), b = RectInParent(second);
    if (a.top > b.top || a.left > b.left) std::swap(a, b);
    switch (GetParam().placement) {
    case Placement::Stacked:
        EXPECT_EQ(a.left, b.left);
        EXPECT_LE(a.bottom, b.top);
        break;
    case Placement::SideBySide:
        EXPECT_EQ(a.top, b.top);
        EXPECT_LE(a.right, b.left);
        break;
    case Placement::Overlapping:
        EXPECT_LT(a.top, b.top);
        EXPECT_LT(a.left, b.left);
        EXPECT_GT(a.bottom, b.top);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Window, ShellArrange,
    ::testing::Values(ArrangeCase{"HorizontalTile", ID_WINDOW_TILE_HORZ, Placement::Stacked},
                      ArrangeCase{"VerticalTile", ID_WINDOW_TILE_VERT, Placement::SideBySide},
                      ArrangeCase{"Cascade", ID_WINDOW_CASCADE, Placement::Overlapping}),
    [](const ::testing::TestParamInfo<ArrangeCase>& info) { return std::string(info.param.name); });

TEST_F(ShellFrame, ArrangeIconsLinesUpMinimisedDocumentWindowsAtTheBottom) {
    HWND first = OpenChild(), second = OpenChild();
    ShowWindow(first, SW_MINIMIZE);
    ShowWindow(second, SW_MINIMIZE);
    SetWindowPos(first, nullptr, 40, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Command(ID_WINDOW_ARRANGE);
    RECT client = {};
    GetClientRect(m_frame.GetMDIClient(), &client);
    RECT a = RectInParent(first), b = RectInParent(second);
    EXPECT_EQ(a.bottom, client.bottom);
    EXPECT_EQ(b.bottom, client.bottom);
}

// --- Status prompts and tooltips ----------------------------------------------

struct PromptCase {
    const char* name;
    UINT item;
    UINT flags;
    const wchar_t* prompt;
};

class ShellPrompt : public ShellFrameTest, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(ShellPrompt, HighlightedItemShowsItsPromptUntilTheMenuCloses) {
    const PromptCase& c = GetParam();
    HMENU menu =
        (c.flags & MF_SYSMENU) ? GetSystemMenu(Frame(), FALSE) : m_frame.m_CmdBar.GetMenu();
    SendMessageW(Frame(), WM_MENUSELECT, MAKEWPARAM(c.item, c.flags),
                 reinterpret_cast<LPARAM>(menu));
    EXPECT_TRUE(StatusInSimpleMode());
    EXPECT_EQ(StatusText(), c.prompt);

    SendMessageW(Frame(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_FALSE(StatusInSimpleMode());
    EXPECT_EQ(StatusText(), L"Ready");
}

INSTANTIATE_TEST_SUITE_P(
    Menus, ShellPrompt,
    ::testing::Values(
        PromptCase{"Open", ID_FILE_OPEN, MF_HILITE, L"Open an existing document"},
        PromptCase{"Exit", ID_APP_EXIT, MF_HILITE,
                   L"Quit the application; prompts to save documents"},
        PromptCase{"Toolbar", ID_VIEW_TOOLBAR, MF_HILITE, L"Show or hide the toolbar"},
        PromptCase{"About", ID_APP_ABOUT, MF_HILITE,
                   L"Display program information, version number and copyright"},
        PromptCase{"PrintSetup", ID_FILE_PRINT_SETUP, MF_HILITE,
                   L"Change the printer and printing options"},
        PromptCase{"ArrangeIcons", ID_WINDOW_ARRANGE, MF_HILITE,
                   L"Arrange icons at the bottom of the window"},
        PromptCase{"CopyItemHasNoString", ID_EDIT_COPY_ITEM, MF_HILITE, L""},
        PromptCase{"Popup", 0, MF_HILITE | MF_POPUP, L""},
        PromptCase{"SystemSize", SC_SIZE, MF_HILITE | MF_SYSMENU, L"Change the window size"},
        PromptCase{"SystemMove", SC_MOVE, MF_HILITE | MF_SYSMENU, L"Change the window position"},
        PromptCase{"SystemMinimize", SC_MINIMIZE, MF_HILITE | MF_SYSMENU,
                   L"Reduce the window to an icon"},
        PromptCase{"SystemMaximize", SC_MAXIMIZE, MF_HILITE | MF_SYSMENU,
                   L"Enlarge the window to full size"},
        PromptCase{"SystemNextWindow", SC_NEXTWINDOW, MF_HILITE | MF_SYSMENU,
                   L"Switch to the next document window"},
        PromptCase{"SystemPrevWindow", SC_PREVWINDOW, MF_HILITE | MF_SYSMENU,
                   L"Switch to the previous document window"},
        PromptCase{"SystemClose", SC_CLOSE, MF_HILITE | MF_SYSMENU,
                   L"Close the active window and prompts to save the documents"},
        PromptCase{"SystemRestore", SC_RESTORE, MF_HILITE | MF_SYSMENU,
                   L"Restore the window to normal size"},
        PromptCase{"SystemTaskList", SC_TASKLIST, MF_HILITE | MF_SYSMENU, L"Activate Task List"},
        PromptCase{"FirstWindowInList", 0xFF00, MF_HILITE, L"Activate this window"},
        PromptCase{"FourthWindowInList", 0xFF03, MF_HILITE, L"Activate this window"}),
    [](const ::testing::TestParamInfo<PromptCase>& info) { return std::string(info.param.name); });

struct ToolTipCase {
    const char* name;
    UINT command;
    const wchar_t* tip;
};

class ShellToolTip : public ShellFrameTest, public ::testing::WithParamInterface<ToolTipCase> {};

TEST_P(ShellToolTip, ToolBarButtonShowsTheSecondHalfOfItsString) {
    HWND tips = reinterpret_cast<HWND>(SendMessageW(m_frame.GetToolBar(), TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tips, nullptr);
    NMTTDISPINFOW request = {};
    request.hdr.hwndFrom = tips;
    request.hdr.idFrom = GetParam().command;
    request.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(Frame(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
    ASSERT_NE(request.lpszText, nullptr);
    EXPECT_STREQ(request.lpszText, GetParam().tip);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ShellToolTip,
    ::testing::Values(ToolTipCase{"Open", ID_FILE_OPEN, L"Open"},
                      ToolTipCase{"CopyRows", ID_EDIT_COPY_ROWS, L"Copy"},
                      ToolTipCase{"Find", ID_EDIT_FIND, L"Find"},
                      ToolTipCase{"Refresh", ID_VIEW_REFRESH, L"Refresh"},
                      ToolTipCase{"About", ID_APP_ABOUT, L"About"},
                      ToolTipCase{"HorizontalTile", ID_WINDOW_TILE_HORZ, L"Tile Windows"},
                      ToolTipCase{"VerticalTile", ID_WINDOW_TILE_VERT, L"Tile Windows"}),
    [](const ::testing::TestParamInfo<ToolTipCase>& info) { return std::string(info.param.name); });

// --- The About box ----------------------------------------------------------------

TEST_F(ShellFrame, AboutShowsTheVersionFromTheVersionResourceOverTheFrame) {
    DialogWatcher watcher;
    Command(ID_APP_ABOUT);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    const SeenDialog& about = watcher.Seen()[0];
    EXPECT_EQ(about.caption, L"About");
    EXPECT_EQ(about.textById.at(IDC_VERSION), L"1.0.18.0");
    EXPECT_EQ(about.textById.at(IDOK), L"OK");
    EXPECT_TRUE(about.hasIcon);
    EXPECT_NE(std::find(about.staticTexts.begin(), about.staticTexts.end(), L"velk Application"),
              about.staticTexts.end());
    EXPECT_EQ(about.owner, Frame());

    RECT frame = {};
    GetWindowRect(Frame(), &frame);
    EXPECT_NEAR((about.rect.left + about.rect.right) / 2, (frame.left + frame.right) / 2, 1);
    EXPECT_NEAR((about.rect.top + about.rect.bottom) / 2, (frame.top + frame.bottom) / 2, 1);
}

}  // namespace

}  // namespace velk
