// The per-thread message loop: filters before dispatch, idle handlers when the
// queue is empty, and the module's registry of loops.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "framework/message_loop.h"
#include "framework/module.h"

namespace velk {

namespace {

constexpr UINT kSwallowed = WM_APP + 10;
constexpr UINT kPassed = WM_APP + 11;

class CRecordingFilter : public CMessageFilter {
public:
    CRecordingFilter(std::string name, std::vector<std::string>& log, UINT takes = 0)
        : m_name(std::move(name)), m_log(log), m_takes(takes) {}
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message < WM_APP) return FALSE;
        m_log.push_back(m_name + " sees " + std::to_string(msg->message - WM_APP));
        return msg->message == m_takes;
    }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
    UINT m_takes;
};

// Ends the loop the first time the queue runs dry, and says it has no more work.
class CQuitWhenIdle : public CIdleHandler {
public:
    explicit CQuitWhenIdle(std::vector<std::string>& log) : m_log(log) {}
    BOOL OnIdle() override {
        m_log.push_back("idle");
        if (++calls == 1) ::PostQuitMessage(7);
        return FALSE;
    }
    int calls = 0;

private:
    std::vector<std::string>& m_log;
};

// A thread message (no window): only filters and the loop ever see it.
void PostToThread(UINT message) { ::PostThreadMessageW(::GetCurrentThreadId(), message, 0, 0); }

TEST(MessageLoop, FiltersSeeMessagesNewestFirstAndIdleRunsWhenTheQueueIsEmpty) {
    std::vector<std::string> log;
    CRecordingFilter older("older", log, kPassed);
    CRecordingFilter newer("newer", log, kSwallowed);
    CQuitWhenIdle idle(log);
    CMessageLoop loop;
    ASSERT_TRUE(loop.AddMessageFilter(&older));
    ASSERT_TRUE(loop.AddMessageFilter(&newer));
    EXPECT_FALSE(loop.AddMessageFilter(&newer)) << "added once";
    ASSERT_TRUE(loop.AddIdleHandler(&idle));

    PostToThread(kSwallowed);
    PostToThread(kPassed);
    EXPECT_EQ(7, loop.Run());
    EXPECT_EQ((std::vector<std::string>{"newer sees 10", "newer sees 11", "older sees 11", "idle"}),
              log);
}

TEST(MessageLoop, RemovedFilterIsNoLongerAsked) {
    std::vector<std::string> log;
    CRecordingFilter filter("filter", log);
    CQuitWhenIdle idle(log);
    CMessageLoop loop;
    loop.AddMessageFilter(&filter);
    loop.AddIdleHandler(&idle);
    EXPECT_TRUE(loop.RemoveMessageFilter(&filter));
    EXPECT_FALSE(loop.RemoveMessageFilter(&filter));
    PostToThread(kPassed);
    EXPECT_EQ(7, loop.Run());
    EXPECT_EQ(std::vector<std::string>{"idle"}, log);
}

// A filter that removes itself while the loop asks it: the walk goes on safely.
class CSelfRemovingFilter : public CMessageFilter {
public:
    explicit CSelfRemovingFilter(CMessageLoop& loop) : m_loop(loop) {}
    BOOL PreTranslateMessage(MSG*) override {
        ++calls;
        m_loop.RemoveMessageFilter(this);
        return FALSE;
    }
    int calls = 0;

private:
    CMessageLoop& m_loop;
};

TEST(MessageLoop, FilterMayRemoveItselfWhileAsked) {
    CMessageLoop loop;
    CSelfRemovingFilter first(loop), second(loop);
    loop.AddMessageFilter(&first);
    loop.AddMessageFilter(&second);
    MSG msg{nullptr, kPassed, 0, 0, 0, {}};
    EXPECT_FALSE(loop.PreTranslateMessage(&msg));
    EXPECT_FALSE(loop.PreTranslateMessage(&msg));
    EXPECT_EQ(1, first.calls);
    EXPECT_EQ(1, second.calls);
}

TEST(MessageLoop, ModuleKeepsOneLoopPerThread) {
    CAppModule& module = GetAppModule();
    EXPECT_EQ(::GetModuleHandleW(nullptr), module.GetResourceInstance());
    CMessageLoop loop, another;
    ASSERT_TRUE(module.AddMessageLoop(&loop));
    EXPECT_FALSE(module.AddMessageLoop(&another)) << "this thread has one already";
    EXPECT_EQ(&loop, module.GetMessageLoop());

    CMessageLoop* seenByOtherThread = &loop;
    std::thread other([&] { seenByOtherThread = module.GetMessageLoop(); });
    other.join();
    EXPECT_EQ(nullptr, seenByOtherThread);

    EXPECT_TRUE(module.RemoveMessageLoop());
    EXPECT_EQ(nullptr, module.GetMessageLoop());
}

}  // namespace

}  // namespace velk
