// Toolbars from toolbar resources, rebar bands and the status bar.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/bars.h"
#include "framework/window_impl.h"
#include "framework_test_resource.h"
#include "framework_test_windows.h"

namespace velk {

namespace {

struct ResourceCase {
    const char* name;
    std::vector<uint16_t> words;
    size_t trim;  // bytes cut off the end
    bool valid;
    std::vector<WORD> items;
};

class ToolBarResourceParsing : public ::testing::TestWithParam<ResourceCase> {};

TEST_P(ToolBarResourceParsing, ReadsNoFurtherThanTheResource) {
    const ResourceCase& c = GetParam();
    std::vector<unsigned char> bytes;
    for (uint16_t word : c.words) {
        bytes.push_back(static_cast<unsigned char>(word & 0xFF));
        bytes.push_back(static_cast<unsigned char>(word >> 8));
    }
    bytes.resize(bytes.size() - c.trim);
    ToolBarResource parsed;
    EXPECT_EQ(c.valid, ParseToolBarResource(bytes.data(), bytes.size(), parsed));
    if (c.valid) {
        EXPECT_EQ(16, parsed.imageWidth);
        EXPECT_EQ(15, parsed.imageHeight);
        EXPECT_EQ(c.items, parsed.items);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Framework, ToolBarResourceParsing,
    ::testing::Values(
        ResourceCase{"ButtonsAndSeparators",
                     {1, 16, 15, 3, 0xE101, 0, 0xE122},
                     0,
                     true,
                     {0xE101, 0, 0xE122}},
        ResourceCase{"NoItems", {1, 16, 15, 0}, 0, true, {}},
        ResourceCase{"ItemsEndExactlyAtTheEnd", {1, 16, 15, 1, 0xE101}, 0, true, {0xE101}},
        ResourceCase{"LastItemOneByteShort", {1, 16, 15, 1, 0xE101}, 1, false, {}},
        ResourceCase{"CountBeyondTheData", {1, 16, 15, 0xFFFF, 0xE101}, 0, false, {}},
        ResourceCase{"HeaderCut", {1, 16, 15}, 0, false, {}},
        ResourceCase{"OtherVersion", {2, 16, 15, 1, 0xE101}, 0, false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// A plain top-level window for bars to live in.
class CHost : public CWindowImpl<CHost> {};

class Bars : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Create(nullptr, nullptr, L"host", WS_OVERLAPPEDWINDOW));
    }
    CHost host;
};

std::vector<int> ButtonCommands(HWND toolBar) {
    std::vector<int> commands;
    const int count = static_cast<int>(::SendMessageW(toolBar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button{};
        ::SendMessageW(toolBar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        commands.push_back((button.fsStyle & BTNS_SEP) ? 0 : button.idCommand);
    }
    return commands;
}

TEST_F(Bars, ToolBarHasTheResourcesButtonsInOrder) {
    HWND toolBar =
        CreateToolBarFromResource(host, IDR_TEST_FRAME, false, fwtest::kToolBarStyle, 0xE800);
    ASSERT_TRUE(toolBar);
    EXPECT_EQ((std::vector<int>{ID_TEST_OPEN, 0, ID_TEST_COPY, ID_TEST_FIND}),
              ButtonCommands(toolBar));
    EXPECT_EQ(0xE800, ::GetDlgCtrlID(toolBar));
    TBBUTTON find{};
    ::SendMessageW(toolBar, TB_GETBUTTON, 3, reinterpret_cast<LPARAM>(&find));
    EXPECT_EQ(2, find.iBitmap) << "images are counted without the separators";

    HWND withSeparator =
        CreateToolBarFromResource(host, IDR_TEST_FRAME, true, fwtest::kToolBarStyle, 1);
    EXPECT_EQ((std::vector<int>{0, ID_TEST_OPEN, 0, ID_TEST_COPY, ID_TEST_FIND}),
              ButtonCommands(withSeparator));
}

TEST_F(Bars, MissingToolBarResourceGivesNoWindow) {
    EXPECT_EQ(nullptr, CreateToolBarFromResource(host, 999, false, fwtest::kToolBarStyle, 1));
}

REBARBANDINFOW BandInfo(HWND rebar, int index) {
    REBARBANDINFOW band{};
    band.cbSize = REBARBANDINFOW_V6_SIZE;
    band.fMask =
        RBBIM_ID | RBBIM_STYLE | RBBIM_SIZE | RBBIM_CHILDSIZE | RBBIM_IDEALSIZE | RBBIM_CHILD;
    ::SendMessageW(rebar, RB_GETBANDINFOW, index, reinterpret_cast<LPARAM>(&band));
    return band;
}

TEST_F(Bars, ReBarBandsAreMeasuredFromTheirWindows) {
    HWND rebar = CreateReBar(host, fwtest::kReBarStyle, 0xE800);
    HWND toolBar =
        CreateToolBarFromResource(host, IDR_TEST_FRAME, false, fwtest::kToolBarStyle, 0xE800);
    HWND label = ::CreateWindowExW(0, L"STATIC", L"label", WS_CHILD | WS_VISIBLE, 0, 0, 90, 17,
                                   host, nullptr, nullptr, nullptr);
    RECT first{}, last{};
    ::SendMessageW(toolBar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    ::SendMessageW(toolBar, TB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&last));
    const int buttonHeight = HIWORD(::SendMessageW(toolBar, TB_GETBUTTONSIZE, 0, 0));

    ASSERT_TRUE(AddReBarBand(rebar, toolBar, false));
    ASSERT_TRUE(AddReBarBand(rebar, label, true));

    const REBARBANDINFOW tools = BandInfo(rebar, 0);
    EXPECT_EQ(kFirstBandId, tools.wID);
    EXPECT_EQ(static_cast<UINT>(RBBS_CHILDEDGE | RBBS_USECHEVRON), tools.fStyle & ~RBBS_HIDDEN);
    EXPECT_EQ(static_cast<UINT>(last.right), tools.cxIdeal);
    EXPECT_EQ(static_cast<UINT>(first.right), tools.cxMinChild);
    EXPECT_EQ(static_cast<UINT>(buttonHeight), tools.cyMinChild);
    EXPECT_TRUE(::SendMessageW(toolBar, TB_GETEXTENDEDSTYLE, 0, 0) & TBSTYLE_EX_HIDECLIPPEDBUTTONS);

    const REBARBANDINFOW text = BandInfo(rebar, 1);
    EXPECT_EQ(kFirstBandId + 1, text.wID);
    EXPECT_EQ(static_cast<UINT>(RBBS_CHILDEDGE | RBBS_BREAK), text.fStyle);
    EXPECT_EQ(90u, text.cxIdeal);
    EXPECT_EQ(0u, text.cxMinChild);
    EXPECT_EQ(17u, text.cyMinChild);
    EXPECT_EQ(1, FindReBarBand(rebar, kFirstBandId + 1));
    EXPECT_EQ(-1, FindReBarBand(rebar, kFirstBandId + 2));

    // Widening adds each band's borders to its width; the ideal width stays.
    const UINT before = BandInfo(rebar, 1).cx;
    RECT borders{};
    ::SendMessageW(rebar, RB_GETBANDBORDERS, 1, reinterpret_cast<LPARAM>(&borders));
    WidenReBarBandsByBorders(rebar);
    EXPECT_EQ(before + static_cast<UINT>(borders.left + borders.right), BandInfo(rebar, 1).cx);
    EXPECT_EQ(90u, BandInfo(rebar, 1).cxIdeal);
}

TEST_F(Bars, StatusBarShowsItsIdleTextAndPrompts) {
    HWND status = CreateStatusBar(host, 0xE001, fwtest::kStatusBarStyle, 0xE801);
    ASSERT_TRUE(status);
    EXPECT_EQ(0xE801, ::GetDlgCtrlID(status));
    EXPECT_EQ(L"Ready", fwtest::StatusPartText(status, 0));
    ShowStatusPrompt(status, L"a prompt");
    EXPECT_TRUE(::SendMessageW(status, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(L"a prompt", fwtest::StatusText(status));
    LeaveStatusPrompt(status);
    EXPECT_FALSE(::SendMessageW(status, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(L"Ready", fwtest::StatusPartText(status, 0));
}

}  // namespace

}  // namespace velk
