// Find in a real document window: the command opens the platform's find dialog
// on the view's record, its Find Next button searches the view that opened it,
// its keys work through the document window's pre-translation, and closing the
// document ends the dialog with it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/documents.h"
#include "copy_find_support.h"
#include "view/find_dialog.h"
#include "view_test_support.h"

#ifndef WM_FORWARDMSG
#define WM_FORWARDMSG 0x037F
#endif

namespace velk {

namespace copytest {
namespace {

using viewtest::ListOf;

// The find dialogs of this thread that are open now.
std::vector<HWND> FindDialogs() {
    std::vector<HWND> dialogs;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND w, LPARAM out) {
            if (::GetDlgItem(w, edt1) && ::GetDlgItem(w, rad2))
                reinterpret_cast<std::vector<HWND>*>(out)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

class FindView : public viewtest::DocumentsTest {
protected:
    void SetUp() override {
        DocumentsTest::SetUp();
        m_document = OpenBytes(L"find.dcm", SampleFile());
        m_list = ListOf(m_document);
        ASSERT_GT(viewtest::ItemCount(m_list), 10);
    }
    void TearDown() override {
        for (HWND dialog : FindDialogs()) ::DestroyWindow(dialog);
        DocumentsTest::TearDown();
    }

    // The Find command, as Ctrl+F sends it to the document window; answers the
    // dialog it opened.
    HWND OpenDialog(HWND document) const {
        const std::vector<HWND> before = FindDialogs();
        ::SendMessageW(document, WM_COMMAND, kFindCommand, 0);
        for (HWND d : FindDialogs())
            if (std::find(before.begin(), before.end(), d) == before.end()) return d;
        return nullptr;
    }
    // Types the text, sets the options and presses Find Next.
    static void Press(HWND dialog, const std::wstring& text, bool down = true,
                      bool matchCase = false) {
        ::SetDlgItemTextW(dialog, edt1, text.c_str());
        ::CheckDlgButton(dialog, chx2, matchCase ? BST_CHECKED : BST_UNCHECKED);
        ::CheckRadioButton(dialog, rad1, rad2, down ? rad2 : rad1);
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       LPARAM(::GetDlgItem(dialog, IDOK)));
    }

    std::vector<int> Selected(HWND list) const {
        std::vector<int> rows;
        int row = -1;
        while ((row = int(::SendMessageW(list, LVM_GETNEXTITEM, WPARAM(row), LVNI_SELECTED))) != -1)
            rows.push_back(row);
        return rows;
    }
    int Mark(HWND list) const { return int(::SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0)); }
    void SetMark(HWND list, int row) const { ::SendMessageW(list, LVM_SETSELECTIONMARK, 0, row); }

    HWND m_document = nullptr;
    HWND m_list = nullptr;
};

TEST_F(FindView, DialogOpensDownwardWithoutWholeWordAndOffersTheLastText) {
    HWND dialog = OpenDialog(m_document);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(::IsDlgButtonChecked(dialog, rad2), BST_CHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(dialog, chx2), BST_UNCHECKED);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, chx1)));
    Press(dialog, L"modality", false, true);
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    viewtest::Pump();
    HWND again = OpenDialog(m_document);
    ASSERT_NE(again, nullptr);
    wchar_t text[260] = {};
    ::GetDlgItemTextW(again, edt1, text, 260);
    EXPECT_STREQ(text, L"modality");
    EXPECT_EQ(::IsDlgButtonChecked(again, rad2), BST_CHECKED);  // downward again
    EXPECT_EQ(::IsDlgButtonChecked(again, chx2), BST_UNCHECKED);
}

TEST_F(FindView, FoundRowJoinsTheSelectionBecomesTheMarkAndIsScrolledIntoView) {
    const int comment = RowOfTag(m_list, L"(0020,4000)");
    HWND dialog = OpenDialog(m_document);
    LVITEMW change{};
    change.state = LVIS_SELECTED | LVIS_FOCUSED;
    change.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(m_list, LVM_SETITEMSTATE, 0, LPARAM(&change));
    ASSERT_EQ(::SendMessageW(m_list, LVM_GETTOPINDEX, 0, 0), 0);
    const int perPage = int(::SendMessageW(m_list, LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_GE(comment, perPage) << "the found row must start below the first page";
    Press(dialog, L"IMAGE COMMENTS");
    EXPECT_EQ(Selected(m_list), (std::vector<int>{0, comment}));
    EXPECT_EQ(Mark(m_list), comment);
    EXPECT_EQ(::SendMessageW(m_list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED),
              0);  // the focus stays
    const int top = int(::SendMessageW(m_list, LVM_GETTOPINDEX, 0, 0));
    EXPECT_LE(top, comment);
    EXPECT_GT(top + perPage, comment);
}

TEST_F(FindView, MatchCaseRefusesTheOtherCase) {
    HWND dialog = OpenDialog(m_document);
    Press(dialog, L"modality", true, true);
    EXPECT_TRUE(Selected(m_list).empty());
    Press(dialog, L"Modality", true, true);
    EXPECT_EQ(Selected(m_list), (std::vector<int>{RowOfTag(m_list, L"(0008,0060)")}));
}

TEST_F(FindView, ATagFindsItsRowAndFourDigitsTheNextRowHoldingThem) {
    HWND dialog = OpenDialog(m_document);
    const int name = RowOfTag(m_list, L"(0010,0010)");
    Press(dialog, L"(0010,0010)");
    EXPECT_EQ(Mark(m_list), name);
    Press(dialog, L"0010");  // the patient ID row holds "0010" in its tag and value
    EXPECT_EQ(Mark(m_list), RowOfTag(m_list, L"(0010,0020)"));
}

TEST_F(FindView, ASingleMatchIsFoundAgainAndUpwardWrapsFromRow0) {
    HWND dialog = OpenDialog(m_document);
    const int priv = RowOfTag(m_list, L"(0009,1001)");
    for (int press = 0; press < 3; ++press) {
        Press(dialog, L"abcd");
        EXPECT_EQ(Mark(m_list), priv);
    }
    SetMark(m_list, -1);
    Press(dialog, L"image comments", false);  // row 0, then up from the last row
    EXPECT_EQ(Mark(m_list), RowOfTag(m_list, L"(0020,4000)"));
}

TEST_F(FindView, NothingFoundLeavesSelectionAndMark) {
    HWND dialog = OpenDialog(m_document);
    SetMark(m_list, 3);
    Press(dialog, L"no row holds this");
    EXPECT_TRUE(Selected(m_list).empty());
    EXPECT_EQ(Mark(m_list), 3);
}

TEST_F(FindView, AnElementInACollapsedSequenceIsNotFound) {
    viewtest::ClickIcon(m_list, RowOfTag(m_list, L"(0008,1140)"));
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED;
    ::SendMessageW(m_list, LVM_SETITEMSTATE, WPARAM(-1), LPARAM(&none));
    HWND dialog = OpenDialog(m_document);
    Press(dialog, L"1.2.3.4.5.6.7.8");
    EXPECT_TRUE(Selected(m_list).empty());
}

TEST_F(FindView, TheDialogSearchesItsOwnViewWhileAnotherIsActive) {
    HWND dialog = OpenDialog(m_document);
    HWND other = OpenBytes(L"other.dcm", SampleFile());
    ASSERT_NE(other, m_document);
    ASSERT_EQ(reinterpret_cast<HWND>(::SendMessageW(m_client, WM_MDIGETACTIVE, 0, 0)), other);
    Press(dialog, L"modality");
    EXPECT_EQ(Selected(m_list), (std::vector<int>{RowOfTag(m_list, L"(0008,0060)")}));
    EXPECT_TRUE(Selected(ListOf(other)).empty());
}

// A key for the dialog as the main frame's loop offers it to the active document.
LRESULT Forward(HWND document, HWND target, WPARAM key) {
    MSG msg{target, WM_KEYDOWN, key, 0, 0, {}};
    return ::SendMessageW(document, WM_FORWARDMSG, 0, LPARAM(&msg));
}

TEST_F(FindView, KeysReachTheDialogThroughThePreTranslationUntilItCloses) {
    HWND dialog = OpenDialog(m_document);
    HWND edit = ::GetDlgItem(dialog, edt1);
    EXPECT_EQ(Forward(m_document, edit, VK_TAB), 1);
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    viewtest::Pump();
    EXPECT_FALSE(::IsWindow(dialog));
    EXPECT_EQ(Forward(m_document, m_list, VK_TAB), 0);
}

TEST_F(FindView, EnterThroughThePreTranslationPressesFindNext) {
    HWND dialog = OpenDialog(m_document);
    ::SetDlgItemTextW(dialog, edt1, L"modality");
    MSG msg{::GetDlgItem(dialog, edt1), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_EQ(::SendMessageW(m_document, WM_FORWARDMSG, 0, LPARAM(&msg)), 1);
    viewtest::Pump();
    EXPECT_EQ(Mark(m_list), RowOfTag(m_list, L"(0008,0060)"));
}

TEST_F(FindView, EscapeThroughThePreTranslationClosesTheDialog) {
    HWND dialog = OpenDialog(m_document);
    MSG msg{::GetDlgItem(dialog, edt1), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_EQ(::SendMessageW(m_document, WM_FORWARDMSG, 0, LPARAM(&msg)), 1);
    viewtest::Pump();
    EXPECT_FALSE(::IsWindow(dialog));
}

TEST_F(FindView, ClosingTheDocumentEndsEveryDialogItOpened) {
    HWND first = OpenDialog(m_document);
    HWND second = OpenDialog(m_document);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(first, second);
    HWND other = OpenBytes(L"other.dcm", SampleFile());
    HWND kept = OpenDialog(other);
    ::SendMessageW(m_client, WM_MDIDESTROY, WPARAM(m_document), 0);
    viewtest::Pump();
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_FALSE(::IsWindow(second));
    EXPECT_TRUE(::IsWindow(kept));  // another document's dialog stays
    Press(kept, L"modality");
    EXPECT_EQ(Mark(ListOf(other)), RowOfTag(ListOf(other), L"(0008,0060)"));
}

}  // namespace
}  // namespace copytest

}  // namespace velk
