// Superclassed list view and notification reflection.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/list_view.h"
#include "framework/reflection.h"
#include "framework/theme.h"
#include "framework/window_impl.h"

namespace velk {

namespace {

// An owner-data list that answers its own display requests, as the element view does.
class CTestList : public CWindowImpl<CListViewSuperclass, CListViewCtrl, CListViewTraits> {
public:
    std::vector<UINT> reflected;  // reflected messages that reached the list

    bool ProcessWindowMessage(CMessage& m) override {
        using Map = MessageMap<CTestList>;
        static const Map::Entry map[] = {
            Map::Message(WM_CREATE, &CTestList::OnCreate),
            Map::NotifyAs(OCM__BASE + WM_NOTIFY, LVN_GETDISPINFOW, &CTestList::OnGetDispInfo),
        };
        if (m.message >= OCM__BASE) reflected.push_back(m.message);
        return Map::Route(*this, map, m) || CWindowImpl::ProcessWindowMessage(m);
    }

private:
    LRESULT OnCreate(CMessage&) {
        const LRESULT result = DefWindowProc();  // the control creates itself first
        InsertColumn(0, L"Tag", LVCFMT_LEFT, 100, 0);
        InsertColumn(1, L"Value", LVCFMT_RIGHT, 100, 1);
        return result;
    }

    LRESULT OnGetDispInfo(CMessage& m) {
        auto* request = reinterpret_cast<NMLVDISPINFOW*>(m.lParam);
        if (request->item.mask & LVIF_TEXT) {
            const std::wstring text = L"row " + std::to_wstring(request->item.iItem) + L" col " +
                                      std::to_wstring(request->item.iSubItem);
            lstrcpynW(request->item.pszText, text.c_str(), request->item.cchTextMax);
        }
        return 0;
    }
};

// A parent that reflects its controls' notifications, and records what it got.
class CReflectingParent : public CWindowImpl<CReflectingParent> {
public:
    bool ProcessWindowMessage(CMessage& m) override {
        return ReflectNotifications(m) || CWindowImpl::ProcessWindowMessage(m);
    }
};

class Controls : public ::testing::Test {
protected:
    void SetUp() override {
        RECT rect{0, 0, 400, 300};
        ASSERT_TRUE(parent.Create(nullptr, &rect, L"parent", WS_OVERLAPPEDWINDOW));
        RECT listRect{0, 0, 380, 280};
        ASSERT_TRUE(list.Create(parent, &listRect, nullptr,
                                LVS_REPORT | LVS_OWNERDATA | WS_CHILD | WS_VISIBLE,
                                WS_EX_CLIENTEDGE));
    }
    CReflectingParent parent;
    CTestList list;
};

TEST_F(Controls, SuperclassedListViewRunsUnderAGeneratedClassName) {
    wchar_t className[80] = {};
    ::GetClassNameW(list, className, 80);
    EXPECT_EQ(0, std::wstring(className).rfind(L"velk:", 0)) << std::wstring(className).c_str();
    EXPECT_EQ(2, ::SendMessageW(ListView_GetHeader(list), HDM_GETITEMCOUNT, 0, 0))
        << "columns from WM_CREATE";
    EXPECT_TRUE(list.SetItemCountEx(3, LVSICF_NOSCROLL));
    EXPECT_EQ(3, list.GetItemCount());
    list.SetExtendedListViewStyle(LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
    EXPECT_EQ(static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP),
              list.GetExtendedListViewStyle() & (LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP));
}

TEST_F(Controls, ListsOwnDisplayRequestsComeBackReflected) {
    list.SetItemCountEx(3, 0);
    wchar_t text[260] = {};
    EXPECT_EQ(11, list.GetItemText(2, 1, text, 260));
    EXPECT_EQ(std::wstring(L"row 2 col 1"), text);
    EXPECT_NE(list.reflected.end(),
              std::find(list.reflected.begin(), list.reflected.end(), 0x204Eu));

    // A short buffer is filled only up to its size.
    wchar_t shortText[5] = {L'x', L'x', L'x', L'x', L'x'};
    list.GetItemText(0, 0, shortText, 4);
    EXPECT_EQ(std::wstring(L"row"), shortText);
    EXPECT_EQ(L'x', shortText[4]);
}

struct ReflectCase {
    const char* name;
    UINT message;
    bool fromControl;
    bool reflected;
};

class Reflection : public Controls, public ::testing::WithParamInterface<ReflectCase> {};

TEST_P(Reflection, SendsAControlsNotificationBackToIt) {
    const ReflectCase& c = GetParam();
    NMHDR header{c.fromControl ? list.m_hWnd : nullptr, 7, 12345};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    switch (c.message) {
    case WM_NOTIFY: lParam = reinterpret_cast<LPARAM>(&header); break;
    case WM_PARENTNOTIFY:
        wParam = MAKEWPARAM(WM_CREATE, 7);
        lParam = reinterpret_cast<LPARAM>(c.fromControl ? list.m_hWnd : nullptr);
        break;
    default:  // WM_COMMAND and the others that name their control in lParam
        wParam = MAKEWPARAM(7, 0);
        lParam = reinterpret_cast<LPARAM>(c.fromControl ? list.m_hWnd : nullptr);
        break;
    }
    list.reflected.clear();
    parent.SendMessage(c.message, wParam, lParam);
    const std::vector<UINT> expected =
        c.reflected ? std::vector<UINT>{0x2000 + c.message} : std::vector<UINT>{};
    EXPECT_EQ(expected, list.reflected);
}

INSTANTIATE_TEST_SUITE_P(
    Framework, Reflection,
    ::testing::Values(ReflectCase{"Notify", WM_NOTIFY, true, true},
                      ReflectCase{"CommandFromControl", WM_COMMAND, true, true},
                      ReflectCase{"CommandFromMenu", WM_COMMAND, false, false},
                      ReflectCase{"ChildCreated", WM_PARENTNOTIFY, true, true},
                      ReflectCase{"Scroll", WM_VSCROLL, true, true},
                      ReflectCase{"OwnScrollBar", WM_VSCROLL, false, false},
                      ReflectCase{"ControlColour", WM_CTLCOLORSTATIC, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Controls, ControlColourThatTheControlLeavesGetsTheDefaultBrush) {
    HDC dc = ::GetDC(list);
    const LRESULT brush = parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                             reinterpret_cast<LPARAM>(list.m_hWnd));
    ::ReleaseDC(list, dc);
    EXPECT_NE(0, brush);
}

TEST_F(Controls, WindowThatIsNotAChildGetsNothingReflected) {
    CTestList stranger;
    ASSERT_TRUE(stranger.Create(nullptr, nullptr, nullptr, LVS_REPORT | WS_POPUP));
    NMHDR header{stranger.m_hWnd, 7, 12345};
    parent.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&header));
    EXPECT_TRUE(stranger.reflected.empty());
}

TEST(Theme, ProgramRunsWithCommonControlsSix) {
    // The tests ask for version 6 in their manifest, as the program does.
    EXPECT_TRUE(UsesCommonControlsSix());
    EXPECT_GE(CommonControlsVersion(), (5u << 16) | 80u);
}

}  // namespace

}  // namespace velk
