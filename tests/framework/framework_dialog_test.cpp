// Dialogs from resources, modal and modeless, and the file-open dialog wrapper.
#include <gtest/gtest.h>

#include <string>

#include "framework/dialog.h"
#include "framework/file_dialog.h"
#include "framework_test_resource.h"

namespace velk {

namespace {

// Types a text into its edit field when it opens and confirms itself with OK.
class CTestDialog : public CDialogImpl<CTestDialog> {
public:
    enum { IDD = IDD_TEST_DIALOG };

    std::wstring confirmedText;
    bool initialised = false;
    int finalCalls = 0;

    bool ProcessWindowMessage(CMessage& m) override {
        using Map = MessageMap<CTestDialog>;
        static const Map::Entry map[] = {
            Map::Message(WM_INITDIALOG, &CTestDialog::OnInitDialog),
            Map::Command(IDOK, &CTestDialog::OnOk),
            Map::Command(IDCANCEL, &CTestDialog::OnCancel),
        };
        return Map::Route(*this, map, m);
    }

    void OnFinalMessage(HWND) override { ++finalCalls; }

    bool confirmOnOpen = true;

private:
    LRESULT OnInitDialog(CMessage&) {
        initialised = true;
        SetDlgItemText(IDC_TEST_EDIT, L"typed");
        if (confirmOnOpen) PostMessage(WM_COMMAND, IDOK);
        return TRUE;
    }
    LRESULT OnOk(CMessage&) {
        wchar_t text[64] = {};
        ::GetDlgItemTextW(m_hWnd, IDC_TEST_EDIT, text, 64);
        confirmedText = text;
        EndDialog(IDOK);
        return 0;
    }
    LRESULT OnCancel(CMessage&) {
        EndDialog(IDCANCEL);
        return 0;
    }
};

TEST(Dialog, ModalDialogRunsUntilItEndsAndAnswersItsResult) {
    CTestDialog dialog;
    EXPECT_EQ(IDOK, dialog.DoModal(nullptr));
    EXPECT_TRUE(dialog.initialised);
    EXPECT_EQ(L"typed", dialog.confirmedText);
    EXPECT_EQ(1, dialog.finalCalls);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST(Dialog, ModelessDialogLivesUntilItEnds) {
    CTestDialog dialog;
    dialog.confirmOnOpen = false;
    HWND hwnd = dialog.Create(nullptr);
    ASSERT_TRUE(hwnd);
    EXPECT_TRUE(dialog.initialised);
    EXPECT_TRUE(::GetDlgItem(hwnd, IDC_TEST_EDIT));
    dialog.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(1, dialog.finalCalls);
}

TEST(FileDialog, AddsExplorerHookAndSizingToTheCallersFlags) {
    CFileOpenDialog dialog;
    EXPECT_EQ(0x880026u, dialog.m_ofn.Flags);
    EXPECT_EQ(260u, dialog.m_ofn.nMaxFile);
    EXPECT_EQ(256u, dialog.m_ofn.nMaxFileTitle);
    EXPECT_EQ(nullptr, dialog.m_ofn.lpstrFilter);
    EXPECT_EQ(nullptr, dialog.m_ofn.lpstrDefExt);
    EXPECT_EQ(L'\0', dialog.m_szFileName[0]);
}

// Finds the thread's file dialog once it is up and presses a button of it.
struct DialogPress {
    static UINT button;
    static BOOL CALLBACK PressInDialog(HWND hwnd, LPARAM) {
        wchar_t className[16] = {};
        ::GetClassNameW(hwnd, className, 16);
        if (std::wstring(className) != L"#32770" || !::IsWindowVisible(hwnd)) return TRUE;
        if (button == IDOK) ::SetDlgItemTextW(hwnd, 0x47C, L"C:\\chosen.dcm");  // the file name box
        ::PostMessageW(hwnd, WM_COMMAND, button, 0);
        return FALSE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        ::EnumThreadWindows(::GetCurrentThreadId(), &PressInDialog, 0);
    }
};
UINT DialogPress::button = IDCANCEL;

struct FileDialogCase {
    const char* name;
    UINT button;
    INT_PTR result;
    const wchar_t* path;
};

class FileDialogAnswers : public ::testing::TestWithParam<FileDialogCase> {};

TEST_P(FileDialogAnswers, ReportTheUsersChoice) {
    const FileDialogCase& c = GetParam();
    DialogPress::button = c.button;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 300, &DialogPress::OnTimer);
    CFileOpenDialog dialog;
    const INT_PTR result = dialog.DoModal(nullptr);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(c.result, result);
    EXPECT_EQ(std::wstring(c.path), dialog.m_szFileName);
}

INSTANTIATE_TEST_SUITE_P(Framework, FileDialogAnswers,
                         ::testing::Values(FileDialogCase{"Cancelled", IDCANCEL, IDCANCEL, L""},
                                           FileDialogCase{"Confirmed", IDOK, IDOK,
                                                          L"C:\\chosen.dcm"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

}  // namespace velk
