#pragma once
// The per-thread message loop: message filters see every queued message before it
// is dispatched; idle handlers run when the queue has run dry.
#include <windows.h>

#include <vector>

namespace velk {

class CMessageFilter {
public:
    // Answers TRUE when it took the message; the loop then does not dispatch it.
    virtual BOOL PreTranslateMessage(MSG* msg) = 0;

protected:
    ~CMessageFilter() = default;
};

class CIdleHandler {
public:
    // Answers TRUE while it has more idle work to do.
    virtual BOOL OnIdle() = 0;

protected:
    ~CIdleHandler() = default;
};

class CMessageLoop {
public:
    CMessageLoop() = default;
    CMessageLoop(const CMessageLoop&) = delete;
    CMessageLoop& operator=(const CMessageLoop&) = delete;
    virtual ~CMessageLoop() = default;

    // Adding the same object twice keeps one entry; removal answers whether it was there.
    bool AddMessageFilter(CMessageFilter* filter);
    bool RemoveMessageFilter(CMessageFilter* filter);
    bool AddIdleHandler(CIdleHandler* handler);
    bool RemoveIdleHandler(CIdleHandler* handler);

    // Runs until WM_QUIT and answers its exit code.
    int Run();

    // The filters, the most recently added first (a window that registers later,
    // such as a modeless dialog, usually wants its keys first). A filter may add or
    // remove filters while it runs.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // Runs every idle handler once; answers TRUE if one of them wants more.
    virtual BOOL OnIdle(int idleCount);

    // Messages that say nothing has changed do not restart idle processing.
    static bool IsIdleMessage(const MSG& msg);

private:
    std::vector<CMessageFilter*> m_filters;
    std::vector<CIdleHandler*> m_idleHandlers;
};

}  // namespace velk
