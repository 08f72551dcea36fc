// The hyperlink control: its measure, activation rules, fonts, colours and tooltip.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "framework/hyperlink.h"

namespace velk {

namespace {

const wchar_t kLabel[] = L"Send the add-on by mail";
const wchar_t kLink[] = L"mailto:someone@example.org";

class CLinkParent : public CWindowImpl<CLinkParent, CWindow, CFrameTraits> {
public:
    HFONT font = nullptr;  // what WM_GETFONT answers

    bool ProcessWindowMessage(CMessage& m) override {
        if (m.message != WM_GETFONT) return false;
        m.result = reinterpret_cast<LRESULT>(font);
        return true;
    }
};

class CTestLink : public CHyperLinkImpl<CTestLink> {
public:
    int navigations = 0;
    bool Navigate() override {
        ++navigations;
        return true;
    }
};

class HyperLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        RECT place{30, 30, 530, 230};
        // A pop-up: under a bare X server wine waits on every hide of a captioned window.
        ASSERT_TRUE(parent.Create(nullptr, &place, L"Link parent", WS_POPUP | WS_BORDER));
    }

    void TearDown() override {
        link.DestroyWindow();
        parent.DestroyWindow();
        if (parent.font) ::DeleteObject(parent.font);
    }

    // Creates the link as the frame does: measured within `width`, then sized to
    // its label unless `keepSize`.
    void CreateLink(int width = 1024, int height = 0, bool keepSize = false) {
        RECT rect{0, 0, width, height};
        ASSERT_TRUE(link.Create(parent, &rect));
        link.SetLabel(kLabel);
        link.SetHyperLink(kLink);
        SIZE ideal{};
        ASSERT_TRUE(link.GetIdealSize(&ideal));
        if (!keepSize)
            link.SetWindowPos(nullptr, 0, 0, ideal.cx, ideal.cy,
                              SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    SIZE TextExtent(const wchar_t* text) const {
        HDC dc = ::GetDC(link);
        HGDIOBJ previous = ::SelectObject(dc, link.GetLinkFont());
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, text, static_cast<int>(std::wcslen(text)), &extent);
        ::SelectObject(dc, previous);
        ::ReleaseDC(link, dc);
        return extent;
    }

    CLinkParent parent;
    CTestLink link;
};

TEST_F(HyperLinkTest, IdealSizeIsTheLabelsExtentInTheLinkFont) {
    CreateLink();
    SIZE ideal{};
    ASSERT_TRUE(link.GetIdealSize(&ideal));
    const SIZE text = TextExtent(kLabel);
    EXPECT_EQ(ideal.cx, text.cx);
    EXPECT_EQ(ideal.cy, text.cy);
    RECT client{};
    link.GetClientRect(&client);
    EXPECT_EQ(client.right, ideal.cx);
    EXPECT_EQ(client.bottom, ideal.cy);
}

TEST_F(HyperLinkTest, ALabelWiderThanItsWindowWraps) {
    // Room for the first words only (the link font measures as the GUI font does).
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ previous = ::SelectObject(screen, ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE firstWords{};
    ::GetTextExtentPoint32W(screen, L"Send the add-on", 15, &firstWords);
    ::SelectObject(screen, previous);
    ::ReleaseDC(nullptr, screen);
    const int narrow = firstWords.cx + 2;
    CreateLink(narrow);
    SIZE ideal{};
    ASSERT_TRUE(link.GetIdealSize(&ideal));
    EXPECT_LE(ideal.cx, narrow);
    EXPECT_GE(ideal.cy, 2 * TextExtent(kLabel).cy);
}

struct Click {
    const char* name;
    bool pressInside;
    bool releaseInside;
    int navigations;
};

class ClickTest : public HyperLinkTest, public ::testing::WithParamInterface<Click> {};

// The window is larger than the label, so that a point can be in the window but
// outside the link rectangle.
TEST_P(ClickTest, ActivatesOnlyForAPressAndAReleaseBothInsideTheLabel) {
    CreateLink(400, 60, true);
    const RECT label = link.GetLinkRect();
    const LPARAM inside = MAKELPARAM(label.left + 3, label.top + 3);
    const LPARAM outside = MAKELPARAM(label.right + 20, label.bottom + 10);
    link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, GetParam().pressInside ? inside : outside);
    if (GetParam().pressInside) {
        EXPECT_EQ(::GetFocus(), link.m_hWnd);
        EXPECT_EQ(::GetCapture(), link.m_hWnd);
    }
    link.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, GetParam().releaseInside ? inside : outside);
    link.SendMessage(WM_LBUTTONUP, 0, GetParam().releaseInside ? inside : outside);
    EXPECT_EQ(link.navigations, GetParam().navigations);
    EXPECT_NE(::GetCapture(), link.m_hWnd);
    EXPECT_FALSE(link.IsVisited()) << "an overridden navigation never marks the link visited";
}

INSTANTIATE_TEST_SUITE_P(Mouse, ClickTest,
                         ::testing::Values(Click{"PressAndReleaseInside", true, true, 1},
                                           Click{"DragOutAndReleaseOutside", true, false, 0},
                                           Click{"PressOutsideReleaseInside", false, true, 0},
                                           Click{"PressAndReleaseOutside", false, false, 0}),
                         [](const ::testing::TestParamInfo<Click>& info) {
                             return info.param.name;
                         });

TEST_F(HyperLinkTest, EnterAndSpaceActivateAndOtherCharactersDoNot) {
    CreateLink();
    EXPECT_EQ(link.SendMessage(WM_GETDLGCODE), LRESULT{DLGC_WANTCHARS});
    link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    link.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ASSERT_EQ(::GetFocus(), link.m_hWnd);
    for (wchar_t character : {L'\r', L' ', L'a', L'\t'}) link.SendMessage(WM_CHAR, character, 1);
    EXPECT_EQ(link.navigations, 3);  // the click, Enter and Space
}

TEST_F(HyperLinkTest, TheLinkFontIsAnUnderlinedCopyOfTheParentsFont) {
    parent.font = ::CreateFontW(-17, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                                0, 0, L"Tahoma");
    CreateLink();
    EXPECT_EQ(link.GetNormalFont(), parent.font);
    EXPECT_FALSE(link.OwnsFont());
    LOGFONTW linkFont{};
    ASSERT_TRUE(::GetObjectW(link.GetLinkFont(), sizeof(linkFont), &linkFont));
    EXPECT_TRUE(linkFont.lfUnderline);
    EXPECT_EQ(linkFont.lfHeight, -17);
    EXPECT_EQ(linkFont.lfWeight, FW_BOLD);
    EXPECT_STREQ(linkFont.lfFaceName, L"Tahoma");
}

TEST_F(HyperLinkTest, WithoutAParentFontTheSystemsControlFontIsUsed) {
    CreateLink();
    EXPECT_EQ(link.GetNormalFont(), ::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW linkFont{};
    ASSERT_TRUE(::GetObjectW(link.GetLinkFont(), sizeof(linkFont), &linkFont));
    EXPECT_TRUE(linkFont.lfUnderline);
}

TEST_F(HyperLinkTest, TheTooltipShowsTheLinkTextOverTheLinkRectangle) {
    CreateLink();
    HWND tip = link.GetToolTip();
    ASSERT_TRUE(tip);
    EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    wchar_t text[80] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = link;
    tool.uId = 1;
    tool.lpszText = text;
    ::SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, kLink);
    ASSERT_TRUE(::SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_TRUE(::EqualRect(&tool.rect, &link.GetLinkRect()));
}

TEST_F(HyperLinkTest, PaintsTheLabelInTheLinkColour) {
    CreateLink();
    const RECT area = link.GetLinkRect();
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP canvas = ::CreateCompatibleBitmap(screen, area.right, area.bottom);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ previous = ::SelectObject(dc, canvas);
    ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    link.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    int linkPixels = 0;
    for (int y = 0; y < area.bottom; ++y)
        for (int x = 0; x < area.right; ++x)
            linkPixels += ::GetPixel(dc, x, y) == CHyperLinkBase::kLinkColour;
    EXPECT_GE(linkPixels, area.right / 2) << "at least the underline";
    ::SelectObject(dc, previous);
    ::DeleteObject(canvas);
    ::DeleteDC(dc);
}

}  // namespace

}  // namespace velk
