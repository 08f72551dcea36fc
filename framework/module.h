#pragma once
// The process's one module object: the instance that resources come from and the
// message loop of each user-interface thread.
#include <windows.h>

#include <map>
#include <mutex>

namespace velk {

class CMessageLoop;

class CAppModule {
public:
    CAppModule() = default;
    CAppModule(const CAppModule&) = delete;
    CAppModule& operator=(const CAppModule&) = delete;

    // Resources and window classes are taken from this instance until Term().
    HRESULT Init(HINSTANCE instance);
    void Term();

    HINSTANCE GetModuleInstance() const { return m_instance; }
    HINSTANCE GetResourceInstance() const { return m_instance; }

    // One loop per thread: Add fails when the calling thread already has one.
    bool AddMessageLoop(CMessageLoop* loop);
    bool RemoveMessageLoop();
    CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId()) const;

private:
    HINSTANCE m_instance = nullptr;
    mutable std::mutex m_loopsLock;  // loops may be registered from several threads
    std::map<DWORD, CMessageLoop*> m_loops;
};

// The module object of this process. Before Init() it answers with the instance
// of the executable, so that windows work in programs that never call Init().
CAppModule& GetAppModule();

}  // namespace velk
