#include "module.h"

namespace velk {

HRESULT CAppModule::Init(HINSTANCE instance) {
    m_instance = instance ? instance : ::GetModuleHandleW(nullptr);
    return S_OK;
}

void CAppModule::Term() {
    std::lock_guard<std::mutex> lock(m_loopsLock);
    m_loops.clear();
}

bool CAppModule::AddMessageLoop(CMessageLoop* loop) {
    if (!loop) return false;
    std::lock_guard<std::mutex> lock(m_loopsLock);
    return m_loops.emplace(::GetCurrentThreadId(), loop).second;
}

bool CAppModule::RemoveMessageLoop() {
    std::lock_guard<std::mutex> lock(m_loopsLock);
    return m_loops.erase(::GetCurrentThreadId()) != 0;
}

CMessageLoop* CAppModule::GetMessageLoop(DWORD threadId) const {
    std::lock_guard<std::mutex> lock(m_loopsLock);
    auto found = m_loops.find(threadId);
    return found == m_loops.end() ? nullptr : found->second;
}

CAppModule& GetAppModule() {
    static CAppModule module;
    if (!module.GetModuleInstance()) module.Init(nullptr);
    return module;
}

}  // namespace velk
