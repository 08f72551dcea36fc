// The frame's accelerator table 128: its entries, and keys taken by the frame's
// pre-translation before any window sees them.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "shell_frame_fixture.h"

namespace velk {

namespace {

enum Modifier : BYTE { kNone = 0, kCtrl = FCONTROL, kShift = FSHIFT, kAlt = FALT };

struct KeyCase {
    const char* name;
    BYTE modifiers;
    WORD key;
    WORD command;
};

const KeyCase kTable[] = {
    {"CtrlC", kCtrl, 'C', ID_EDIT_COPY_ROWS},
    {"CtrlInsert", kCtrl, VK_INSERT, ID_EDIT_COPY_ROWS},
    {"ShiftDelete", kShift, VK_DELETE, ID_EDIT_CUT},
    {"CtrlX", kCtrl, 'X', ID_EDIT_CUT},
    {"CtrlF", kCtrl, 'F', ID_EDIT_FIND},
    {"CtrlV", kCtrl, 'V', ID_EDIT_PASTE},
    {"ShiftInsert", kShift, VK_INSERT, ID_EDIT_PASTE},
    {"CtrlA", kCtrl, 'A', ID_EDIT_SELECT_ALL},
    {"AltBackspace", kAlt, VK_BACK, ID_EDIT_UNDO},
    {"CtrlZ", kCtrl, 'Z', ID_EDIT_UNDO},
    {"CtrlN", kCtrl, 'N', ID_FILE_NEW},
    {"CtrlO", kCtrl, 'O', ID_FILE_OPEN},
    {"CtrlP", kCtrl, 'P', ID_FILE_PRINT},
    {"CtrlS", kCtrl, 'S', ID_FILE_SAVE},
    {"F6", kNone, VK_F6, ID_NEXT_PANE},
    {"ShiftF6", kShift, VK_F6, ID_PREV_PANE},
    {"F5", kNone, VK_F5, ID_VIEW_REFRESH},
    {"CtrlL", kCtrl, 'L', ID_VIEW_FILTER},
    {"CtrlI", kCtrl, 'I', ID_VIEW_INTERPRET},
    {"F8", kNone, VK_F8, ID_VIEW_NEXT_PROBLEM},
    {"ShiftF8", kShift, VK_F8, ID_VIEW_PREVIOUS_PROBLEM},
};

TEST(ShellAccelerators, TableHoldsExactlyTheFramesKeysWithoutMenuFlash) {
    PrepareShellProcess();
    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ASSERT_NE(table, nullptr);
    std::vector<ACCEL> entries(static_cast<size_t>(CopyAcceleratorTableW(table, nullptr, 0)));
    CopyAcceleratorTableW(table, entries.data(), static_cast<int>(entries.size()));
    ASSERT_EQ(entries.size(), std::size(kTable));
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(kTable[i].name);
        EXPECT_EQ(entries[i].fVirt, FVIRTKEY | FNOINVERT | kTable[i].modifiers);
        EXPECT_EQ(entries[i].key, kTable[i].key);
        EXPECT_EQ(entries[i].cmd, kTable[i].command);
    }
}

// Holds modifier keys down in this thread's keyboard state for one key press.
class HeldModifiers {
public:
    explicit HeldModifiers(BYTE modifiers) {
        GetKeyboardState(m_saved);
        BYTE state[256];
        GetKeyboardState(state);
        state[VK_CONTROL] = (modifiers & kCtrl) ? 0x80 : 0;
        state[VK_SHIFT] = (modifiers & kShift) ? 0x80 : 0;
        state[VK_MENU] = (modifiers & kAlt) ? 0x80 : 0;
        SetKeyboardState(state);
    }
    ~HeldModifiers() { SetKeyboardState(m_saved); }

private:
    BYTE m_saved[256];
};

class ShellKeys : public ShellFrameTest, public ::testing::WithParamInterface<KeyCase> {
protected:
    // A key pressed while the document window's list has the focus, as the
    // loop hands it to the frame's pre-translation.
    BOOL PressKey(HWND target, const KeyCase& key) {
        HeldModifiers held(key.modifiers);
        MSG msg = {};
        msg.hwnd = target;
        msg.message = (key.modifiers & kAlt) ? WM_SYSKEYDOWN : WM_KEYDOWN;
        msg.wParam = key.key;
        msg.lParam = (key.modifiers & kAlt) ? (1 << 29) | 1 : 1;
        return m_frame.PreTranslateMessage(&msg);
    }
};

// Keys of commands that the frame does not handle reach the document window as
// accelerator commands; the frame's own (New, Open, Interpret) do not.
TEST_P(ShellKeys, KeyBecomesItsCommandBeforeAnyWindowSeesIt) {
    const KeyCase& key = GetParam();
    CRecordingChild& child = OpenChild();
    ASSERT_TRUE(PressKey(child, key));
    ASSERT_EQ(child.commands.size(), 1u);
    EXPECT_EQ(child.commands[0].first, MAKEWPARAM(key.command, 1));
}

INSTANTIATE_TEST_SUITE_P(Forwarded, ShellKeys, ::testing::ValuesIn([] {
                             std::vector<KeyCase> forwarded;
                             for (const KeyCase& key : kTable) {
                                 if (key.command != 0xE100 && key.command != 0xE101 &&
                                     key.command != ID_VIEW_INTERPRET)
                                     forwarded.push_back(key);
                             }
                             return forwarded;
                         }()),
                         [](const ::testing::TestParamInfo<KeyCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(ShellFrameTest, PlainLetterIsLeftForTheFocusedWindow) {
    CRecordingChild& child = OpenChild();
    HeldModifiers none(kNone);
    MSG msg = {child, WM_KEYDOWN, 'C', 1, 0, {}};
    EXPECT_FALSE(m_frame.PreTranslateMessage(&msg));
    EXPECT_TRUE(child.commands.empty());
}

TEST_F(ShellFrameTest, CtrlF4ClosesTheActiveDocumentWindow) {
    CRecordingChild& child = OpenChild();
    HWND window = child;
    {
        HeldModifiers ctrl(kCtrl);
        MSG msg = {window, WM_KEYDOWN, VK_F4, 1, 0, {}};
        EXPECT_TRUE(m_frame.PreTranslateMessage(&msg));
    }
    Pump();
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace

}  // namespace velk
