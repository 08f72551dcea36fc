// The status bar's document panes in the real main frame: what they show for the
// active document after an open, a collapse and an activation, for a path that
// cannot be read, and that the bar is its one prompt pane again once the last
// document has closed.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "dicom_builder.h"
#include "shell_frame_fixture.h"
#include "temp_folder.h"
#include "windows_test.h"

namespace velk {

namespace {

class StatusPanes : public ShellFrameTest {
protected:
    std::vector<std::wstring> Panes() const {
        std::vector<std::wstring> texts;
        const int parts = int(::SendMessageW(StatusBar(), SB_GETPARTS, 0, 0));
        for (int i = 0; i < parts; ++i) {
            wchar_t text[256] = {};
            ::SendMessageW(StatusBar(), SB_GETTEXTW, WPARAM(i), LPARAM(text));
            texts.push_back(text);
        }
        return texts;
    }
    HWND Open(const std::wstring& path) {
        m_frame.OpenDocument(path.c_str());
        Pump();
        return m_frame.MDIGetActive();
    }

    test::TempFolder m_files{L"velk-status"};
};

TEST_F(StatusPanes, ShowTheActiveDocumentAndFollowItsRows) {
    test::dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    b.sequence(0x0008, 0x1140).item().explicit_element(0x0008, 0x1150, "UI", "1.23");
    b.item_end().sequence_end();
    const std::wstring path = m_files.Write(L"status.dcm", b.bytes());
    const std::wstring size = std::to_wstring(b.bytes().size()) + L" bytes";

    const HWND first = Open(path);
    EXPECT_EQ(Panes(), (std::vector<std::wstring>{L"Ready", L"6 rows", L"Explicit VR Little Endian",
                                                  size, L"19 errors, 0 warnings", L"Complete"}));

    const HWND list = test::ListOf(first);  // Left on the expanded sequence collapses it
    ListView_SetItemState(list, 1, LVIS_FOCUSED, LVIS_FOCUSED);
    ::SendMessageW(list, WM_KEYDOWN, VK_LEFT, 0);
    Pump();
    EXPECT_EQ(Panes()[1], L"2 rows");

    const std::string cut = b.bytes().substr(0, b.bytes().size() - 2);
    Open(m_files.Write(L"cut.dcm", cut));
    EXPECT_EQ(Panes()[5].rfind(L"Stopped at ", 0), 0u) << Panes()[5];

    Open(m_files.path() + L"absent.dcm");
    EXPECT_EQ(Panes(),
              (std::vector<std::wstring>{L"Ready", L"0 rows", L"", L"", L"", L"No such file"}));
    ::SendMessageW(m_frame.GetMDIClient(), WM_MDIACTIVATE, WPARAM(first), 0);
    Pump();
    EXPECT_EQ(Panes()[1], L"2 rows");

    for (int open = 3; open > 0; --open)
        ::SendMessageW(m_frame.GetMDIClient(), WM_MDIDESTROY, WPARAM(m_frame.MDIGetActive()), 0);
    Pump();
    m_frame.OnIdle();
    EXPECT_EQ(Panes(), (std::vector<std::wstring>{L"Ready"}));
}

// At 960 pixels the panes are as wide as their texts and the load pane shows
// its whole text, which is also each pane's tooltip; the hint names its key.
TEST_F(StatusPanes, FitTheirTextsAndShowThemAsTooltips) {
    ::MoveWindow(Frame(), 0, 0, 960, 600, TRUE);
    test::dicom_builder b;
    b.preamble().transfer_syntax("1.2.840.10008.1.2.2");  // explicit VR big endian
    b.explicit_element(0x0008, 0x0060, "CS", "MR");
    Open(m_files.Write(L"big.dcm", b.bytes()));
    const std::vector<std::wstring> texts = Panes();
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_NE(texts[5].find(L"View > Interpret (Ctrl+I)"), std::wstring::npos) << texts[5];

    HDC dc = ::GetDC(StatusBar());
    ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(StatusBar(), WM_GETFONT, 0, 0)));
    for (WPARAM pane = 0; pane < 6; ++pane) {
        SIZE text{};
        RECT rect{};
        ::GetTextExtentPoint32W(dc, texts[pane].c_str(), int(texts[pane].size()), &text);
        ::SendMessageW(StatusBar(), SB_GETRECT, pane, reinterpret_cast<LPARAM>(&rect));
        EXPECT_TRUE(rect.right - rect.left >= text.cx &&
                    (pane == 5 || rect.right - rect.left <= text.cx + 40));
    }
    ::ReleaseDC(StatusBar(), dc);

    // Sized, the frame has its status bar drawn whole: a bar moved in place keeps
    // its old pixels, the size grip among them.
    Pump();
    ::MoveWindow(Frame(), 0, 0, 1100, 640, TRUE);
    RECT dirty{}, bar{};
    ::GetUpdateRect(StatusBar(), &dirty, FALSE);
    ::GetClientRect(StatusBar(), &bar);
    EXPECT_TRUE(::EqualRect(&dirty, &bar));

    HWND tips = static_cast<HWND>(::GetPropW(StatusBar(), L"velk.PaneTips"));
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(::SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 6);  // one per pane, its text whole
}

}  // namespace

}  // namespace velk
