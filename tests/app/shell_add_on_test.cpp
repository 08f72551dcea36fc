// The add-on link's action: the missing-installer message, and the mailer's exact
// command line, read back from a recording mailer (mailrun.exe beside this test
// program, which is where the bare name "mailrun" is found first).
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "app/add_on_mail.h"
#include "shell_dialog_watcher.h"
#include "velk_version.h"
#include "windows_test.h"

namespace velk {

namespace {

const wchar_t* const kMissingText =
    L"Setup file 'orbelsetup.msi' is not found. Please re-install the application.";
const char* const kExpectedCommandLine =
    "mailrun /szmail \"Orbel Explorer Add-on (OEA) " VELK_VERSION_TEXT "\" orbelsetup.msi";

std::wstring InstallerPath() { return test::TestProgramFolder() + L"orbelsetup.msi"; }
std::wstring RecordPath() { return test::TestProgramFolder() + L"mailrun_command_line.txt"; }

void RemoveInstaller() {
    DeleteFileW(InstallerPath().c_str());
    RemoveDirectoryW(InstallerPath().c_str());
}

bool ReadRecord(std::string& text) {
    std::ifstream in(RecordPath().c_str(), std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return true;
}

// Activates the link's action and waits for the recording mailer to report.
std::string MailerCommandLine() {
    DeleteFileW(RecordPath().c_str());
    DialogWatcher watcher;
    SendAddOnMail(nullptr);
    std::string line;
    test::PumpUntil([&] { return ReadRecord(line); });
    EXPECT_TRUE(watcher.Seen().empty()) << "no message box when the installer exists";
    return line;
}

class AddOnMailTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveInstaller(); }
    void TearDown() override { RemoveInstaller(); }
};

// Each box costs wine about two seconds to show, so one test looks at both the
// repetition and the owner.
TEST_F(AddOnMailTest, MissingInstallerShowsTheErrorBoxEveryTimeAndStartsNothing) {
    DeleteFileW(RecordPath().c_str());
    HWND frame = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    HWND link = CreateWindowExW(0, L"STATIC", L"link", WS_CHILD, 0, 0, 50, 10, frame, nullptr,
                                nullptr, nullptr);
    DialogWatcher watcher;
    SendAddOnMail(link);
    SendAddOnMail(link);
    DestroyWindow(frame);
    ASSERT_EQ(watcher.Seen().size(), 2u);
    for (const SeenDialog& box : watcher.Seen()) {
        EXPECT_EQ(box.caption, L"Error");
        ASSERT_EQ(box.staticTexts.size(), 1u);
        EXPECT_EQ(box.staticTexts[0], kMissingText);
        EXPECT_TRUE(box.hasIcon);
        EXPECT_EQ(box.owner, frame) << "a box owned by a child belongs to its frame";
    }
    Sleep(300);
    EXPECT_EQ(GetFileAttributesW(RecordPath().c_str()), INVALID_FILE_ATTRIBUTES)
        << "the mailer must not start without the installer";
}

TEST_F(AddOnMailTest, PresentInstallerStartsTheMailerWithTheExactCommandLine) {
    std::ofstream(InstallerPath().c_str()) << "installer";
    EXPECT_EQ(MailerCommandLine(), kExpectedCommandLine);
}

TEST_F(AddOnMailTest, FolderNamedLikeTheInstallerPassesTheExistenceTest) {
    ASSERT_TRUE(CreateDirectoryW(InstallerPath().c_str(), nullptr));
    EXPECT_EQ(MailerCommandLine(), kExpectedCommandLine);
}

}  // namespace

}  // namespace velk
