// velk.exe started with a file, as its own process: its list is read back
// through its window from outside, a click collapses a sequence, and closing the
// frame ends the program with exit code 1.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "dicom_builder.h"
#include "documents_remote.h"
#include "temp_folder.h"
#include "viewer_process.h"
#include "windows_test.h"

namespace velk {

namespace {

using test::PumpUntil;
using test::RunFolder;
using test::TextOf;

TEST(VelkProcess, ShowsTheFileNamedOnItsCommandLineAndEndsWithOne) {
    test::dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    b.explicit_element(0x0008, 0x0060, "CS", "MR");
    b.sequence(0x0008, 0x1140).item().explicit_element(0x0008, 0x1150, "UI", "1.23");
    b.item_end().sequence_end();
    b.explicit_element(0x0010, 0x0010, "PN", "Doe^");
    const std::wstring path = RunFolder() + L"process.dcm";
    ASSERT_TRUE(test::WriteFile(path, b.bytes()));

    e2e::Viewer velk(path);
    ASSERT_TRUE(velk.Process()) << "velk.exe did not start";
    const HWND frame = velk.Frame();
    ASSERT_TRUE(frame);
    HWND list = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            list = FindElementList(frame);
            return list && ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0;
        },
        20000));

    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 8);
    const std::vector<std::wstring> first{
        L"(0002,0010)", L"UI", L"20", L"Transfer Syntax UID", L"1.2.840.10008.1.2.1", L"132"};
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(RemoteCellText(velk.Process(), list, 0, column), first[std::size_t(column)]);
    EXPECT_EQ(RemoteCellText(velk.Process(), list, 1, 3), L"Modality");
    EXPECT_EQ(RemoteCellText(velk.Process(), list, 4, 4), L"1.23");
    EXPECT_NE(TextOf(frame).find(L"process.dcm"),
              std::wstring::npos);  // the maximised document's title

    PostClick(list, RemoteIconMiddle(velk.Process(), list, 2));
    EXPECT_TRUE(PumpUntil([&] { return ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 4; }, 5000));
    EXPECT_EQ(RemoteCellText(velk.Process(), list, 3, 0), L"(0010,0010)");

    velk.Close();
    EXPECT_EQ(velk.ExitCode(), 1u);
}

}  // namespace

}  // namespace velk
