// The command bar's buttons, menu images and its following of the MDI client.
#include <string>
#include <vector>

#include "command_bar_test_fixture.h"

namespace velk {

namespace {

using Texts = std::vector<std::wstring>;

TEST_F(CommandBarTest, ShowsEachTopLevelPopupAsAButtonWithItsMnemonic) {
    EXPECT_EQ(ButtonTexts(), (Texts{L"&File", L"&View", L"&Help"}));
    EXPECT_EQ(bar.GetMenu(), frameMenu);
    EXPECT_EQ(bar.GetStyle() & (TBSTYLE_FLAT | TBSTYLE_LIST), DWORD{TBSTYLE_FLAT | TBSTYLE_LIST});
}

TEST_F(CommandBarTest, NoMenuGivesNoButtonsAndAForeignHandleChangesNothing) {
    EXPECT_FALSE(bar.AttachMenu(reinterpret_cast<HMENU>(static_cast<UINT_PTR>(0x7FFF1234))));
    EXPECT_EQ(ButtonTexts().size(), 3u);
    EXPECT_TRUE(bar.AttachMenu(nullptr));
    EXPECT_TRUE(ButtonTexts().empty());
    EXPECT_FALSE(bar.OpenPopup(0, false));
}

// ---- Images --------------------------------------------------------------------------

TEST_F(CommandBarTest, EachStripImageBelongsToTheCommandOfItsButton) {
    ASSERT_TRUE(bar.LoadImages(IDR_BAR_IMAGES));
    EXPECT_EQ(bar.Images().Count(), 3);
    EXPECT_EQ(bar.Images().IndexOf(ID_BAR_OPEN), 0);
    EXPECT_EQ(bar.Images().IndexOf(ID_BAR_COPY), 1);  // the separator takes no image
    EXPECT_EQ(bar.Images().IndexOf(ID_BAR_FIND), 2);
    EXPECT_EQ(bar.Images().IndexOf(ID_BAR_EXIT), -1);

    // Items with an image ask the bar to draw it; the others stay plain.
    auto bitmapOf = [](HMENU menu, UINT command) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_BITMAP;
        ::GetMenuItemInfoW(menu, command, FALSE, &item);
        return item.hbmpItem;
    };
    EXPECT_EQ(bitmapOf(Popup(0), ID_BAR_OPEN), HBMMENU_CALLBACK);
    EXPECT_EQ(bitmapOf(Popup(0), ID_BAR_EXIT), nullptr);
}

struct DamagedStrip {
    const char* name;
    UINT id;
};

class DamagedStripTest : public CommandBarTest,
                         public ::testing::WithParamInterface<DamagedStrip> {};

TEST_P(DamagedStripTest, LoadsNoImages) {
    ASSERT_TRUE(bar.LoadImages(IDR_BAR_IMAGES));
    EXPECT_FALSE(bar.LoadImages(GetParam().id));
    EXPECT_EQ(bar.Images().Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Resources, DamagedStripTest,
                         ::testing::Values(DamagedStrip{"BadVersion", IDR_BAR_BAD_VERSION},
                                           DamagedStrip{"CountPastTheEnd", IDR_BAR_COUNT_PAST_END},
                                           DamagedStrip{"ZeroWidth", IDR_BAR_ZERO_WIDTH},
                                           DamagedStrip{"NoBitmap", IDR_BAR_NO_BITMAP},
                                           DamagedStrip{"ShortHeader", IDR_BAR_SHORT_HEADER},
                                           DamagedStrip{"Missing", 399}),
                         [](const ::testing::TestParamInfo<DamagedStrip>& info) {
                             return info.param.name;
                         });

// Draws the Open image (a red square on mask grey) into a white item through the
// menu's owner-draw messages and reads the pixels back.
TEST_F(CommandBarTest, DrawsTheImageInTheMenuWithItsMaskTransparent) {
    ASSERT_TRUE(bar.LoadImages(IDR_BAR_IMAGES));
    MEASUREITEMSTRUCT measure{ODT_MENU, 0, ID_BAR_OPEN, 0, 0, 0};
    ASSERT_TRUE(bar.SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
    EXPECT_GE(measure.itemWidth, 16u);
    EXPECT_EQ(measure.itemHeight, 15u);

    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP canvas = ::CreateCompatibleBitmap(screen, 40, 20);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ previous = ::SelectObject(dc, canvas);
    auto drawAt = [&](int left, UINT state) {
        RECT area{left, 2, left + 16, 17};
        DRAWITEMSTRUCT draw{ODT_MENU, 0, ID_BAR_OPEN, ODA_DRAWENTIRE, state, nullptr, dc, area, 0};
        return bar.SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    };
    RECT all{0, 0, 40, 20};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    EXPECT_TRUE(drawAt(0, 0));
    EXPECT_TRUE(drawAt(20, ODS_GRAYED));
    EXPECT_EQ(::GetPixel(dc, 0 + 7, 2 + 7), RGB(255, 0, 0));
    EXPECT_EQ(::GetPixel(dc, 0 + 1, 2 + 1), RGB(255, 255, 255));  // the mask let white through
    EXPECT_NE(::GetPixel(dc, 20 + 7, 2 + 7), RGB(255, 0, 0));     // greyed out
    ::SelectObject(dc, previous);
    ::DeleteObject(canvas);
    ::DeleteDC(dc);
}

// ---- Following the MDI client --------------------------------------------------------

TEST_F(CommandBarTest, ShowsTheActiveDocumentsMenuAndTheFramesAgainAfterTheLastCloses) {
    ASSERT_TRUE(bar.SetMDIClient(client));
    HWND first = NewChild();
    ASSERT_TRUE(first);
    EXPECT_EQ(bar.GetMenu(), childMenus[0]);
    EXPECT_EQ(ButtonTexts(), (Texts{L"&File", L"&Edit", L"&View", L"&Window", L"&Help"}));
    EXPECT_EQ(::GetMenu(host), nullptr) << "the frame's own menu bar stays empty";
    // The client still keeps its window list in the installed menu's Window popup.
    EXPECT_NE(::GetMenuState(::GetSubMenu(childMenus[0], 3), 0xFF00, MF_BYCOMMAND), UINT(-1));

    HWND second = NewChild();
    ASSERT_TRUE(second);
    EXPECT_EQ(bar.GetMenu(), childMenus[1]);
    ::SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first), 0);
    EXPECT_EQ(bar.GetMenu(), childMenus[0]);

    ::SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(first), 0);
    EXPECT_EQ(bar.GetMenu(), childMenus[1]);
    ::SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(second), 0);
    EXPECT_EQ(bar.GetMenu(), frameMenu);
    EXPECT_EQ(ButtonTexts(), (Texts{L"&File", L"&View", L"&Help"}));
    EXPECT_EQ(::GetMenu(host), nullptr);
}

TEST_F(CommandBarTest, ShowsTheMaximisedDocumentsIconAndButtonsOnlyWhileItIsMaximised) {
    ASSERT_TRUE(bar.SetMDIClient(client));
    HWND child = NewChild();
    ASSERT_TRUE(child);
    EXPECT_EQ(bar.GetMaximizedChild(), nullptr);
    const RECT noButton = bar.PartRect(CMDICommandBarCtrl::Part::Close);
    EXPECT_TRUE(::IsRectEmpty(&noButton));

    ::SendMessageW(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
    EXPECT_EQ(bar.GetMaximizedChild(), child);
    const RECT icon = bar.PartRect(CMDICommandBarCtrl::Part::Icon);
    RECT firstButton{};
    bar.SendMessage(TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&firstButton));
    EXPECT_GT(icon.right, 0);
    EXPECT_GE(firstButton.left, icon.right) << "the menu moves over for the icon";
    const RECT minimize = bar.PartRect(CMDICommandBarCtrl::Part::Minimize);
    const RECT restore = bar.PartRect(CMDICommandBarCtrl::Part::Restore);
    const RECT close = bar.PartRect(CMDICommandBarCtrl::Part::Close);
    EXPECT_LE(minimize.right, restore.left);
    EXPECT_LT(restore.right, close.left);
    EXPECT_LE(close.right, 660);

    ::SendMessageW(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
    EXPECT_EQ(bar.GetMaximizedChild(), nullptr);
    bar.SendMessage(TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&firstButton));
    EXPECT_LT(firstButton.left, icon.right);
}

TEST_F(CommandBarTest, NoticesAMaximiseFromTheDocumentsOwnCaption) {
    ASSERT_TRUE(bar.SetMDIClient(client));
    HWND child = NewChild();
    ASSERT_TRUE(child);
    ::SendMessageW(child, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_EQ(bar.GetMaximizedChild(), child);
    ::SendMessageW(child, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(bar.GetMaximizedChild(), nullptr);
}

struct DecorationClick {
    const char* name;
    CMDICommandBarCtrl::Part part;
    bool releaseInside;
};

class DecorationClickTest : public CommandBarTest,
                            public ::testing::WithParamInterface<DecorationClick> {};

TEST_P(DecorationClickTest, ActsOnTheMaximisedDocumentOnlyWhenReleasedOnTheButton) {
    ASSERT_TRUE(bar.SetMDIClient(client));
    HWND child = NewChild();
    ASSERT_TRUE(child);
    ::SendMessageW(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
    const RECT button = bar.PartRect(GetParam().part);
    const POINT inside = CentreOf(button);
    const POINT release = GetParam().releaseInside ? inside : POINT{inside.x, button.bottom + 40};
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(inside));
    bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, PointParam(release));
    bar.SendMessage(WM_LBUTTONUP, 0, PointParam(release));
    Pump();

    if (!GetParam().releaseInside) {
        EXPECT_TRUE(::IsZoomed(child));
        EXPECT_EQ(bar.GetMaximizedChild(), child);
        return;
    }
    switch (GetParam().part) {
    case CMDICommandBarCtrl::Part::Minimize: EXPECT_TRUE(::IsIconic(child)); break;
    case CMDICommandBarCtrl::Part::Restore:
        EXPECT_FALSE(::IsZoomed(child));
        EXPECT_FALSE(::IsIconic(child));
        break;
    default:
        EXPECT_FALSE(::IsWindow(child));
        EXPECT_EQ(bar.GetMenu(), frameMenu);
        break;
    }
    EXPECT_EQ(bar.GetMaximizedChild(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, DecorationClickTest,
    ::testing::Values(DecorationClick{"Minimize", CMDICommandBarCtrl::Part::Minimize, true},
                      DecorationClick{"Restore", CMDICommandBarCtrl::Part::Restore, true},
                      DecorationClick{"Close", CMDICommandBarCtrl::Part::Close, true},
                      DecorationClick{"CloseReleasedOutside", CMDICommandBarCtrl::Part::Close,
                                      false}),
    [](const ::testing::TestParamInfo<DecorationClick>& info) { return info.param.name; });

TEST_F(CommandBarTest, StopsFollowingAClientThatIsDestroyed) {
    ASSERT_TRUE(bar.SetMDIClient(client));
    HWND child = NewChild();
    ::SendMessageW(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
    ::DestroyWindow(client);
    EXPECT_EQ(bar.GetMDIClient(), nullptr);
    EXPECT_EQ(bar.GetMaximizedChild(), nullptr);
    Pump();
}

}  // namespace

}  // namespace velk
