// The two views of a file held against each other: velk.exe, started as its own
// process with the file, has every row selected and copied through its main
// window; the clipboard must hold exactly what velkdump lists for the same file
// (UTF-16 with CR LF there, UTF-8 with LF here). Run over every real file in
// pydicom's data folder that the list accepts. Closing the window ends the
// program with exit code 1.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "cli/dump.h"
#include "copy_find_support.h"
#include "parse/cursor.h"
#include "parse/file.h"
#include "parse/mapping.h"

namespace {

constexpr WORD kCopyRows = 0xE122;
constexpr WORD kSelectAll = 0xE12A;
constexpr DWORD kStartMs = 30000;
constexpr DWORD kCommandMs = 60000;

std::wstring ThisFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring ViewerPath() { return ThisFolder() + VELK_APP_FOLDER_FROM_TESTS L"velk.exe"; }

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// Every file below `folder` (ending in a backslash), sorted.
void FilesBelow(const std::wstring& folder, std::vector<std::wstring>& files) {
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            FilesBelow(folder + name + L"\\", files);
        else
            files.push_back(folder + name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

std::string ReadAll(std::FILE* f) {
    std::fflush(f);
    const long size = std::ftell(f);
    std::string text(std::size_t(size > 0 ? size : 0), '\0');
    std::rewind(f);
    text.resize(text.empty() ? 0 : std::fread(&text[0], 1, text.size(), f));
    return text;
}

// Where each row's line ends in velkdump's listing: the rows of the file dumped
// one at a time. A value may hold line breaks of its own, so the line ends
// cannot be told from the text alone.
std::vector<std::size_t> RowEnds(const std::wstring& path) {
    std::vector<std::size_t> ends;
    const dcm_file_mapping file(path.c_str());
    if (!dcm_has_marker(file.begin(), file.end())) return ends;
    std::vector<dcm_cursor> rows;
    dcm_cursor_insert<std::back_insert_iterator<std::vector<dcm_cursor>>> visitor(std::back_inserter(rows), 0,
                                                                                  nullptr);
    dcm_parse_file(file.begin(), file.end(), visitor);
    std::FILE* out = std::tmpfile();
    if (!out) return ends;
    {
        dump_output lines(out);
        for (const dcm_cursor& c : rows) {
            dump_rows(file.begin(), file.end(), std::vector<dcm_cursor>{c}, lines);
            lines.flush();
            ends.push_back(std::size_t(std::ftell(out)));
        }
    }
    std::fclose(out);
    return ends;
}

// What the clipboard must hold for a file, in UTF-8: velkdump's listing with
// every line ended by CR LF instead of LF. False when velkdump does not list
// the file (not a part-10 file), which is when the viewer's list stays empty.
bool ExpectedCopy(const std::wstring& path, std::string& expected) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    if (!out || !err) return false;
    const bool listed = velkdump({Utf8(path)}, out, err) == 0;
    const std::string listing = ReadAll(out);
    std::fclose(out);
    std::fclose(err);
    if (!listed) return false;
    expected.clear();
    std::size_t begin = 0;
    for (std::size_t end : RowEnds(path)) {
        if (end <= begin || end > listing.size() || listing[end - 1] != '\n') break;
        expected.append(listing, begin, end - 1 - begin);
        expected += "\r\n";
        begin = end;
    }
    if (begin != listing.size()) ADD_FAILURE() << Utf8(path) << ": velkdump's rows do not add up to its listing";
    return begin == listing.size();
}

struct WindowSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK TakeMainWindow(HWND window, LPARAM state) {
    auto* search = reinterpret_cast<WindowSearch*>(state);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->process && ::IsWindowVisible(window) && !::GetWindow(window, GW_OWNER)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// velk.exe with one file, from its start to its exit.
class Viewer {
public:
    explicit Viewer(const std::wstring& file) {
        std::wstring line = L"\"" + ViewerPath() + L"\" \"" + file + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        ::CreateProcessW(ViewerPath().c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                         &m_process);
    }
    ~Viewer() {
        if (!m_process.hProcess) return;
        if (::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(m_process.hProcess, 255);
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    // The main window, once the program waits for input with its file loaded.
    HWND Frame() {
        if (m_frame || !m_process.hProcess) return m_frame;
        ::WaitForInputIdle(m_process.hProcess, kStartMs);
        const DWORD start = ::GetTickCount();
        while (!m_frame && ::GetTickCount() - start < kStartMs) {
            WindowSearch search{m_process.dwProcessId, nullptr};
            ::EnumWindows(&TakeMainWindow, reinterpret_cast<LPARAM>(&search));
            m_frame = search.found;
            if (!m_frame) ::Sleep(50);
        }
        return m_frame;
    }

    // A command as the menu and the keys send it, to the main window.
    bool Command(WORD id) const {
        DWORD_PTR answer = 0;
        return ::SendMessageTimeoutW(m_frame, WM_COMMAND, id, 0, SMTO_ABORTIFHUNG, kCommandMs, &answer) != 0;
    }

    void Close() const { ::PostMessageW(m_frame, WM_CLOSE, 0, 0); }
    // The exit code once the program has ended, or STILL_ACTIVE.
    DWORD ExitCode() const {
        ::WaitForSingleObject(m_process.hProcess, kStartMs);
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(m_process.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION m_process{};
    HWND m_frame = nullptr;
};

// The first line where two listings part, for a readable failure.
std::string FirstDifference(const std::string& a, const std::string& b) {
    std::size_t line_start = 0;
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) {
        if (a[i] == '\n') line_start = i + 1;
        ++i;
    }
    auto line = [line_start](const std::string& s) {
        const std::size_t end = s.find('\n', line_start);
        return s.substr(line_start, end == std::string::npos ? std::string::npos : end - line_start);
    };
    return "viewer:   " + line(a) + "\nvelkdump: " + line(b);
}

// This run's share of the files, from VELK_E2E_SHARD="k/n": every n-th file
// from the k-th, so that the files are split across tests that each have a time
// budget of their own. Without it, every file.
bool InThisShard(std::size_t index) {
    const char* shard = std::getenv("VELK_E2E_SHARD");
    unsigned k = 0, n = 1;
    if (!shard || std::sscanf(shard, "%u/%u", &k, &n) != 2 || n == 0 || k >= n) return true;
    return index % n == k;
}

struct Listed {
    std::wstring file;
    std::string expected;
};

// One viewer process after another would take wine most of a second to start
// and two to close each; a batch of them starts and closes side by side, while
// the clipboard is used by one at a time.
constexpr std::size_t kBatch = 8;

TEST(EndToEndCopy, EveryAcceptedPydicomFileCopiesAsVelkdumpListsIt) {
    std::vector<std::wstring> files;
    FilesBelow(L"Z:\\usr\\lib\\python3\\dist-packages\\pydicom\\data\\", files);
    ASSERT_GT(files.size(), 50u) << "pydicom's data folder was not found";
    ASSERT_EQ(::GetACP(), 1252u) << "velkdump converts as code page 1252 does; the viewer uses the ANSI page";
    std::vector<Listed> listed;
    std::size_t accepted = 0;
    for (const std::wstring& file : files) {
        std::string expected;
        if (!ExpectedCopy(file, expected)) continue;
        if (InThisShard(accepted++)) listed.push_back({file, std::move(expected)});
    }
    ASSERT_GT(accepted, 50u);
    ASSERT_FALSE(listed.empty());

    for (std::size_t first = 0; first < listed.size(); first += kBatch) {
        const std::size_t end = std::min(listed.size(), first + kBatch);
        std::vector<std::unique_ptr<Viewer>> viewers;
        for (std::size_t i = first; i < end; ++i) viewers.push_back(std::make_unique<Viewer>(listed[i].file));
        for (std::size_t i = first; i < end; ++i) {
            SCOPED_TRACE(Utf8(listed[i].file));
            Viewer& viewer = *viewers[i - first];
            ASSERT_NE(viewer.Frame(), nullptr) << "velk.exe showed no window";
            ASSERT_TRUE(copytest::PutOnClipboard(L"<not copied>"));
            ASSERT_TRUE(viewer.Command(kSelectAll));
            ASSERT_TRUE(viewer.Command(kCopyRows));
            const std::string copied = Utf8(copytest::ClipboardText());
            EXPECT_EQ(copied.size(), listed[i].expected.size());
            EXPECT_TRUE(copied == listed[i].expected) << FirstDifference(copied, listed[i].expected);
        }
        // Closed once the batch has copied: a closing window holds up the
        // clipboard for the others for as long as its closing takes.
        for (auto& viewer : viewers) viewer->Close();
        for (std::size_t i = first; i < end; ++i)
            EXPECT_EQ(viewers[i - first]->ExitCode(), 1u) << Utf8(listed[i].file);
    }
}

}  // namespace
