// Containment: every file of the bad-input catalogue opened in one running shell
// beside five real documents, the first real one from the command line and the
// rest dropped on the main window, as a user would open them. The shell runs on
// a thread of its own exactly as start-up runs it; this thread drives it with
// the messages a user's actions produce and reads back what a user would see.
//
// The shell must stay up; every damaged document lists the rows that parsed and
// copies what velkdump lists for its file, also after a Refresh; documents whose
// files shrink, vanish or are replaced after the load still copy, expand and
// refresh; a 5 GiB sparse file lists every row, its offsets past 4 GiB in full,
// read a window at a time;
// the real documents still list, copy and find exactly what they did;
// and closing the main window ends the shell with exit code 1.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/startup.h"
#include "catalogue.h"
#include "copy_find_support.h"
#include "file_drop.h"
#include "framework/module.h"
#include "listing_support.h"
#include "parse/windowed_view.h"
#include "present/row_model.h"
#include "shell_thread.h"
#include "temp_folder.h"
#include "view/command_ids.h"
#include "windows_test.h"

namespace velk {

namespace {

using copytest::ClipboardText;
using listing::Utf8;
using listing::Wide;
using test::ListOf;
using test::TextOf;

constexpr WORD kFindCommand = ID_EDIT_FIND;
constexpr WORD kCopyRowsCommand = ID_EDIT_COPY_ROWS;
constexpr WORD kSelectAllCommand = ID_EDIT_SELECT_ALL;
constexpr WORD kRefreshCommand = ID_VIEW_REFRESH;
constexpr int kFindWhatEdit = 0x480;           // edt1 of the find dialog template
constexpr DWORD kAnswerMs = 120000;            // a message unanswered this long is a hang
constexpr std::size_t kMostRowsCopied = 2000;  // six display requests per row under wine

const wchar_t kLargeFile[] = L"large_5_gib.dcm";
constexpr unsigned kLargeFragments = 5;
constexpr std::uint32_t kGib = std::uint32_t(1) << 30;

const wchar_t kRealFolder[] = L"Z:\\usr\\lib\\python3\\dist-packages\\pydicom\\data\\test_files\\";
const wchar_t* const kRealFiles[] = {L"CT_small.dcm", L"MR_small_implicit.dcm", L"rtplan.dcm",
                                     L"JPEG2000.dcm", L"reportsi.dcm"};

// What Copy Rows puts on the clipboard for every row of a file, as velkdump
// lists it. Empty for a file it does not list.
std::wstring ExpectedCopy(const std::wstring& path) {
    std::string expected;
    return listing::ExpectedCopy(path, expected) ? Wide(expected) : std::wstring();
}

using test::MakeDrop;

using test::ShellThread;

std::wstring UpperAToZ(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'a' && c <= L'z') c = wchar_t(c - L'a' + L'A');
    }
    return text;
}

// The row Find Next selects downward from no selection without Match case: the
// first whose line holds the text, letters a to z matching either case. The
// copy's lines are the rows; no searched text spans a ";" or an indent.
int ExpectedFind(const std::wstring& copy, const std::wstring& text) {
    const std::wstring rows = UpperAToZ(copy);
    const std::wstring wanted = UpperAToZ(text);
    int row = 0;
    std::size_t start = 0;
    for (std::size_t end; (end = rows.find(L"\r\n", start)) != std::wstring::npos;
         start = end + 2, ++row) {
        if (rows.substr(start, end - start).find(wanted) != std::wstring::npos) return row;
    }
    return -1;
}

const catalogue::case_file& CatalogueCase(const char* name) {
    for (const catalogue::case_file& c : catalogue::all_cases()) {
        if (std::string(c.name) == name) return c;
    }
    throw std::invalid_argument(name);
}

std::size_t RowsOf(const std::string& bytes) {
    dcm_row_model rows;
    rows.load({bytes.data(), bytes.data() + bytes.size()});
    return rows.size();
}

// Files that change between the load and the next request: each starts as the
// catalogue's sound file with sequences.
struct ChangingFile {
    std::wstring name;
    std::string bytes_after;  // unused when it vanishes
    bool vanishes;
};

const std::vector<ChangingFile>& ChangingFiles() {
    static const std::vector<ChangingFile> files = [] {
        const std::string sound = CatalogueCase("sound_sequences").make();
        return std::vector<ChangingFile>{
            {L"changed_shrinks.dcm", sound.substr(0, sound.size() - 40), false},
            {L"changed_vanishes.dcm", "", true},
            {L"changed_is_replaced.dcm", CatalogueCase("sound_implicit").make(), false},
        };
    }();
    return files;
}

// One running shell with the whole catalogue and the real files open in it.
class Containment : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
        ::InitCommonControlsEx(&controls);
        GetAppModule().Init(::GetModuleHandleW(nullptr));
    }

    // Writes the files, starts the shell with the first real file and drops all
    // the others on its main window, real files among the damaged ones.
    void OpenEverything() {
        std::size_t real = 1;
        for (const catalogue::case_file& c : catalogue::all_cases()) {
            const std::wstring name = Wide(c.name) + L".dcm";
            m_paths[name] = m_folder.Write(name, c.make());
            ASSERT_FALSE(m_paths[name].empty());
            m_drop.push_back(m_paths[name]);
            m_damaged[name] = c.rows;
            if (m_drop.size() % 12 == 0 && real < std::size(kRealFiles)) {
                m_drop.push_back(std::wstring(kRealFolder) + kRealFiles[real++]);
            }
        }
        while (real < std::size(kRealFiles)) {
            m_drop.push_back(std::wstring(kRealFolder) + kRealFiles[real++]);
        }
        for (const ChangingFile& f : ChangingFiles()) {
            m_paths[f.name] = m_folder.Write(f.name, CatalogueCase("sound_sequences").make());
            m_drop.push_back(m_paths[f.name]);
        }
        // A 5 GiB file, sparse: it costs no disk where the file system keeps holes.
        const std::wstring large = m_folder.path() + kLargeFile;
        if (catalogue::write_sparse_pixel_file(Utf8(large), kLargeFragments, kGib)) {
            m_paths[kLargeFile] = large;
            m_drop.push_back(large);
            m_largeCopy = ExpectedCopy(large);  // mapped whole
        } else {
            std::printf("skipped the 5 GiB file: no sparse file could be made in %s\n",
                        Utf8(m_folder.path()).c_str());
        }
        for (const wchar_t* name : kRealFiles) {
            m_realCopies[name] = ExpectedCopy(std::wstring(kRealFolder) + name);
        }

        // The shell reads files over 1 GiB a window at a time, as where the
        // system will not map them whole: the 5 GiB one.
        _putenv_s("VELK_WHOLE_VIEW_LIMIT", "1073741824");
        m_shell = std::make_unique<ShellThread>(std::wstring(kRealFolder) + kRealFiles[0]);
        m_frame = m_shell->WaitForFrame();
        ASSERT_TRUE(m_frame) << "the main frame did not appear";
        m_client = ::FindWindowExW(m_frame, nullptr, L"MDIClient", nullptr);
        Send(m_frame, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(m_drop)));
        m_documents = Documents();
    }

    // Sends as a user's action does, but gives up rather than hang the test.
    LRESULT Send(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0) {
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutW(window, message, w, l, SMTO_NORMAL, kAnswerMs, &result)) {
            ADD_FAILURE() << "message " << message << " unanswered";
        }
        return LRESULT(result);
    }

    void Command(WORD id) { Send(m_frame, WM_COMMAND, id, 0); }

    // The frame forwards a document command unchanged to the active document
    // window. Sending it to the document itself spares the activation, which
    // under wine costs about 25 ms for every open document.
    void DocumentCommand(HWND document, WORD id) { Send(document, WM_COMMAND, id, 0); }

    void Activate(HWND document) {
        Send(m_client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(document));
    }

    int ItemCount(HWND document) { return int(Send(ListOf(document), LVM_GETITEMCOUNT)); }

    HWND Document(const std::wstring& name) {
        const auto found = m_documents.find(name);
        if (found != m_documents.end()) return found->second;
        ADD_FAILURE() << "no document window for " << Utf8(name);
        return nullptr;
    }

    // The document windows by title.
    std::map<std::wstring, HWND> Documents() const {
        std::map<std::wstring, HWND> documents;
        for (HWND w = ::GetWindow(m_client, GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
            if (!::GetWindow(w, GW_OWNER)) documents[TextOf(w)] = w;  // not an icon title
        }
        return documents;
    }

    // A press and release of the left button on a row's icon.
    void ClickIcon(HWND document, int row) {
        const HWND list = ListOf(document);
        Send(list, LVM_ENSUREVISIBLE, WPARAM(row), FALSE);
        RECT icon{};
        icon.left = LVIR_ICON;
        Send(list, LVM_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&icon));
        const LPARAM at = MAKELPARAM((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2);
        Send(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        Send(list, WM_LBUTTONUP, 0, at);
    }

    // Select All and Copy Rows in the document.
    std::wstring CopyAll(HWND document) {
        copytest::PutOnClipboard(L"<not copied>");
        DocumentCommand(document, kSelectAllCommand);
        DocumentCommand(document, kCopyRowsCommand);
        return ClipboardText();
    }

    // Select All and Copy Rows in the active document, from the main frame.
    std::wstring CopyAllThroughFrame() {
        copytest::PutOnClipboard(L"<not copied>");
        Command(kSelectAllCommand);
        Command(kCopyRowsCommand);
        return ClipboardText();
    }

    // Find Next for `text` in the active document from no selection, through the
    // Find dialog; answers the row selected afterwards, -1 for none.
    int Find(HWND document, const std::wstring& text) {
        const HWND list = ListOf(document);
        LVITEMW none{};
        none.stateMask = LVIS_SELECTED;
        Send(list, LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&none));
        Send(list, LVM_SETSELECTIONMARK, 0, -1);
        Command(kFindCommand);
        const HWND dialog = FindDialog();
        if (!dialog) {
            ADD_FAILURE() << "no find dialog";
            return -2;
        }
        Send(::GetDlgItem(dialog, kFindWhatEdit), WM_SETTEXT, 0,
             reinterpret_cast<LPARAM>(text.c_str()));
        Send(::GetDlgItem(dialog, IDOK), BM_CLICK);
        const int found = int(Send(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
        Send(dialog, WM_COMMAND, IDCANCEL);
        return found;
    }

    // The find dialog: the visible dialog window of the shell's thread.
    HWND FindDialog() const {
        HWND dialog = nullptr;
        ::EnumThreadWindows(
            m_shell->ThreadId(),
            [](HWND w, LPARAM found) -> BOOL {
                wchar_t name[16] = {};
                ::GetClassNameW(w, name, 16);
                if (std::wstring(name) != L"#32770" || !::IsWindowVisible(w)) return TRUE;
                *reinterpret_cast<HWND*>(found) = w;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&dialog));
        return dialog;
    }

    test::TempFolder m_folder{L"velk-containment"};
    std::vector<std::wstring> m_drop;
    std::map<std::wstring, std::wstring> m_paths;       // of the files written, by name
    std::map<std::wstring, std::size_t> m_damaged;      // rows of each catalogue file
    std::map<std::wstring, std::wstring> m_realCopies;  // each real file's Copy Rows
    std::wstring m_largeCopy;                           // the 5 GiB file's
    std::unique_ptr<ShellThread> m_shell;
    HWND m_frame = nullptr;
    HWND m_client = nullptr;
    std::map<std::wstring, HWND> m_documents;
};

TEST_F(Containment, CatalogueBesideRealDocuments) {
    if (::GetFileAttributesW((std::wstring(kRealFolder) + kRealFiles[0]).c_str()) ==
        INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "pydicom's test files are not installed";
    }
    OpenEverything();
    ASSERT_TRUE(m_frame);
    EXPECT_EQ(m_documents.size(), m_drop.size() + 1);

    // Files that change after the load: their cells, a collapse and an expand of
    // their first sequence, and a Refresh read the file as it is now.
    for (const ChangingFile& f : ChangingFiles()) {
        if (f.vanishes) {
            ASSERT_TRUE(::DeleteFileW(m_paths[f.name].c_str()));
        } else {
            ASSERT_FALSE(m_folder.Write(f.name, f.bytes_after).empty());
        }
        const HWND document = Document(f.name);
        ASSERT_TRUE(document);
        const std::wstring copy = CopyAll(document);
        EXPECT_EQ(std::count(copy.begin(), copy.end(), L'\n'), ItemCount(document));
        ClickIcon(document, 7);  // the first sequence: collapse,
        ClickIcon(document, 7);  // and expand against the changed file
        DocumentCommand(document, kRefreshCommand);
        EXPECT_EQ(ItemCount(document), int(f.vanishes ? 0 : RowsOf(f.bytes_after))) << Utf8(f.name);
    }

    // Every damaged document lists the rows that parsed and copies what velkdump
    // lists, also after a Refresh.
    for (const auto& [name, rows] : m_damaged) {
        const HWND document = Document(name);
        ASSERT_TRUE(document);
        EXPECT_EQ(ItemCount(document), int(rows)) << Utf8(name);
        DocumentCommand(document, kRefreshCommand);
        EXPECT_EQ(ItemCount(document), int(rows)) << Utf8(name) << " after Refresh";
        if (rows <= kMostRowsCopied) {
            EXPECT_EQ(CopyAll(document), ExpectedCopy(m_paths[name])) << Utf8(name);
        }
    }

    // The 5 GiB document lists every row, its offsets past 4 GiB in full.
    if (m_paths.count(kLargeFile)) {
        const HWND document = Document(kLargeFile);
        ASSERT_TRUE(document);
        EXPECT_EQ(ItemCount(document), int(catalogue::sparse_pixel_file_rows(kLargeFragments)));
        const std::wstring copy = CopyAll(document);
        EXPECT_EQ(copy, m_largeCopy);
        EXPECT_GT(dcm_windows_filled(), 0u) << "the 5 GiB file was mapped whole";
        const std::wstring last =
            L";" +
            std::to_wstring(catalogue::sparse_pixel_file_last_offset(kLargeFragments, kGib)) +
            L"\r\n";
        EXPECT_TRUE(copy.size() > last.size() && copy.substr(copy.size() - last.size()) == last)
            << Utf8(copy);
    }

    // The real documents still list, copy and find.
    for (const wchar_t* name : kRealFiles) {
        const HWND document = Document(name);
        ASSERT_TRUE(document);
        const std::wstring& copy = m_realCopies[name];
        EXPECT_EQ(ItemCount(document), std::count(copy.begin(), copy.end(), L'\n')) << Utf8(name);
        Activate(document);
        EXPECT_EQ(CopyAllThroughFrame(), copy) << Utf8(name);
        for (const wchar_t* text : {L"(0010,0010)", L"Item Delimitation Item", L"pixel data"}) {
            EXPECT_EQ(Find(document, text), ExpectedFind(copy, text))
                << Utf8(name) << " " << Utf8(text);
        }
    }

    ::PostMessageW(m_frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(m_shell->Join(), 1);
}

}  // namespace

}  // namespace velk
