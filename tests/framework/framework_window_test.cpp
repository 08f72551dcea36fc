// Window objects and message maps: the order in which a message is offered, the
// final-message hook, and exceptions kept inside the window procedure.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/subclass.h"
#include "framework/window_impl.h"

namespace velk {

namespace {

constexpr UINT kOwnOnly = WM_APP + 1;   // only the derived map takes it
constexpr UINT kBaseOnly = WM_APP + 2;  // only the base map takes it
constexpr UINT kBoth = WM_APP + 3;      // both maps have an entry
constexpr UINT kNobody = WM_APP + 4;    // the default procedure answers
constexpr UINT kDeclined = WM_APP + 5;  // the derived handler lets it go on
constexpr UINT kThrows = WM_APP + 6;    // the handler throws
constexpr UINT kDestroySelf = WM_APP + 7;

class CBaseWindow : public CWindowImpl<CBaseWindow> {
public:
    std::vector<std::string> log;

    bool ProcessWindowMessage(CMessage& m) override {
        using Map = MessageMap<CBaseWindow>;
        static const Map::Entry map[] = {
            Map::Message(kBaseOnly, &CBaseWindow::OnBase),
            Map::Message(kBoth, &CBaseWindow::OnBase),
            Map::Message(kDeclined, &CBaseWindow::OnBase),
            Map::Message(kThrows, &CBaseWindow::OnBase),
        };
        return Map::Route(*this, map, m) || CWindowImpl::ProcessWindowMessage(m);
    }

    LRESULT OnBase(CMessage&) {
        log.push_back("base");
        return 20;
    }
};

class CDerivedWindow : public CBaseWindow {
public:
    int finalCalls = 0;
    HWND finalHandle = nullptr;
    HWND handleDuringFinal = reinterpret_cast<HWND>(1);

    bool ProcessWindowMessage(CMessage& m) override {
        using Map = MessageMap<CDerivedWindow>;
        static const Map::Entry map[] = {
            Map::Message(kOwnOnly, &CDerivedWindow::OnOwn),
            Map::Message(kBoth, &CDerivedWindow::OnOwn),
            Map::Message(kDeclined, &CDerivedWindow::OnDecline),
            Map::Message(kThrows, &CDerivedWindow::OnThrow),
            Map::Message(kDestroySelf, &CDerivedWindow::OnDestroySelf),
        };
        return Map::Route(*this, map, m) || CBaseWindow::ProcessWindowMessage(m);
    }

    void OnFinalMessage(HWND hwnd) override {
        ++finalCalls;
        finalHandle = hwnd;
        handleDuringFinal = m_hWnd;
    }

    LRESULT OnOwn(CMessage&) {
        log.push_back("own");
        return 10;
    }
    LRESULT OnDecline(CMessage& m) {
        log.push_back("own declines");
        m.handled = false;
        return 99;
    }
    LRESULT OnThrow(CMessage&) {
        log.push_back("own throws");
        throw std::runtime_error("handler failure");
    }
    LRESULT OnDestroySelf(CMessage&) {
        DestroyWindow();
        // Still inside our own message: the final hook must not have run yet.
        log.push_back(finalCalls == 0 ? "final deferred" : "final too early");
        return 0;
    }
};

struct MapCase {
    const char* name;
    UINT message;
    LRESULT expected;
    std::vector<std::string> log;
};

class MessageMapOrder : public ::testing::TestWithParam<MapCase> {};

TEST_P(MessageMapOrder, OffersOwnEntriesThenBaseThenDefault) {
    const MapCase& c = GetParam();
    CDerivedWindow window;
    ASSERT_TRUE(window.Create(nullptr, nullptr, L"map", WS_OVERLAPPEDWINDOW, 0));
    // DefWindowProc answers 0 to a private message nobody handles.
    EXPECT_EQ(c.expected, window.SendMessage(c.message));
    EXPECT_EQ(c.log, window.log);
}

INSTANTIATE_TEST_SUITE_P(
    Framework, MessageMapOrder,
    ::testing::Values(MapCase{"OwnEntry", kOwnOnly, 10, {"own"}},
                      MapCase{"BaseEntry", kBaseOnly, 20, {"base"}},
                      MapCase{"OwnBeforeBase", kBoth, 10, {"own"}},
                      MapCase{"DefaultProcedure", kNobody, 0, {}},
                      MapCase{"DeclinedGoesOnToBase", kDeclined, 20, {"own declines", "base"}},
                      MapCase{"ThrowingHandlerFallsToDefault", kThrows, 0, {"own throws"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Framework, WindowTextAndClassComeFromTheWindowClass) {
    CDerivedWindow window;
    ASSERT_TRUE(window.Create(nullptr, nullptr, L"caption", WS_OVERLAPPEDWINDOW, 0));
    EXPECT_EQ(L"caption", window.GetWindowText());
    wchar_t className[80] = {};
    ::GetClassNameW(window, className, 80);
    EXPECT_EQ(std::wstring(CDerivedWindow::GetWndClassInfo().ClassName()), className);
    EXPECT_EQ(0, std::wstring(className).rfind(L"velk:", 0)) << "generated class name";
}

TEST(Framework, ChildWindowTakesItsIdentifierAndAnEmptyDefaultRectangle) {
    CDerivedWindow parent;
    ASSERT_TRUE(parent.Create(nullptr, nullptr, L"parent", WS_OVERLAPPEDWINDOW, 0));
    CDerivedWindow child;
    ASSERT_TRUE(child.Create(parent, nullptr, nullptr, WS_CHILD, 0, 0xE801));
    EXPECT_EQ(0xE801, child.GetDlgCtrlID());
    RECT rect{1, 1, 1, 1};
    child.GetWindowRect(&rect);
    EXPECT_EQ(0, rect.right - rect.left);
}

TEST(Framework, FinalMessageHookRunsOnceAfterTheWindowIsGone) {
    CDerivedWindow window;
    HWND hwnd = window.Create(nullptr, nullptr, L"final", WS_OVERLAPPEDWINDOW, 0);
    ASSERT_TRUE(hwnd);
    ::DestroyWindow(hwnd);
    EXPECT_EQ(1, window.finalCalls);
    EXPECT_EQ(hwnd, window.finalHandle);
    EXPECT_EQ(nullptr, window.handleDuringFinal) << "the object is unbound before the hook";
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(Framework, FinalMessageWaitsForTheOutermostMessageOfItsWindow) {
    CDerivedWindow window;
    ASSERT_TRUE(window.Create(nullptr, nullptr, L"self", WS_OVERLAPPEDWINDOW, 0));
    window.SendMessage(kDestroySelf);
    EXPECT_EQ(std::vector<std::string>{"final deferred"}, window.log);
    EXPECT_EQ(1, window.finalCalls);
}

// A heap object that deletes itself when its window is gone, as document windows do.
class CSelfDeleting : public CWindowImpl<CSelfDeleting> {
public:
    explicit CSelfDeleting(int* deleted) : m_deleted(deleted) {}
    ~CSelfDeleting() override { ++*m_deleted; }
    void OnFinalMessage(HWND) override { delete this; }

private:
    int* m_deleted;
};

TEST(Framework, FinalMessageHookMayDeleteTheObject) {
    int deleted = 0;
    auto* window = new CSelfDeleting(&deleted);
    HWND hwnd = window->Create(nullptr, nullptr, L"heap", WS_OVERLAPPEDWINDOW, 0);
    ASSERT_TRUE(hwnd);
    ::DestroyWindow(hwnd);
    EXPECT_EQ(1, deleted);
}

class CRefusesCreation : public CWindowImpl<CRefusesCreation> {
public:
    int finalCalls = 0;
    bool ProcessWindowMessage(CMessage& m) override {
        using Map = MessageMap<CRefusesCreation>;
        static const Map::Entry map[] = {Map::Message(WM_CREATE, &CRefusesCreation::OnCreate)};
        return Map::Route(*this, map, m) || CWindowImpl::ProcessWindowMessage(m);
    }
    LRESULT OnCreate(CMessage&) { return -1; }
    void OnFinalMessage(HWND) override { ++finalCalls; }
};

TEST(Framework, WindowRefusedInCreateIsNotCreatedAndObjectIsFree) {
    CRefusesCreation window;
    EXPECT_EQ(nullptr, window.Create(nullptr, nullptr, L"refused", WS_OVERLAPPEDWINDOW, 0));
    EXPECT_EQ(nullptr, window.m_hWnd);
    EXPECT_EQ(1, window.finalCalls);
}

TEST(Framework, ObjectDestroyedFirstTakesItsWindowWithIt) {
    HWND hwnd = nullptr;
    {
        CDerivedWindow window;
        hwnd = window.Create(nullptr, nullptr, L"scoped", WS_OVERLAPPEDWINDOW, 0);
        ASSERT_TRUE(hwnd);
    }
    EXPECT_FALSE(::IsWindow(hwnd));
}

// Subclassing binds an object to a window of a class that is not ours.
class CStaticWatcher : public CWindowImpl<CStaticWatcher> {
public:
    int seen = 0;
    bool ProcessWindowMessage(CMessage& m) override {
        using Map = MessageMap<CStaticWatcher>;
        static const Map::Entry map[] = {Map::Message(kOwnOnly, &CStaticWatcher::OnPing)};
        return Map::Route(*this, map, m) || CWindowImpl::ProcessWindowMessage(m);
    }
    LRESULT OnPing(CMessage&) { return ++seen; }
};

TEST(Framework, SubclassedWindowKeepsItsOwnProcedureForTheRest) {
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"text", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_TRUE(edit);
    CStaticWatcher watcher;
    ASSERT_TRUE(watcher.SubclassWindow(edit));
    EXPECT_EQ(1, ::SendMessageW(edit, kOwnOnly, 0, 0));
    ::SetWindowTextW(edit, L"changed");  // the edit control's own procedure still answers
    EXPECT_EQ(L"changed", watcher.GetWindowText());
    EXPECT_EQ(edit, watcher.UnsubclassWindow());
    EXPECT_EQ(0, ::SendMessageW(edit, kOwnOnly, 0, 0));
    EXPECT_EQ(1, watcher.seen);
    ::DestroyWindow(edit);
}

// Layers: each message goes down from the top layer to the window's own
// procedure; a layer removed while a message passes through it leaves that
// message's way as it was; the window's procedure comes back with the last one.
std::vector<std::string> g_layers;
LRESULT CALLBACK Layer(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                       DWORD_PTR data) {
    if (msg == kOwnOnly) {
        g_layers.push_back(std::to_string(id) + ":" + std::to_string(data));
        if (wParam == id) RemoveSubclass(window, &Layer, id);
    }
    return CallNextSubclass(window, msg, wParam, lParam);
}

TEST(Framework, SubclassLayersRunTopFirstAndComeOffInAnyOrder) {
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_TRUE(edit);
    const LONG_PTR own = ::GetWindowLongPtrW(edit, GWLP_WNDPROC);
    ASSERT_TRUE(AddSubclass(edit, &Layer, 1, 10));
    ASSERT_TRUE(AddSubclass(edit, &Layer, 2, 20));
    ASSERT_TRUE(AddSubclass(edit, &Layer, 1, 11));  // the same layer again: new data only
    ::SendMessageW(edit, kOwnOnly, 0, 0);
    ::SendMessageW(edit, kOwnOnly, 2, 0);  // layer 2 takes itself off on the way
    ::SendMessageW(edit, kOwnOnly, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"2:20", "1:11", "2:20", "1:11", "1:11"}), g_layers);
    ::SetWindowTextW(edit, L"own");  // the edit control's procedure is still at the bottom
    wchar_t text[8] = {};
    ::GetWindowTextW(edit, text, 8);
    EXPECT_STREQ(L"own", text);
    EXPECT_FALSE(RemoveSubclass(edit, &Layer, 2));
    EXPECT_TRUE(RemoveSubclass(edit, &Layer, 1));
    EXPECT_EQ(own, ::GetWindowLongPtrW(edit, GWLP_WNDPROC));
    ASSERT_TRUE(AddSubclass(edit, &Layer, 3, 30));
    ::DestroyWindow(edit);  // the layers go with the window
    EXPECT_FALSE(RemoveSubclass(edit, &Layer, 3));
}

}  // namespace

}  // namespace velk
