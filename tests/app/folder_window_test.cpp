// The folder window and the directory window in the program's real main frame,
// reached through the menus by their text as a user reaches them: File > Open
// Folder... (its folder browser answered as a user answers it), the rows as
// they are read, grouped and folding, Enter opening a file; View > Directory on
// a DICOMDIR's document, Enter on an instance opening the file it names.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "app/child_frame.h"
#include "app/directory_frame.h"
#include "app/folder_frame.h"
#include "app/main_frame.h"
#include "app/resource.h"
#include "dicom_builder.h"
#include "framework/message_loop.h"
#include "framework/module.h"
#include "temp_folder.h"
#include "windows_test.h"

namespace velk {

namespace {

using test::dicom_builder;

std::string image_bytes(const std::string& study, const std::string& series,
                        const std::string& number) {
    dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    b.explicit_element(0x0008, 0x0060, "CS", "MR")
        .explicit_element(0x0010, 0x0010, "PN", "Doe^Jane")
        .explicit_element(0x0020, 0x000D, "UI", study)
        .explicit_element(0x0020, 0x000E, "UI", series)
        .explicit_element(0x0020, 0x0013, "IS", number);
    return b.bytes();
}

// A DICOMDIR of one PATIENT > STUDY > SERIES > IMAGE naming IM\A1.
std::string directory_bytes() {
    dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    const std::uint32_t first = std::uint32_t(b.size()) + 24;
    auto record = [&](std::uint32_t lower, const std::string& type, const std::string& more) {
        b.item(std::uint32_t(40 + more.size()))
            .explicit_element(0x0004, 0x1400, "UL", test::le32(0))
            .explicit_element(0x0004, 0x1420, "UL", test::le32(lower))
            .explicit_element(0x0004, 0x1430, "CS", type)
            .raw(more);
    };
    b.explicit_element(0x0004, 0x1200, "UL", test::le32(first)).sequence(0x0004, 0x1220);
    // Records of 48 bytes, the last with its file's ID after them.
    record(first + 48, "PATIENT ", "");
    record(first + 96, "STUDY   ", "");
    record(first + 144, "SERIES  ", "");
    dicom_builder file_id;
    file_id.explicit_element(0x0004, 0x1500, "CS", "IM\\A1 ");
    record(0, "IMAGE   ", file_id.bytes());
    b.sequence_end();
    return b.bytes();
}

// The identifier of the item of `menu` (and its popups) whose text is `text`.
UINT FindItem(HMENU menu, const std::wstring& text) {
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t item[128] = {};
        ::GetMenuStringW(menu, UINT(i), item, 128, MF_BYPOSITION);
        if (text == item) return ::GetMenuItemID(menu, i);
        if (HMENU popup = ::GetSubMenu(menu, i))
            if (UINT found = FindItem(popup, text)) return found;
    }
    return 0;
}

// The folder the browser is to answer with (and its name, which its tree shows
// selected once the selection took), and the thread timer that answers: it
// selects the folder, and presses OK once the tree shows it selected.
std::wstring g_chosen, g_chosenName;
void CALLBACK AnswerBrowser(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND browser = ::FindWindowW(L"#32770", nullptr);
    if (!browser || !::IsWindowVisible(browser)) return;
    HWND tree = ::FindWindowExW(browser, nullptr, WC_TREEVIEWW, nullptr);
    wchar_t text[MAX_PATH] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = tree ? TreeView_GetSelection(tree) : nullptr;
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    if (item.hItem && TreeView_GetItem(tree, &item) && g_chosenName == text) {
        ::KillTimer(nullptr, timer);
        ::PostMessageW(browser, WM_COMMAND, IDOK, 0);
        return;
    }
    ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(g_chosen.c_str()));
}

class FolderWindows : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
        ::InitCommonControlsEx(&controls);
        GetAppModule().Init(::GetModuleHandleW(nullptr));
        s_loop = new CMessageLoop;
        GetAppModule().AddMessageLoop(s_loop);
        s_frame = new CMainFrame;  // ends with the process
        const RECT place{0, 0, 1000, 700};
        ASSERT_TRUE(s_frame->CreateEx(nullptr, &place, 0, WS_EX_ACCEPTFILES));
        s_frame->ShowWindow(SW_SHOW);
    }

    // The frame and its loop go, so that the other suites of this program find
    // the thread as they expect it: without a loop.
    static void TearDownTestSuite() {
        s_frame->DestroyWindow();
        delete s_frame;
        s_frame = nullptr;
        GetAppModule().RemoveMessageLoop();
        delete s_loop;
        s_loop = nullptr;
        MSG quit;
        ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    // Chooses the menu item by its text in the menu the frame shows now.
    static void Choose(const std::wstring& text) {
        const UINT id = FindItem(s_frame->m_CmdBar.GetMenu(), text);
        ASSERT_NE(id, 0u) << "no menu item " << std::string(text.begin(), text.end());
        ::SendMessageW(s_frame->m_hWnd, WM_COMMAND, id, 0);
        test::Pump();
    }

    static HWND Active() { return s_frame->MDIGetActive(); }

    static std::wstring Cell(HWND list, int row, int column) {
        wchar_t text[512] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 512;
        ::SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&item));
        return text;
    }

    static void Enter(HWND window) {
        NMHDR header{window, UINT_PTR(::GetDlgCtrlID(window)), UINT(NM_RETURN)};
        ::SendMessageW(::GetParent(window), WM_NOTIFY, header.idFrom,
                       reinterpret_cast<LPARAM>(&header));
        test::Pump();
    }

    // A key pressed on `window` as a user presses it: through the loop's
    // pre-translation, where the window's keys are taken.
    static void Press(HWND window, WPARAM key) {
        ::PostMessageW(window, WM_KEYDOWN, key, 0);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!s_loop->PreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
    }

    static CMessageLoop* s_loop;
    static CMainFrame* s_frame;
};

CMessageLoop* FolderWindows::s_loop = nullptr;
CMainFrame* FolderWindows::s_frame = nullptr;

TEST_F(FolderWindows, OpenFolderListsTheFilesGroupedAndEnterOpensOne) {
    const std::wstring folder = test::RunFolder() + L"export\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::CreateDirectoryW((folder + L"IM").c_str(), nullptr);
    ASSERT_TRUE(test::WriteFile(folder + L"IM\\A1", image_bytes("1.1", "1.1.1", "2")));
    ASSERT_TRUE(test::WriteFile(folder + L"IM\\A2", image_bytes("1.1", "1.1.1", "1")));
    ASSERT_TRUE(test::WriteFile(folder + L"IM\\B1", image_bytes("1.1", "1.1.2", "1")));
    ASSERT_TRUE(test::WriteFile(folder + L"notes.txt", "not DICOM"));

    g_chosen = folder.substr(0, folder.size() - 1);
    g_chosenName = L"export";
    ::SetTimer(nullptr, 0, 100, AnswerBrowser);
    Choose(L"Open Fol&der...");
    CFolderFrame* window = CFolderFrame::Of(Active());
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(test::TextOf(window->m_hWnd), L"Folder: " + g_chosen);
    ASSERT_TRUE(test::PumpUntil([&] { return window->Finished(); }));
    test::Pump();

    // A study, its two series, their files; the status bar counts what was found.
    const HWND list = window->List();
    ASSERT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 6);
    EXPECT_EQ(Cell(list, 0, 0), L"[-] Study: 1.1 (3 files)");
    EXPECT_EQ(Cell(list, 1, 0), L"    [-] Series: 1.1.1 (2 files)");
    EXPECT_EQ(Cell(list, 2, 0), L"        IM\\A1");
    EXPECT_EQ(Cell(list, 2, 1), L"Doe^Jane");
    // The size, as the file's handle gives it.
    EXPECT_EQ(Cell(list, 2, int(dcm_index_column::size)),
              std::to_wstring(image_bytes("1.1", "1.1.1", "2").size()));
    EXPECT_NE(
        test::TextOf(::GetDlgItem(s_frame->m_hWnd, IDW_STATUS_BAR)).find(L"3 DICOM files; 1 other"),
        std::wstring::npos);

    // A click on Instance Number's header sorts by it.
    NMLISTVIEW click{};
    click.hdr = {list, UINT_PTR(::GetDlgCtrlID(list)), UINT(LVN_COLUMNCLICK)};
    click.iSubItem = int(dcm_index_column::instance_number);
    ::SendMessageW(window->m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(Cell(list, 2, 0), L"        IM\\A2");

    // Left on a file climbs to its series, Left again folds it, Right unfolds it.
    LVITEMW focus{};
    focus.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    focus.state = LVIS_FOCUSED | LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&focus));
    Press(list, VK_LEFT);
    EXPECT_EQ(::SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED), 1);
    Press(list, VK_LEFT);
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 4);
    Press(list, VK_RIGHT);
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 6);

    // Enter on a series folds it; on a file, opens it as a document.
    ::SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&focus));
    Enter(list);
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 4);
    ::SendMessageW(list, LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&focus));
    Enter(list);
    EXPECT_EQ(test::TextOf(Active()), L"B1");
    ::SendMessageW(s_frame->GetMDIClient(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(Active()), 0);
    ::SendMessageW(s_frame->GetMDIClient(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(window->m_hWnd),
                   0);
    test::Pump();
}

TEST_F(FolderWindows, DirectoryShowsADicomdirsTreeAndEnterOpensTheFileItNames) {
    const std::wstring folder = test::RunFolder() + L"disc\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::CreateDirectoryW((folder + L"IM").c_str(), nullptr);
    ASSERT_TRUE(test::WriteFile(folder + L"IM\\A1", image_bytes("1.1", "1.1.1", "1")));
    ASSERT_TRUE(test::WriteFile(folder + L"DICOMDIR", directory_bytes()));
    s_frame->OpenDocument((folder + L"DICOMDIR").c_str());
    test::Pump();

    Choose(L"&Directory");
    HWND directory = Active();
    ASSERT_EQ(test::TextOf(directory), L"Directory: DICOMDIR");
    const HWND tree = ::GetWindow(directory, GW_CHILD);
    ASSERT_EQ(::SendMessageW(tree, TVM_GETCOUNT, 0, 0), 4);
    HTREEITEM item = TreeView_GetRoot(tree);
    for (int level = 0; level < 3; ++level) item = TreeView_GetChild(tree, item);
    wchar_t text[256] = {};
    TVITEMW read{};
    read.mask = TVIF_TEXT;
    read.hItem = item;
    read.pszText = text;
    read.cchTextMax = 256;
    TreeView_GetItem(tree, &read);
    EXPECT_STREQ(text, L"IMAGE  -> IM/A1");
    TreeView_SelectItem(tree, item);
    Enter(tree);
    EXPECT_EQ(test::TextOf(Active()), L"A1");
    HWND client = s_frame->GetMDIClient();
    while (HWND active = Active())
        ::SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(active), 0);
    test::Pump();
}

}  // namespace

// A file with findings: the status bar counts them; the View menu's Next
// Problem moves the focus to a marked row; View > Problems lists them all, and
// Enter on one selects its row, expanding the sequence that hid it.
TEST_F(FolderWindows, ProblemsAreCountedListedAndReachedThroughTheViewMenu) {
    const auto file = [](const char* date) {
        dicom_builder b;
        b.preamble().transfer_syntax(test::explicit_le_uid());                       // row 0
        b.explicit_element(0x0008, 0x0020, "DA", date);                              // 1
        b.sequence(0x0008, 0x1140).item();                                           // 2 3
        b.explicit_element(0x0008, 0x1150, "UI", "1.02").item_end().sequence_end();  // 4 5 6
        return b.bytes();
    };
    const std::wstring path = test::RunFolder() + L"problems.dcm";
    ASSERT_TRUE(test::WriteFile(path, file("2004.01.19")));
    s_frame->OpenDocument(path.c_str());
    test::Pump();
    CChildFrame* document = CChildFrame::Of(Active());
    ASSERT_NE(document, nullptr);
    const dcm_problems& problems = document->m_document.problems();
    const HWND bar = ::GetDlgItem(s_frame->m_hWnd, IDW_STATUS_BAR);
    wchar_t pane[128] = {};
    ::SendMessageW(bar, SB_GETTEXTW, 4, reinterpret_cast<LPARAM>(pane));
    EXPECT_STREQ(pane,
                 L"20 errors, 0 warnings");  // the value rules, the meta group and the modules

    CVelkView& view = document->m_view;
    view.CollapseRow(2);
    view.FocusRow(1);
    Choose(L"Ne&xt Problem\tF8");
    const int focused = view.GetNextItem(-1, LVNI_FOCUSED);
    ASSERT_GE(focused, 0);
    EXPECT_NE(focused, 1);
    EXPECT_TRUE(problems.marked(view.Rows().record(std::size_t(focused))));

    Choose(L"&Problems");
    const HWND window = Active();
    EXPECT_EQ(test::TextOf(window), L"Problems: problems.dcm");
    EXPECT_EQ(::SendMessageW(bar, SB_GETPARTS, 0, 0), 1);  // no document's facts beside it
    const HWND list = ::GetWindow(window, GW_CHILD);
    ASSERT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0),
              LRESULT(problems.findings().list.size()));
    int uid = 0;
    while (uid < int(problems.findings().list.size()) && Cell(list, uid, 2) != L"(0008,1150)")
        ++uid;
    LVITEMW select{};
    select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, WPARAM(uid), reinterpret_cast<LPARAM>(&select));
    Enter(list);
    EXPECT_EQ(Active(), document->m_hWnd);
    EXPECT_EQ(::SendMessageW(bar, SB_GETPARTS, 0, 0), 6);
    const int shown = view.GetNextItem(-1, LVNI_FOCUSED);
    EXPECT_EQ(Cell(view.m_hWnd, shown, 0), L"(0008,1150)");

    // The date mended and the file read again: the problems window follows.
    const std::size_t before = problems.findings().list.size();
    ASSERT_TRUE(test::WriteFile(path, file("20040119")));
    Choose(L"Refresh");
    test::Pump();
    EXPECT_LT(problems.findings().list.size(), before);
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0),
              LRESULT(problems.findings().list.size()));
    HWND client = s_frame->GetMDIClient();
    // The document closes before its problems window.
    ::SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document->m_hWnd), 0);
    test::Pump();
    EXPECT_TRUE(::IsWindow(window));
    while (HWND active = Active())
        ::SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(active), 0);
    test::Pump();
}

}  // namespace velk
