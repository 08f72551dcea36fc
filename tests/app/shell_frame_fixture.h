// A real main frame for a test: created as start-up creates it, on a thread whose
// message loop is registered, and shown; destroyed again after the test. Helpers
// read back what a user sees of it: bands, check marks, the status line.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/main_frame.h"
#include "app/resource.h"
#include "framework/mdi_child.h"
#include "framework/message_loop.h"

namespace velk {

// A document window that notes every command it receives and handles none.
class CRecordingChild : public CMDIChildWindowImpl<CRecordingChild> {
public:
    static CWindowClassInfo& GetWndClassInfo();
    bool ProcessWindowMessage(CMessage& m) override;

    std::vector<std::pair<WPARAM, LPARAM>> commands;
};

// Sets the process up once for every shell test: common controls and the module.
void PrepareShellProcess();

class ShellFrameTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { PrepareShellProcess(); }
    void SetUp() override;
    void TearDown() override;

    // Opens a document window that records its commands; it is active afterwards.
    CRecordingChild& OpenChild();

    // Processes what is waiting in the queue, as the loop would between inputs.
    void Pump();

    HWND Frame() const { return m_frame.m_hWnd; }
    HWND ReBar() const { return m_frame.m_hWndTopBar; }
    HWND StatusBar() const { return m_frame.m_hWndStatusBar; }

    // Sends WM_COMMAND as a menu item would.
    void Command(UINT id);

    // The band with this identifier: whether it shows, and its child window.
    bool BandVisible(UINT bandId) const;
    HWND BandChild(UINT bandId) const;

    // Whether the item shows a check mark when its popup of the shown menu opens.
    bool MenuItemChecked(UINT id);

    // The status bar's text: the prompt while in simple mode, else the first part.
    std::wstring StatusText() const;
    bool StatusInSimpleMode() const;

    std::unique_ptr<CMessageLoop> m_loop;
    CMainFrame m_frame;
    std::vector<std::unique_ptr<CRecordingChild>> m_children;
};

// The client rectangle of a window, in its parent's client coordinates.
RECT RectInParent(HWND window);

}  // namespace velk
