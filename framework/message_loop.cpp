#include "message_loop.h"

#include <algorithm>

namespace velk {

namespace {

template <class T>
bool AddOnce(std::vector<T*>& list, T* item) {
    if (!item || std::find(list.begin(), list.end(), item) != list.end()) return false;
    list.push_back(item);
    return true;
}

template <class T>
bool RemoveItem(std::vector<T*>& list, T* item) {
    auto found = std::find(list.begin(), list.end(), item);
    if (found == list.end()) return false;
    list.erase(found);
    return true;
}

constexpr UINT kSystemTimer = 0x0118;  // the caret blink timer

}  // namespace

bool CMessageLoop::AddMessageFilter(CMessageFilter* filter) { return AddOnce(m_filters, filter); }
bool CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) {
    return RemoveItem(m_filters, filter);
}
bool CMessageLoop::AddIdleHandler(CIdleHandler* handler) {
    return AddOnce(m_idleHandlers, handler);
}
bool CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) {
    return RemoveItem(m_idleHandlers, handler);
}

BOOL CMessageLoop::PreTranslateMessage(MSG* msg) {
    // A copy, so that a filter that removes itself (or another) while it runs does
    // not invalidate the walk; a filter removed meanwhile is no longer asked.
    const std::vector<CMessageFilter*> filters(m_filters.rbegin(), m_filters.rend());
    for (CMessageFilter* filter : filters) {
        if (std::find(m_filters.begin(), m_filters.end(), filter) == m_filters.end()) continue;
        if (filter->PreTranslateMessage(msg)) return TRUE;
    }
    return FALSE;
}

BOOL CMessageLoop::OnIdle(int /*idleCount*/) {
    const std::vector<CIdleHandler*> handlers(m_idleHandlers);
    BOOL wantsMore = FALSE;
    for (CIdleHandler* handler : handlers) {
        if (std::find(m_idleHandlers.begin(), m_idleHandlers.end(), handler) ==
            m_idleHandlers.end())
            continue;
        if (handler->OnIdle()) wantsMore = TRUE;
    }
    return wantsMore;
}

bool CMessageLoop::IsIdleMessage(const MSG& msg) {
    switch (msg.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case kSystemTimer: return false;
    default: return true;
    }
}

int CMessageLoop::Run() {
    MSG msg{};
    bool idle = true;
    int idleCount = 0;
    for (;;) {
        while (idle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) idle = false;
        }
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) break;
        if (got == -1) return -1;  // only possible with a bad argument; never spin on it
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (IsIdleMessage(msg)) {
            idle = true;
            idleCount = 0;
        }
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace velk
