// Opening documents in the program's real main frame, the four ways a user
// does: File Open, the command line (OpenDocument), a drop, and New; their
// titles, maximising, and commands and keys reaching the active document.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "dicom_builder.h"
#include "file_drop.h"
#include "framework/message_loop.h"
#include "framework/module.h"
#include "view/velk_view.h"
#include "view_test_support.h"

namespace velk {

namespace {

using namespace viewtest;

std::string sample_bytes() {
    test::dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    b.explicit_element(0x0008, 0x0060, "CS", "MR");
    b.sequence(0x0008, 0x1140).item().explicit_element(0x0008, 0x1150, "UI", "1.23");
    b.item_end().sequence_end();
    return b.bytes();  // 7 rows
}

using test::MakeDrop;

// The program's main frame, made once for all these tests, with the thread's
// message loop registered as start-up registers it.
class MainFrameDocuments : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (s_frame) return;  // one frame for every suite of this fixture
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

    void SetUp() override { CloseAll(); }
    void TearDown() override { CloseAll(); }

    void CloseAll() {
        HWND client = s_frame->GetMDIClient();
        while (HWND active = s_frame->MDIGetActive())
            ::SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(active), 0);
        PumpLoop();
    }

    // Queued input goes through the loop's filters (the frame's accelerators and
    // the document's pre-translation) as in the running program.
    static void PumpLoop() {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            if (!s_loop->PreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
    }

    // A key typed while the frame is active: Ctrl and Shift as given.
    static void Key(WORD key, bool control = false) {
        HWND focus = ::GetFocus() ? ::GetFocus() : s_frame->m_hWnd;
        BYTE keys[256] = {};
        if (control) keys[VK_CONTROL] = 0x80;
        ::SetKeyboardState(keys);
        ::PostMessageW(focus, WM_KEYDOWN, key, 1);
        ::PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
        PumpLoop();
        BYTE none[256] = {};
        ::SetKeyboardState(none);
    }

    static void Command(WORD id) {
        ::SendMessageW(s_frame->m_hWnd, WM_COMMAND, id, 0);
        PumpLoop();
    }

    static std::vector<HWND> Documents() {
        std::vector<HWND> documents;
        HWND client = s_frame->GetMDIClient();
        for (HWND w = ::GetWindow(client, GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT))
            if (!::GetWindow(w, GW_OWNER)) documents.push_back(w);
        std::sort(documents.begin(), documents.end(),
                  [](HWND a, HWND b) { return ::GetDlgCtrlID(a) < ::GetDlgCtrlID(b); });
        return documents;
    }

    static bool Maximized(HWND document) { return ::IsZoomed(document) != FALSE; }

    static std::wstring WriteSample(const std::wstring& name) {
        const std::wstring path = RunFolder() + name;
        EXPECT_TRUE(WriteFile(path, sample_bytes()));
        return path;
    }

    static CMessageLoop* s_loop;
    static CMainFrame* s_frame;
};

CMessageLoop* MainFrameDocuments::s_loop = nullptr;
CMainFrame* MainFrameDocuments::s_frame = nullptr;

TEST_F(MainFrameDocuments, OpenDocumentTitlesWithTheFileNameAndMaximises) {
    const std::wstring path = WriteSample(L"titled.dcm");
    s_frame->OpenDocument(path.c_str());
    PumpLoop();
    ASSERT_EQ(Documents().size(), 1u);
    HWND document = Documents()[0];
    EXPECT_EQ(TextOf(document), L"titled.dcm");
    EXPECT_TRUE(Maximized(document));
    EXPECT_EQ(ItemCount(ListOf(document)), 7);
    EXPECT_EQ(s_frame->MDIGetActive(), document);
}

// With many documents open, opening one more or activating another paints
// that one alone: what the others would paint grows with their number. The
// windows painted are counted as the program sees them: WM_PAINT sent (an
// update drawn at once) or taken from the queue.
std::vector<HWND> g_painted;
LRESULT CALLBACK NotePaint(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (sent->message == WM_PAINT) g_painted.push_back(sent->hwnd);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(MainFrameDocuments, OpeningOrActivatingPaintsOnlyTheDocumentShown) {
    const std::wstring path = WriteSample(L"many.dcm");
    for (int i = 0; i < 6; ++i) s_frame->OpenDocument(path.c_str());
    PumpLoop();
    const auto paintedOutside = [](HWND shown) {
        HWND client = s_frame->GetMDIClient();
        std::size_t others = 0, own = 0;
        for (HWND w : g_painted) {
            HWND document = w;
            while (document && ::GetParent(document) != client) document = ::GetParent(document);
            if (document == shown && w != shown)
                ++own;
            else if (document && document != shown)
                ++others;
        }
        EXPECT_GT(own, 0u) << "the document shown was not painted";
        return others;
    };
    const auto paintsOf = [](auto step) {
        g_painted.clear();
        HHOOK hook =
            ::SetWindowsHookExW(WH_CALLWNDPROC, NotePaint, nullptr, ::GetCurrentThreadId());
        step();
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_PAINT) g_painted.push_back(msg.hwnd);
            if (msg.message != WM_QUIT) ::DispatchMessageW(&msg);
        }
        ::UnhookWindowsHookEx(hook);
    };
    paintsOf([&] { s_frame->OpenDocument(path.c_str()); });
    EXPECT_EQ(paintedOutside(s_frame->MDIGetActive()), 0u) << "open";
    const HWND first = Documents().front();
    paintsOf([&] { s_frame->MDIActivate(first); });
    EXPECT_EQ(paintedOutside(first), 0u) << "activate";
    paintsOf([&] { s_frame->MDINext(first); });
    EXPECT_EQ(paintedOutside(s_frame->MDIGetActive()), 0u) << "next";
}

struct title_case {
    const char* name;
    const wchar_t* path;
    const wchar_t* title;
};

void PrintTo(const title_case& c, std::ostream* os) { *os << c.name; }

class Titles : public MainFrameDocuments, public ::testing::WithParamInterface<title_case> {};

TEST_P(Titles, TheFileNamePartOfThePathAsGiven) {
    s_frame->OpenDocument(GetParam().path);
    PumpLoop();
    ASSERT_EQ(Documents().size(), 1u);
    EXPECT_EQ(TextOf(Documents()[0]), GetParam().title);
    EXPECT_EQ(ItemCount(ListOf(Documents()[0])), 0);  // none of them exists
}

INSTANTIATE_TEST_SUITE_P(
    Paths, Titles,
    ::testing::Values(title_case{"Backslashes", L"C:\\no where\\scan.dcm", L"scan.dcm"},
                      title_case{"Slashes", L"no/where/scan.dcm", L"scan.dcm"},
                      title_case{"DriveColon", L"c:scan.dcm", L"scan.dcm"},
                      title_case{"NoSeparator", L"scan", L"scan"},
                      title_case{"TrailingBackslash", L"C:\\no where\\folder\\", L"folder\\"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainFrameDocuments, ARelativePathIsResolvedAgainstTheCurrentFolder) {
    WriteSample(L"relative.dcm");
    wchar_t before[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, before);
    ::SetCurrentDirectoryW(RunFolder().c_str());
    s_frame->OpenDocument(L"relative.dcm");
    ::SetCurrentDirectoryW(before);
    PumpLoop();
    ASSERT_EQ(Documents().size(), 1u);
    EXPECT_EQ(ItemCount(ListOf(Documents()[0])), 7);
}

TEST_F(MainFrameDocuments, TheSameFileTwiceGivesTwoIndependentWindows) {
    const std::wstring path = WriteSample(L"twice.dcm");
    s_frame->OpenDocument(path.c_str());
    s_frame->OpenDocument(path.c_str());
    PumpLoop();
    const std::vector<HWND> documents = Documents();
    ASSERT_EQ(documents.size(), 2u);
    ClickIcon(ListOf(documents[1]), 2);
    EXPECT_EQ(ItemCount(ListOf(documents[1])), 3);
    EXPECT_EQ(ItemCount(ListOf(documents[0])), 7);
    EXPECT_EQ(TextOf(documents[0]), TextOf(documents[1]));
}

TEST_F(MainFrameDocuments, CtrlNOpensAnEmptyDocumentWindow) {
    Key('N', true);
    ASSERT_EQ(Documents().size(), 1u);
    HWND document = Documents()[0];
    EXPECT_EQ(TextOf(document), L"Document");
    EXPECT_FALSE(Maximized(document));
    HWND list = ListOf(document);
    EXPECT_EQ(ItemCount(list), 0);
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 6);

    Key(VK_F5);  // Refresh loads the empty path: still nothing
    EXPECT_EQ(ItemCount(list), 0);
    EXPECT_EQ(TextOf(document), L"Document");
}

TEST_F(MainFrameDocuments, NewAfterAMaximisedDocumentOpensMaximised) {
    s_frame->OpenDocument(WriteSample(L"first.dcm").c_str());
    Command(0xE100);
    ASSERT_EQ(Documents().size(), 2u);
    EXPECT_TRUE(Maximized(Documents()[1]));
    EXPECT_EQ(TextOf(Documents()[1]), L"Document");
}

TEST_F(MainFrameDocuments, F5ReachesTheActiveDocumentsView) {
    s_frame->OpenDocument(WriteSample(L"refresh.dcm").c_str());
    PumpLoop();
    HWND list = ListOf(Documents()[0]);
    ClickIcon(list, 2);
    ASSERT_EQ(ItemCount(list), 3);
    Key(VK_F5);
    EXPECT_EQ(ItemCount(list), 7);
}

TEST_F(MainFrameDocuments, ADocumentPassesOrdinaryKeysOnUntranslated) {
    s_frame->OpenDocument(WriteSample(L"keys.dcm").c_str());
    PumpLoop();
    MSG key{ListOf(Documents()[0]), WM_KEYDOWN, VK_DOWN, 1, 0, {0, 0}};
    EXPECT_EQ(::SendMessageW(Documents()[0], WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(&key)), 0);
}

TEST_F(MainFrameDocuments, DroppedFilesOpenInDropOrderAndAFolderInAFolderWindow) {
    const std::wstring a = WriteSample(L"drop-a.dcm");
    const std::wstring b = WriteSample(L"drop-b.dcm");
    const std::wstring folder = RunFolder() + L"a folder.dcm";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    // A name longer than a path buffer: it reaches OpenDocument whole.
    const std::wstring long_name = std::wstring(270, L'n') + L".dcm";
    ::SendMessageW(s_frame->m_hWnd, WM_DROPFILES,
                   reinterpret_cast<WPARAM>(MakeDrop({b, folder, a, RunFolder() + long_name})), 0);
    PumpLoop();
    const std::vector<HWND> documents = Documents();
    ASSERT_EQ(documents.size(), 4u);
    EXPECT_EQ(TextOf(documents[0]), L"drop-b.dcm");
    EXPECT_EQ(TextOf(documents[1]), L"Folder: " + folder);
    EXPECT_EQ(TextOf(documents[2]), L"drop-a.dcm");
    EXPECT_EQ(TextOf(documents[3]), long_name);
    // Each was maximised as it opened; the MDI client keeps only the active one so.
    EXPECT_EQ(s_frame->MDIGetActive(), documents[3]);
    EXPECT_TRUE(Maximized(documents[3]));
    EXPECT_EQ(ItemCount(ListOf(documents[0])), 7);
}

TEST_F(MainFrameDocuments, ADropOfFoldersOpensAFolderWindowForEach) {
    const std::wstring folder = RunFolder() + L"only folder";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::SendMessageW(s_frame->m_hWnd, WM_DROPFILES,
                   reinterpret_cast<WPARAM>(MakeDrop({folder, RunFolder()})), 0);
    PumpLoop();
    const std::vector<HWND> windows = Documents();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(TextOf(windows[0]), L"Folder: " + folder);
    EXPECT_EQ(TextOf(windows[1]), L"Folder: " + RunFolder());
}

TEST_F(MainFrameDocuments, ClosingOneDocumentLeavesTheOthersWorking) {
    const std::wstring path = WriteSample(L"close.dcm");
    s_frame->OpenDocument(path.c_str());
    s_frame->OpenDocument(path.c_str());
    PumpLoop();
    std::vector<HWND> documents = Documents();
    ASSERT_EQ(documents.size(), 2u);
    ::SendMessageW(documents[1], WM_CLOSE, 0, 0);
    PumpLoop();
    ASSERT_EQ(Documents().size(), 1u);
    HWND list = ListOf(documents[0]);
    ClickIcon(list, 2);
    EXPECT_EQ(ItemCount(list), 3);
    EXPECT_EQ(ReadCell(list, 1, 4).text, L"MR");
}

// ----------------------------------------------------------------- File Open

// Answers the file dialog, when it shows, as a user would: types a name and
// presses Open, or cancels.
class FileDialogAnswer {
public:
    explicit FileDialogAnswer(std::wstring name) : m_name(std::move(name)) {
        s_current = this;
        m_timer = ::SetTimer(nullptr, 0, 200, &FileDialogAnswer::Tick);
    }
    ~FileDialogAnswer() {
        ::KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    bool answered = false;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (!s_current || s_current->answered) return;
        HWND dialog = ::GetActiveWindow();
        wchar_t cls[32] = {};
        ::GetClassNameW(dialog, cls, 32);
        if (std::wstring(cls) != L"#32770") return;
        s_current->answered = true;
        if (s_current->m_name.empty()) {
            ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        // The name box of the Explorer-style dialog (cmb13, or edt1 in older ones).
        HWND box = ::GetDlgItem(dialog, 0x47C);
        if (!box) box = ::GetDlgItem(dialog, 0x480);
        ::SetWindowTextW(box, s_current->m_name.c_str());
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }

    static FileDialogAnswer* s_current;
    std::wstring m_name;
    UINT_PTR m_timer = 0;
};

FileDialogAnswer* FileDialogAnswer::s_current = nullptr;

TEST_F(MainFrameDocuments, FileOpenOpensTheChosenFileAndCancelOpensNothing) {
    {
        FileDialogAnswer cancel(L"");
        Command(0xE101);
        EXPECT_TRUE(cancel.answered);
    }
    EXPECT_TRUE(Documents().empty());

    const std::wstring path = WriteSample(L"chosen.dcm");
    {
        FileDialogAnswer choose(path);
        Command(0xE101);
        EXPECT_TRUE(choose.answered);
    }
    ASSERT_EQ(Documents().size(), 1u);
    EXPECT_EQ(TextOf(Documents()[0]), L"chosen.dcm");
    EXPECT_EQ(ItemCount(ListOf(Documents()[0])), 7);
}

}  // namespace

}  // namespace velk
