// The add-on link in the frame: which presses and keys activate it. Activation is
// observed through the recording mailer, started when the installer is present.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "shell_dialog_watcher.h"
#include "shell_frame_fixture.h"
#include "windows_test.h"

namespace velk {

namespace {

std::wstring Installer() { return test::TestProgramFolder() + L"orbelsetup.msi"; }
std::wstring Record() { return test::TestProgramFolder() + L"mailrun_command_line.txt"; }

bool Recorded() { return GetFileAttributesW(Record().c_str()) != INVALID_FILE_ATTRIBUTES; }

class ShellLink : public ShellFrameTest {
protected:
    void SetUp() override {
        ShellFrameTest::SetUp();
        std::ofstream(Installer().c_str()) << "installer";
        DeleteFileW(Record().c_str());
    }
    void TearDown() override {
        DeleteFileW(Installer().c_str());
        DeleteFileW(Record().c_str());
        ShellFrameTest::TearDown();
    }

    HWND Link() const { return m_frame.m_mailToLink; }

    POINT Inside() const {
        const RECT& r = m_frame.m_mailToLink.GetLinkRect();
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    POINT Outside() const {
        const RECT& r = m_frame.m_mailToLink.GetLinkRect();
        return POINT{r.right + 5, r.bottom + 5};
    }

    void Mouse(UINT message, POINT at) {
        SendMessageW(Link(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                     MAKELPARAM(at.x, at.y));
    }

    // Whether the mailer was started, waiting for it. Wine has been seen to take
    // over 3 s to start a process on a busy machine; the wait ends as soon as
    // the record appears.
    bool Activated() {
        bool started = test::PumpUntil([] { return Recorded(); }, 15000);
        DeleteFileW(Record().c_str());
        return started;
    }
    bool NotActivated() {
        Sleep(400);
        Pump();
        return !Recorded();
    }
};

TEST_F(ShellLink, PressAndReleaseInsideTheLabelSendsTheAddOn) {
    Mouse(WM_LBUTTONDOWN, Inside());
    EXPECT_EQ(GetCapture(), Link());
    EXPECT_EQ(GetFocus(), Link());
    Mouse(WM_LBUTTONUP, Inside());
    EXPECT_NE(GetCapture(), Link());
    EXPECT_TRUE(Activated());
    EXPECT_FALSE(m_frame.m_mailToLink.IsVisited()) << "the link never turns to the visited colour";
}

TEST_F(ShellLink, PressOutsideThenReleaseInsideDoesNothing) {
    Mouse(WM_LBUTTONDOWN, Outside());
    EXPECT_NE(GetCapture(), Link());
    Mouse(WM_LBUTTONUP, Inside());
    EXPECT_TRUE(NotActivated());
}

TEST_F(ShellLink, PressInsideThenReleaseOutsideDoesNothing) {
    Mouse(WM_LBUTTONDOWN, Inside());
    Mouse(WM_MOUSEMOVE, Outside());
    Mouse(WM_LBUTTONUP, Outside());
    EXPECT_NE(GetCapture(), Link());
    EXPECT_TRUE(NotActivated());
}

TEST_F(ShellLink, EnterAndSpaceActivateTheFocusedLinkAndOtherKeysDoNot) {
    EXPECT_EQ(SendMessageW(Link(), WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS, DLGC_WANTCHARS);
    Mouse(WM_LBUTTONDOWN, Inside());
    Mouse(WM_LBUTTONUP, Inside());
    ASSERT_TRUE(Activated());
    ASSERT_EQ(GetFocus(), Link());

    SendMessageW(Link(), WM_CHAR, VK_RETURN, 1);
    EXPECT_TRUE(Activated());
    SendMessageW(Link(), WM_CHAR, L' ', 1);
    EXPECT_TRUE(Activated());
    SendMessageW(Link(), WM_CHAR, L'a', 1);
    EXPECT_TRUE(NotActivated());
}

TEST_F(ShellLink, SendAddOnAnswersTrueAndMailsTheInstaller) {
    EXPECT_TRUE(m_frame.m_mailToLink.SendAddOn());
    EXPECT_TRUE(Activated());
}

}  // namespace

}  // namespace velk
