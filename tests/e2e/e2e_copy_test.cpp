// The two views of a file held against each other: velk.exe, started as its own
// process with the file, has every row selected and copied through its main
// window; the clipboard must hold exactly what velkdump lists for the same file
// (UTF-16 with CR LF there, UTF-8 with LF here). Run over every real file in
// pydicom's data folder that the list accepts, and over every file of the
// bad-input catalogue. Closing the window ends the program with exit code 1.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "catalogue.h"
#include "copy_find_support.h"
#include "listing_support.h"
#include "temp_folder.h"
#include "viewer_process.h"

namespace velk {

namespace {

using e2e::Viewer;
using listing::ExpectedCopy;
using listing::FirstDifference;
using listing::Utf8;

constexpr WORD kCopyRows = 0xE122;
constexpr WORD kSelectAll = 0xE12A;

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

// This run's share of the files, from VELK_E2E_SHARD="k/n": every n-th file
// from the k-th, so that the files are split across tests that each have a time
// budget of their own. Without it, every file.
bool InThisShard(std::size_t index) {
    const char* shard = std::getenv("VELK_E2E_SHARD");
    unsigned k = 0, n = 1;
    if (!shard || std::sscanf(shard, "%u/%u", &k, &n) != 2 || n == 0 || k >= n) return true;
    return index % n == k;
}

// A file the viewer opens, with what it must show.
struct Listed {
    std::wstring file;
    std::string expected;  // the clipboard after Select All and Copy Rows
    bool copied;           // false: too many rows to copy in the test's time
    int rows;              // the rows listed; -1 when not checked
};

// Under wine each display request costs about a quarter of a millisecond, so a
// copy of more rows than this takes longer than the test may.
constexpr std::size_t kMostRowsCopied = 2000;

// One viewer process after another would take wine most of a second to start
// and two to close each; a batch of them starts and closes side by side, while
// the clipboard is used by one at a time.
constexpr std::size_t kBatch = 8;

void CheckInViewers(const std::vector<Listed>& listed) {
    for (std::size_t first = 0; first < listed.size(); first += kBatch) {
        const std::size_t end = std::min(listed.size(), first + kBatch);
        std::vector<std::unique_ptr<Viewer>> viewers;
        for (std::size_t i = first; i < end; ++i)
            viewers.push_back(std::make_unique<Viewer>(listed[i].file));
        for (std::size_t i = first; i < end; ++i) {
            SCOPED_TRACE(Utf8(listed[i].file));
            Viewer& viewer = *viewers[i - first];
            ASSERT_NE(viewer.Frame(), nullptr) << viewer.WhyNoFrame();
            if (listed[i].rows >= 0) {
                EXPECT_EQ(viewer.ItemCount(), listed[i].rows);
            }
            if (!listed[i].copied) continue;
            ASSERT_TRUE(copytest::PutOnClipboard(L"<not copied>"));
            ASSERT_TRUE(viewer.Command(kSelectAll));
            ASSERT_TRUE(viewer.Command(kCopyRows));
            const std::string copied = Utf8(copytest::ClipboardText());
            EXPECT_EQ(copied.size(), listed[i].expected.size());
            EXPECT_TRUE(copied == listed[i].expected)
                << FirstDifference(copied, listed[i].expected);
        }
        // Closed once the batch has copied: a closing window holds up the
        // clipboard for the others for as long as its closing takes.
        for (auto& viewer : viewers) viewer->Close();
        for (std::size_t i = first; i < end; ++i)
            EXPECT_EQ(viewers[i - first]->ExitCode(), 1u) << Utf8(listed[i].file);
    }
}

TEST(EndToEndCopy, EveryAcceptedPydicomFileCopiesAsVelkdumpListsIt) {
    std::vector<std::wstring> files;
    FilesBelow(L"Z:\\usr\\lib\\python3\\dist-packages\\pydicom\\data\\", files);
    ASSERT_GT(files.size(), 50u) << "pydicom's data folder was not found";
    ASSERT_EQ(::GetACP(), 1252u)
        << "velkdump converts as code page 1252 does; the viewer uses the ANSI page";
    std::vector<Listed> listed;
    std::size_t accepted = 0;
    for (const std::wstring& file : files) {
        std::string expected;
        if (!ExpectedCopy(file, expected)) continue;
        if (InThisShard(accepted++)) listed.push_back({file, std::move(expected), true, -1});
    }
    ASSERT_GT(accepted, 50u);
    ASSERT_FALSE(listed.empty());
    CheckInViewers(listed);
}

// Every file of the bad-input catalogue in velk.exe: it starts, lists the rows
// that parsed (none for a file that is not part 10), copies what velkdump lists,
// and ends with exit code 1 when closed.
TEST(EndToEndCatalogue, EveryFileListsCopiesAndCloses) {
    test::TempFolder folder(L"velk-e2e-catalogue");
    std::vector<Listed> listed;
    for (const catalogue::case_file& c : catalogue::all_cases()) {
        const std::wstring path = folder.Write(listing::Wide(c.name) + L".dcm", c.make());
        ASSERT_FALSE(path.empty()) << c.name;
        std::string expected;
        const bool part10 = ExpectedCopy(path, expected);
        listed.push_back(
            {path, std::move(expected), part10 && c.rows <= kMostRowsCopied, int(c.rows)});
        if (!part10) {
            EXPECT_EQ(c.rows, 0u) << c.name << ": velkdump does not list it";
        }
    }
    CheckInViewers(listed);
}

}  // namespace

}  // namespace velk
