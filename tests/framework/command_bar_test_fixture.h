#pragma once
// A frame with a command bar across its top and an MDI client below it, the way
// the shell lays them out, with the thread's message loop registered so that the
// bar sees keys as it does in the program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_bar_test_resource.h"
#include "command_bar_test_windows.h"
#include "framework/message_loop.h"
#include "framework/module.h"

namespace velk {

// Test frames are pop-ups: a window manager would manage a captioned window, and
// under a bare X server wine then waits for it on every hide.
constexpr DWORD kTestWindowStyle = WS_POPUP | WS_BORDER | WS_SYSMENU;

class CommandBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        GetAppModule().AddMessageLoop(&loop);
        // Keep the real pointer away from the bar: its moves must not hover-track.
        ::SetCursorPos(0, ::GetSystemMetrics(SM_CYSCREEN) - 1);
        RECT place{40, 40, 720, 440};
        ASSERT_TRUE(host.Create(nullptr, &place, L"Bar host", kTestWindowStyle | WS_CLIPCHILDREN));
        RECT barRect{0, 0, 660, 26};
        ASSERT_TRUE(bar.Create(host, &barRect));
        frameMenu = LoadMenu(IDR_BAR_FRAME_MENU);
        ASSERT_TRUE(bar.AttachMenu(frameMenu));
        CLIENTCREATESTRUCT clientInfo{nullptr, 0xFF00};
        client = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                                   WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 30,
                                   660, 320, host, reinterpret_cast<HMENU>(0xE900),
                                   ::GetModuleHandleW(nullptr), &clientInfo);
        ASSERT_TRUE(client);
    }

    void TearDown() override {
        host.DestroyWindow();
        for (HMENU menu : childMenus) ::DestroyMenu(menu);
        ::DestroyMenu(frameMenu);
        GetAppModule().RemoveMessageLoop();
    }

    static HMENU LoadMenu(UINT id) {
        return ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
    }

    HWND NewChild() {
        HMENU menu = LoadMenu(IDR_BAR_CHILD_MENU);
        childMenus.push_back(menu);
        auto* child = new CBarChild(menu, frameMenu);
        HWND hwnd = child->Create(client, nullptr, L"Document");
        if (!hwnd) delete child;
        return hwnd;
    }

    std::vector<std::wstring> ButtonTexts() const {
        std::vector<std::wstring> texts;
        const int count = static_cast<int>(bar.SendMessage(TB_BUTTONCOUNT));
        for (int i = 0; i < count; ++i) {
            TBBUTTON button{};
            bar.SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(&button));
            wchar_t text[64] = {};
            bar.SendMessage(TB_GETBUTTONTEXTW, static_cast<WPARAM>(button.idCommand),
                            reinterpret_cast<LPARAM>(text));
            texts.push_back(text);
        }
        return texts;
    }

    POINT ButtonCentre(int index) const {
        RECT rect{};
        bar.SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&rect));
        return CentreOf(rect);
    }

    HMENU Popup(int index) const { return ::GetSubMenu(bar.GetMenu(), index); }

    // Runs the queued messages with a safety net: a popup still open after a few
    // seconds is closed and the test told so.
    void Pump() {
        ::SetTimer(host, CBarHost::kSafetyTimer, 4000, nullptr);
        PumpMessages(loop);
        ::KillTimer(host, CBarHost::kSafetyTimer);
        EXPECT_FALSE(host.timedOut) << "a popup stayed open";
    }

    CMessageLoop loop;
    CBarHost host;
    CMDICommandBarCtrl bar;
    HMENU frameMenu = nullptr;
    std::vector<HMENU> childMenus;
    HWND client = nullptr;
};

}  // namespace velk
