// Opening the command bar's popups by keyboard and mouse, with the messages a
// user's keys and clicks put in the queue.
#include <vector>

#include "command_bar_test_fixture.h"

namespace velk {

namespace {

// Key message parameters: bit 29 says Alt is down, bit 30 that the key was down
// before, bit 31 that it is being released.
constexpr LPARAM kAltDown = LPARAM{1} << 29;
constexpr LPARAM kRelease = (LPARAM{1} << 30) | (LPARAM{1} << 31);

class CommandBarKeysTest : public CommandBarTest {
protected:
    void Post(UINT message, WPARAM wParam, LPARAM lParam = 0) const {
        host.PostMessage(message, wParam, lParam);
    }
    void PressAlt() const { Post(WM_SYSKEYDOWN, VK_MENU, kAltDown); }
    void ReleaseAlt() const { Post(WM_SYSKEYUP, VK_MENU, kRelease); }
    void AltAndLetter(wchar_t letter) const {
        PressAlt();
        Post(WM_SYSCHAR, letter, kAltDown);
        ReleaseAlt();
    }
    void PressF10() const {
        Post(WM_SYSKEYDOWN, VK_F10);
        Post(WM_SYSKEYUP, VK_F10, kRelease);
    }
    void Key(WPARAM key) const { Post(WM_KEYDOWN, key); }

    // A script action: a key typed into the open popup.
    std::function<void()> MenuKey(WPARAM key) const {
        HWND target = bar;
        return [target, key] { ::PostMessageW(target, WM_KEYDOWN, key, 0); };
    }
    std::function<void()> MenuMouse(UINT message, POINT point) const {
        HWND target = bar;
        return [target, message, point] { ::PostMessageW(target, message, 0, PointParam(point)); };
    }

    std::vector<HMENU> Popups(std::initializer_list<int> indexes) const {
        std::vector<HMENU> menus;
        for (int index : indexes) menus.push_back(Popup(index));
        return menus;
    }
};

TEST_F(CommandBarKeysTest, AltAloneSelectsTheFirstButtonAndAgainLeaves) {
    PressAlt();
    ReleaseAlt();
    Pump();
    EXPECT_TRUE(bar.IsKeyboardMode());
    EXPECT_EQ(bar.GetHotItem(), 0);
    EXPECT_TRUE(host.opened.empty()) << "no popup opens yet";

    PressAlt();
    ReleaseAlt();
    Pump();
    EXPECT_FALSE(bar.IsKeyboardMode());
}

TEST_F(CommandBarKeysTest, AltWithAnotherKeyIsNotTheMenuKey) {
    PressAlt();
    Post(WM_SYSKEYDOWN, VK_BACK, kAltDown);
    ReleaseAlt();
    Pump();
    EXPECT_FALSE(bar.IsKeyboardMode());
}

TEST_F(CommandBarKeysTest, F10SelectsAndArrowsMoveAroundTheEnds) {
    PressF10();
    Pump();
    ASSERT_TRUE(bar.IsKeyboardMode());
    EXPECT_EQ(bar.GetHotItem(), 0);
    Key(VK_RIGHT);
    Pump();
    EXPECT_EQ(bar.GetHotItem(), 1);
    Key(VK_LEFT);
    Key(VK_LEFT);
    Pump();
    EXPECT_EQ(bar.GetHotItem(), 2) << "Left from the first wraps to the last";
    Key(VK_ESCAPE);
    Pump();
    EXPECT_FALSE(bar.IsKeyboardMode());
}

struct Mnemonic {
    const char* name;
    wchar_t letter;
    int popup;
};

class MnemonicTest : public CommandBarKeysTest, public ::testing::WithParamInterface<Mnemonic> {};

TEST_P(MnemonicTest, AltAndTheLetterOpensItsPopupWithTheFirstItemSelected) {
    host.script = {MenuKey(VK_ESCAPE)};
    AltAndLetter(GetParam().letter);
    Pump();
    EXPECT_EQ(host.opened, Popups({GetParam().popup}));
    ASSERT_FALSE(host.selected.empty());
    EXPECT_EQ(host.selected.front(), ::GetMenuItemID(Popup(GetParam().popup), 0));
    // Esc closes the popup only: its button stays selected.
    EXPECT_TRUE(bar.IsKeyboardMode());
    EXPECT_EQ(bar.GetHotItem(), GetParam().popup);
}

INSTANTIATE_TEST_SUITE_P(Letters, MnemonicTest,
                         ::testing::Values(Mnemonic{"LowerF", L'f', 0}, Mnemonic{"UpperV", L'V', 1},
                                           Mnemonic{"LowerH", L'h', 2}),
                         [](const ::testing::TestParamInfo<Mnemonic>& info) {
                             return info.param.name;
                         });

TEST_F(CommandBarKeysTest, ALetterThatIsNoMnemonicIsLeftToTheWindow) {
    MSG msg{host, WM_SYSCHAR, L'q', kAltDown, 0, {}};
    EXPECT_FALSE(loop.PreTranslateMessage(&msg));
    EXPECT_TRUE(host.opened.empty());
}

TEST_F(CommandBarKeysTest, EnterOpensTheSelectedPopupAndRightAndLeftMoveBetweenPopups) {
    host.script = {MenuKey(VK_RIGHT), MenuKey(VK_LEFT), MenuKey(VK_LEFT), MenuKey(VK_ESCAPE)};
    PressF10();
    Key(VK_RIGHT);
    Key(VK_RETURN);
    Pump();
    EXPECT_EQ(host.opened, Popups({1, 2, 1, 0}));
    EXPECT_EQ(bar.GetHotItem(), 0);
    Key(VK_ESCAPE);
    Pump();
    EXPECT_FALSE(bar.IsKeyboardMode());
}

TEST_F(CommandBarKeysTest, DownOpensAndLeftFromTheFirstPopupGoesToTheLast) {
    host.script = {MenuKey(VK_LEFT), MenuKey(VK_ESCAPE)};
    PressF10();
    Key(VK_DOWN);
    Pump();
    EXPECT_EQ(host.opened, Popups({0, 2}));
}

TEST_F(CommandBarKeysTest, ChoosingAnItemSendsItsCommandToTheOwner) {
    host.script = {MenuKey(VK_RETURN)};  // the first item is already selected
    AltAndLetter(L'f');
    Pump();
    EXPECT_EQ(host.commands, (std::vector<UINT>{ID_BAR_OPEN}));
    EXPECT_FALSE(bar.IsKeyboardMode());
    EXPECT_EQ(bar.GetOpenPopup(), -1);
}

TEST_F(CommandBarKeysTest, AClickOpensAPopupAndHoveringMovesToAnother) {
    host.script = {MenuMouse(WM_MOUSEMOVE, ButtonCentre(0)), MenuKey(VK_ESCAPE)};
    bar.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(ButtonCentre(2)));
    Pump();
    EXPECT_EQ(host.opened, Popups({2, 0}));
}

TEST_F(CommandBarKeysTest, AClickOnTheOpenPopupsButtonClosesIt) {
    host.script = {MenuMouse(WM_LBUTTONDOWN, ButtonCentre(1))};
    bar.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(ButtonCentre(1)));
    Pump();
    EXPECT_EQ(host.opened, Popups({1}));
    EXPECT_FALSE(bar.IsKeyboardMode());
    EXPECT_TRUE(host.commands.empty());
}

TEST_F(CommandBarKeysTest, AltMinusOpensTheMaximisedDocumentsSystemMenu) {
    ASSERT_TRUE(bar.SetMDIClient(client));
    HWND child = NewChild();
    ASSERT_TRUE(child);
    ::SendMessageW(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
    host.script = {MenuKey(VK_ESCAPE)};
    AltAndLetter(L'-');
    Pump();
    EXPECT_EQ(host.opened, (std::vector<HMENU>{::GetSystemMenu(child, FALSE)}));
}

TEST_F(CommandBarKeysTest, KeysOfAnotherWindowAreLeftAlone) {
    CBarHost other;
    RECT place{60, 60, 300, 200};
    ASSERT_TRUE(other.Create(nullptr, &place, L"Other", kTestWindowStyle));
    MSG press{other, WM_SYSKEYDOWN, VK_MENU, kAltDown, 0, {}};
    MSG release{other, WM_SYSKEYUP, VK_MENU, kRelease, 0, {}};
    EXPECT_FALSE(loop.PreTranslateMessage(&press));
    EXPECT_FALSE(loop.PreTranslateMessage(&release));
    EXPECT_FALSE(bar.IsKeyboardMode());
    other.DestroyWindow();
}

}  // namespace

}  // namespace velk
