// Find Next on a stand-in list: what a found row does to the selection, the mark
// and the scroll position, and what a search that finds nothing leaves alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "copy_fake_list.h"
#include "view/find_list.h"

namespace copytest {
namespace {

std::vector<FakeRow> Rows(int count) {
    std::vector<FakeRow> rows;
    for (int i = 0; i < count; ++i) rows.push_back(Numbered(i));
    return rows;
}

struct Search {
    wchar_t what[260] = {};
    FINDREPLACEW record{};

    Search(const std::wstring& text, DWORD flags) {
        text.copy(what, 259);
        record.lStructSize = sizeof(record);
        record.lpstrFindWhat = what;
        record.wFindWhatLen = 260;
        record.Flags = flags;
    }
};

int TopRow(HWND list) { return static_cast<int>(::SendMessageW(list, LVM_GETTOPINDEX, 0, 0)); }

TEST(FindOnList, FoundRowJoinsTheSelectionBecomesTheMarkAndIsScrolledIntoView) {
    std::vector<FakeRow> rows = Rows(400);
    rows[350].cells[3] = L"Modality";
    FakeList list(rows);
    list.Select(2);
    ::SendMessageW(list.List(), LVM_SETSELECTIONMARK, 0, 2);
    LVITEMW focus{};
    focus.state = LVIS_FOCUSED;
    focus.stateMask = LVIS_FOCUSED;
    ::SendMessageW(list.List(), LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&focus));

    const dcm_find_result result = FindNext(list.List(), Search(L"modality", FR_DOWN).record);
    EXPECT_EQ(result.row, 350);
    EXPECT_EQ(list.Selected(), (std::vector<int>{2, 350}));
    EXPECT_EQ(list.Mark(), 350);
    EXPECT_EQ(list.Focused(), 2);
    const int top = TopRow(list.List());
    const int perPage = static_cast<int>(::SendMessageW(list.List(), LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_LE(top, 350);
    EXPECT_GT(top + perPage, 350);
}

TEST(FindOnList, MatchCaseAndDirectionComeFromTheRecord) {
    std::vector<FakeRow> rows = Rows(10);
    rows[2].cells[3] = L"Modality";
    rows[7].cells[3] = L"modality";
    FakeList list(rows);
    ::SendMessageW(list.List(), LVM_SETSELECTIONMARK, 0, 5);
    EXPECT_EQ(FindNext(list.List(), Search(L"Modality", FR_DOWN | FR_MATCHCASE).record).row, 2);
    ::SendMessageW(list.List(), LVM_SETSELECTIONMARK, 0, 5);
    EXPECT_EQ(FindNext(list.List(), Search(L"MODALITY", 0).record).row, 2);
    ::SendMessageW(list.List(), LVM_SETSELECTIONMARK, 0, 5);
    EXPECT_EQ(FindNext(list.List(), Search(L"MODALITY", FR_DOWN).record).row, 7);
}

TEST(FindOnList, NothingFoundChangesNothing) {
    FakeList list(Rows(30));
    list.Select(4);
    ::SendMessageW(list.List(), LVM_SETSELECTIONMARK, 0, 4);
    const int top = TopRow(list.List());
    const int before = list.Requests();
    const dcm_find_result result = FindNext(list.List(), Search(L"absent", FR_DOWN).record);
    EXPECT_EQ(result.outcome, dcm_find_result::kind::not_found);
    EXPECT_EQ(list.Selected(), (std::vector<int>{4}));
    EXPECT_EQ(list.Mark(), 4);
    EXPECT_EQ(TopRow(list.List()), top);
    EXPECT_GE(list.Requests() - before, 30 * 6);  // every cell of every row looked at
}

TEST(FindOnList, EmptyListFindsNothing) {
    FakeList list({});
    EXPECT_EQ(FindNext(list.List(), Search(L"x", FR_DOWN).record).outcome, dcm_find_result::kind::not_found);
    EXPECT_TRUE(list.Selected().empty());
}

TEST(FindOnList, LettersOutsideAToZAreNotFolded) {
    std::vector<FakeRow> rows = Rows(5);
    rows[3].cells[4] = L"CAF\u00c9";
    FakeList list(rows);
    EXPECT_EQ(FindNext(list.List(), Search(L"caf\u00e9", FR_DOWN).record).outcome,
              dcm_find_result::kind::not_found);
    EXPECT_EQ(FindNext(list.List(), Search(L"caf\u00c9", FR_DOWN).record).row, 3);
}

}  // namespace
}  // namespace copytest
