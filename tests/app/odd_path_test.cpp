// Paths that are not plain files, and files that change under a shown document,
// in one running shell: each odd path gives an empty document within a bounded
// time, no device is read, and the shell still answers; a shown file may be
// rewritten, renamed and deleted by someone else while the list paints and while
// it copies, and the list then shows what the file holds.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "catalogue.h"
#include "framework/module.h"
#include "present/row_model.h"
#include "shell_driver.h"
#include "shell_thread.h"
#include "temp_folder.h"

namespace velk {

namespace {

constexpr WORD kCopyRowsCommand = 0xE122;
constexpr WORD kSelectAllCommand = 0xE12A;
constexpr WORD kRefreshCommand = 0xE803;

std::string Case(const char* name) {
    for (const catalogue::case_file& c : catalogue::all_cases())
        if (std::string(c.name) == name) return c.make();
    return {};
}

class OddPaths : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
        ::InitCommonControlsEx(&controls);
        GetAppModule().Init(::GetModuleHandleW(nullptr));
    }
    void SetUp() override {
        m_frame = m_running.WaitForFrame();
        ASSERT_TRUE(m_frame);
        m_shell = std::make_unique<test::ShellDriver>(m_frame, m_running.ThreadId());
    }
    void TearDown() override { ::PostMessageW(m_frame, WM_CLOSE, 0, 0); }

    // Opens the path as a drop does; answers the new document's row count, or
    // -1 when the shell did not answer within the frozen-window limit.
    int OpenWithin(const std::wstring& path) {
        bool answered = false;
        m_shell->Send(m_frame, WM_DROPFILES, reinterpret_cast<WPARAM>(test::MakeDrop({path})), 0,
                      test::ShellDriver::kFrozenMs, &answered);
        if (!answered) return -1;
        return m_shell->Rows(m_shell->Active());
    }

    test::TempFolder m_folder{L"velk-odd"};
    test::ShellThread m_running;
    HWND m_frame = nullptr;
    std::unique_ptr<test::ShellDriver> m_shell;
};

TEST_F(OddPaths, EachGivesAnEmptyDocumentQuickly) {
    const std::string sound = Case("sound_sequences");
    // A server that never answers: a documentation address nobody routes.
    std::vector<std::wstring> odd = {L"CON",
                                     L"NUL",
                                     L"COM1",
                                     L"C:\\CON.dcm",
                                     L"\\\\.\\COM1",
                                     L"\\\\.\\pipe\\velk-odd-path",
                                     L"\\\\192.0.2.1\\share\\x.dcm",
                                     m_folder.Write(L"empty.dcm", "")};
    HANDLE pipe = ::CreateNamedPipeW(L"\\\\.\\pipe\\velk-odd-path", PIPE_ACCESS_DUPLEX, 0, 1, 64,
                                     64, 0, nullptr);
    const std::wstring held = m_folder.Write(L"held.dcm", sound);
    HANDLE holder =
        ::CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    odd.push_back(held);
    for (const std::wstring& path : odd)
        EXPECT_EQ(OpenWithin(path), 0) << std::string(path.begin(), path.end());
    ::CloseHandle(holder);
    ::CloseHandle(pipe);

    // Once the other program lets go, Refresh lists it; so does an empty file
    // once it has grown.
    const HWND heldDocument = m_shell->Active();
    m_shell->Command(heldDocument, kRefreshCommand);
    EXPECT_EQ(m_shell->Rows(heldDocument), 20);
    const std::wstring growing = m_folder.Write(L"growing.dcm", "");
    EXPECT_EQ(OpenWithin(growing), 0);
    m_folder.Write(L"growing.dcm", sound);
    m_shell->Command(m_shell->Active(), kRefreshCommand);
    EXPECT_EQ(m_shell->Rows(m_shell->Active()), 20);
}

TEST_F(OddPaths, LongPathOpensByItsLongForm) {
    std::wstring folder = L"\\\\?\\" + m_folder.path();
    std::vector<std::wstring> made;
    while (folder.size() < 300) {
        folder += L"a-folder-of-forty-characters-in-its-name\\";
        ::CreateDirectoryW(folder.c_str(), nullptr);
        made.push_back(folder);
    }
    const std::wstring path = folder + L"long.dcm";
    const std::string sound = Case("sound_sequences");
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(f, sound.data(), DWORD(sound.size()), &written, nullptr);
    ::CloseHandle(f);
    EXPECT_EQ(OpenWithin(path), 20);
    m_shell->Close(m_shell->Active());
    ::DeleteFileW(path.c_str());
    for (auto it = made.rbegin(); it != made.rend(); ++it) ::RemoveDirectoryW(it->c_str());
}

// What another program does to a shown file while the viewer has it mapped.
enum class Change { rewrite, rename, remove };

bool Apply(Change change, const std::wstring& path, const std::string& bytes) {
    switch (change) {
    case Change::rewrite: {
        // In place and longer (made anew if it has gone): a mapped file may
        // grow but not be cut.
        HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        const bool ok = ::WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                        written == bytes.size();
        ::CloseHandle(f);
        return ok;
    }
    case Change::rename: return ::MoveFileW(path.c_str(), (path + L".moved").c_str()) != 0;
    case Change::remove: return ::DeleteFileW(path.c_str()) != 0;
    }
    return false;
}

// The change, made from inside the first display request of the next paint:
// the moment the list holds the file mapped.
struct DuringPaint {
    static inline Change change;
    static inline std::wstring path;
    static inline std::string bytes;
    static inline std::atomic<int> applied{-1};
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (applied < 0 && sent->message == WM_NOTIFY &&
            reinterpret_cast<const NMHDR*>(sent->lParam)->code == LVN_GETDISPINFOW)
            applied = Apply(change, path, bytes) ? 1 : 0;
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

TEST_F(OddPaths, AShownFileMayBeRewrittenRenamedAndDeletedDuringAPaintAndACopy) {
    const std::string sound = Case("sound_sequences");    // 20 rows
    const std::string implicit = Case("sound_implicit");  // 12 rows, rewritten over it
    const std::string longer = implicit + std::string(sound.size(), '\0');
    dcm_row_model rewritten;
    rewritten.load({longer.data(), longer.data() + longer.size()});
    for (Change change : {Change::rewrite, Change::rename, Change::remove}) {
        const std::wstring path = m_folder.Write(L"changed.dcm", sound);
        ASSERT_EQ(OpenWithin(path), 20);
        const HWND document = m_shell->Active();
        DuringPaint::change = change;
        DuringPaint::path = path;
        DuringPaint::bytes = longer;
        DuringPaint::applied = -1;
        HHOOK hook =
            ::SetWindowsHookExW(WH_CALLWNDPROC, DuringPaint::Hook, nullptr, m_running.ThreadId());
        // Painted now, on the shell's thread, before the call returns. Now and
        // then, on a loaded machine, the hook sees no display request in the
        // paint (-1, once in a few dozen runs): paint again, so that the change
        // is made while the list holds the file mapped.
        for (int attempt = 0; attempt < 5 && DuringPaint::applied < 0; ++attempt)
            ::RedrawWindow(test::ShellDriver::ListOf(document), nullptr, nullptr,
                           RDW_INVALIDATE | RDW_UPDATENOW);
        ::UnhookWindowsHookEx(hook);
        EXPECT_EQ(DuringPaint::applied, 1)
            << "the viewer kept the file from change " << int(change);
        m_shell->Command(document, kRefreshCommand);
        EXPECT_EQ(m_shell->Rows(document), change == Change::rewrite ? int(rewritten.size()) : 0);
        m_shell->Close(document);
        ::DeleteFileW((path + L".moved").c_str());
        ::DeleteFileW(path.c_str());
    }

    // During Copy Rows: another thread rewrites, renames and deletes the file
    // over and over while the shell copies; every change must go through, and
    // the shell keeps answering.
    const std::wstring path = m_folder.Write(L"copied.dcm", sound);
    ASSERT_EQ(OpenWithin(path), 20);
    const HWND document = m_shell->Active();
    m_shell->Command(document, kSelectAllCommand);
    std::atomic<bool> stop{false};
    std::atomic<int> refused{0}, made{0};
    std::thread other([&] {
        // A new name each time: a deleted file keeps its name while a view of
        // it is still mapped.
        for (int i = 0; !stop; ++i) {
            const std::wstring moved = path + std::to_wstring(i);
            (Apply(Change::rewrite, path, longer) ? made : refused)++;
            (::MoveFileW(path.c_str(), moved.c_str()) ? made : refused)++;
            (Apply(Change::remove, moved, longer) ? made : refused)++;
        }
    });
    for (int i = 0; i < 10; ++i) {
        bool answered = false;
        m_shell->Send(document, WM_COMMAND, kCopyRowsCommand, 0, 60000, &answered);
        EXPECT_TRUE(answered);
    }
    stop = true;
    other.join();
    EXPECT_GT(made, 0);
    EXPECT_EQ(refused, 0);
}

}  // namespace

}  // namespace velk
