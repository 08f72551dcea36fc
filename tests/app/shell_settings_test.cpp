// The frame remembering across runs, in a registry key of the test's own: with
// nothing stored it starts as ever; the recent files follow the opens and a
// missing one is dropped with a message; bars and column widths come back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/settings.h"
#include "framework/bars.h"
#include "shell_dialog_watcher.h"
#include "shell_frame_fixture.h"
#include "temp_folder.h"

namespace velk {

namespace {

constexpr const wchar_t* kTestKey = L"Software\\velk-tests\\settings";

// The texts of the File menu's items after Exit, as the menu shows them on opening.
std::vector<std::wstring> ItemsAfterExit(HWND frame, HMENU file) {
    ::SendMessageW(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    std::vector<std::wstring> items;
    bool after = false;
    for (int i = 0; i < ::GetMenuItemCount(file); ++i) {
        wchar_t text[MAX_PATH] = {};
        ::GetMenuStringW(file, static_cast<UINT>(i), text, MAX_PATH, MF_BYPOSITION);
        if (after) items.push_back(text);
        after = after || ::GetMenuItemID(file, i) == ID_APP_EXIT;
    }
    return items;
}

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

class RememberingFrame : public ShellFrameTest {
protected:
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
        StoreBeforeStart();
        m_frame.RememberIn(m_settings);
        ShellFrameTest::SetUp();
    }
    void TearDown() override {
        ShellFrameTest::TearDown();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
    }
    virtual void StoreBeforeStart() {}
    HMENU FileMenu() { return ::GetSubMenu(m_frame.m_CmdBar.GetMenu(), 0); }

    const CSettings m_settings{kTestKey};
    test::TempFolder m_files{L"velk-settings"};
};

// A document's File menu keeps Compare With... after Exit, the recent files
// after it; a path that gave no bytes (missing, empty) is not among them.
TEST_F(RememberingFrame, RecentFilesFollowTheOpensAndAMissingOneIsDroppedWithAMessage) {
    // Nothing stored: Open Folder... alone after Exit, as ever.
    EXPECT_EQ(ItemsAfterExit(Frame(), FileMenu()),
              (std::vector<std::wstring>{L"", L"Open Fol&der..."}));
    const std::wstring first = m_files.Write(L"first.dcm", "x");
    const std::wstring second = m_files.Write(L"second&more.dcm", "x");
    m_frame.OpenDocument(first.c_str());
    m_frame.OpenDocument(second.c_str());
    m_frame.OpenDocument(first.c_str());  // back to the top, not twice
    m_frame.OpenDocument((first + L".absent").c_str());
    m_frame.OpenDocument(m_files.Write(L"empty.dcm", "").c_str());
    Pump();

    ItemsAfterExit(Frame(), FileMenu());  // shown twice: nothing doubles, nothing goes
    std::vector<std::wstring> items = ItemsAfterExit(Frame(), FileMenu());
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0], L"");  // the separator
    EXPECT_EQ(items[1], L"Compa&re With...");
    EXPECT_EQ(items[2], L"Open Fol&der...");
    EXPECT_EQ(items[3], L"");
    EXPECT_EQ(items[4].substr(0, 3), L"&1 ");
    EXPECT_TRUE(EndsWith(items[4], L"first.dcm")) << items[4].c_str();
    EXPECT_TRUE(EndsWith(items[5], L"second&&more.dcm")) << items[5].c_str();
    EXPECT_EQ(m_settings.Text(L"Recent2"), second);
    EXPECT_FALSE(m_settings.Text(L"Recent3"));

    ::DeleteFileW(second.c_str());
    {
        DialogWatcher watcher;
        Command(ID_FILE_MRU_FIRST + 1);
        ASSERT_EQ(watcher.Seen().size(), 1u);
        const std::vector<std::wstring>& texts = watcher.Seen()[0].staticTexts;
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const std::wstring& t) {
            return t.find(second) != std::wstring::npos;
        }));
    }
    EXPECT_EQ(ItemsAfterExit(Frame(), FileMenu()).size(), 5u);
    EXPECT_FALSE(m_settings.Text(L"Recent2"));
}

// The Window menu names each document by its file, the newest too.
TEST_F(RememberingFrame, TheWindowMenuNamesTheNewestDocumentByItsFile) {
    m_frame.OpenDocument(m_files.Write(L"older.dcm", "x").c_str());
    m_frame.OpenDocument(m_files.Write(L"newest.dcm", "x").c_str());
    const HMENU window = ::GetSubMenu(m_frame.m_CmdBar.GetMenu(), 3);  // File, Edit, View, Window
    const int last = ::GetMenuItemCount(window) - 1;  // the window list ends the menu
    wchar_t name[MAX_PATH] = {};
    ::GetMenuStringW(window, static_cast<UINT>(last), name, MAX_PATH, MF_BYPOSITION);
    EXPECT_EQ(::GetMenuItemID(window, last), IDW_FIRST_MDI_CHILD + 1u);
    EXPECT_TRUE(EndsWith(name, L"newest.dcm")) << name;
}

class RememberedBars : public RememberingFrame {
protected:
    void StoreBeforeStart() override {
        m_settings.SetNumber(L"Toolbar", 0);
        m_settings.SetNumber(L"StatusBar", 0);
        m_settings.SetText(L"ColumnWidths", L"100,41,61,201,202,121");
    }
};

TEST_F(RememberedBars, TheBarsAndColumnsComeBackAsLeftAndAreKeptOnClosing) {
    EXPECT_FALSE(BandVisible(kFirstBandId + 1));
    EXPECT_FALSE(::IsWindowVisible(StatusBar()));
    EXPECT_FALSE(MenuItemChecked(ID_VIEW_TOOLBAR));

    m_frame.OpenDocument(m_files.Write(L"columns.dcm", "x").c_str());
    HWND document = m_frame.MDIGetActive();
    HWND list = ::GetWindow(document, GW_CHILD);
    EXPECT_EQ(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 100);
    EXPECT_EQ(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 5, 0), 121);

    Command(ID_VIEW_TOOLBAR);
    m_frame.DestroyWindow();
    EXPECT_EQ(m_settings.Number(L"Toolbar"), 1u);
    EXPECT_EQ(m_settings.Number(L"StatusBar"), 0u);
    WINDOWPLACEMENT placement{};
    EXPECT_TRUE(m_settings.ReadBlock(L"Placement", &placement, sizeof(placement)));
}

// View > Interpret: every open document lists its file again at once in the other
// reading, and the choice is remembered.
TEST_F(RememberingFrame, InterpretRereadsOpenDocumentsAndIsRemembered) {
    const auto le16 = [](unsigned v) { return std::string{char(v & 0xFF), char(v >> 8)}; };
    const auto le32 = [&](unsigned v) { return le16(v & 0xFFFF) + le16(v >> 16); };
    const std::string uid("1.2.840.10008.1.2\0", 18);  // implicit VR little endian
    const std::string meta =
        std::string(128, '\0') + "DICM" + le16(0x0002) + le16(0x0010) + "UI" + le16(18) + uid;
    const std::string file = meta + le16(0x0028) + le16(0x0010) + le32(2) + le16(512) +
                             le16(0x0040) + le16(0x0275) + le32(20) + le16(0xFFFE) + le16(0xE000) +
                             le32(12) + le16(0x0040) + le16(0x0007) + le32(4) + "Scan";
    // A long document behind the active one, scrolled down: each switch keeps its top row.
    std::string elements;
    for (unsigned i = 1; i <= 300; ++i) elements += le16(0x0011) + le16(i) + le32(2) + le16(i);
    m_frame.OpenDocument(m_files.Write(L"long.dcm", meta + elements).c_str());
    HWND long_list = ::GetWindow(m_frame.MDIGetActive(), GW_CHILD);
    ::SendMessageW(long_list, LVM_ENSUREVISIBLE, 250, FALSE);
    const auto top = [long_list] { return ::SendMessageW(long_list, LVM_GETTOPINDEX, 0, 0); };
    const LRESULT scrolled = top();
    ASSERT_GT(scrolled, 100);
    m_frame.OpenDocument(m_files.Write(L"implicit.dcm", file).c_str());
    HWND list = ::GetWindow(m_frame.MDIGetActive(), GW_CHILD);
    const auto cell = [list](int row, int column) {
        wchar_t text[64] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 64;
        ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&item));
        return std::wstring(text);
    };
    // The last status pane says, while the mode is off, that it would show more.
    const auto last_pane = [this] {
        wchar_t text[256] = {};
        ::SendMessageW(StatusBar(), SB_GETTEXTW, 5, reinterpret_cast<LPARAM>(text));
        return std::wstring(text);
    };
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(cell(1, 1), L"");
    EXPECT_NE(last_pane().find(L"Implicit VR: View > Interpret"), std::wstring::npos);

    Command(ID_VIEW_INTERPRET);
    EXPECT_EQ(last_pane(), L"Complete");
    EXPECT_EQ(m_settings.Number(L"Interpret"), 1u);
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 5);  // the sequence's item and element
    EXPECT_EQ(cell(1, 1), L"(US)");
    EXPECT_EQ(cell(1, 4), L"512");
    EXPECT_EQ(cell(4, 4), L"Scan");
    EXPECT_EQ(top(), scrolled);

    Command(ID_VIEW_INTERPRET);
    EXPECT_EQ(m_settings.Number(L"Interpret"), 0u);
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(top(), scrolled);
}

// View > Inspector is checked while the active document shows its inspector.
TEST_F(RememberingFrame, InspectorIsCheckedWhileTheActiveDocumentShowsIt) {
    m_frame.OpenDocument(m_files.Write(L"plain.dcm", "x").c_str());
    const HWND plain = m_frame.MDIGetActive();
    m_frame.OpenDocument(m_files.Write(L"inspected.dcm", "x").c_str());
    EXPECT_FALSE(MenuItemChecked(ID_VIEW_INSPECTOR));
    Command(ID_VIEW_INSPECTOR);
    EXPECT_TRUE(MenuItemChecked(ID_VIEW_INSPECTOR));
    m_frame.MDIActivate(plain);
    EXPECT_FALSE(MenuItemChecked(ID_VIEW_INSPECTOR));
}

}  // namespace velk
