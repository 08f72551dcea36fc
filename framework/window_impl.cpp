#include "window_impl.h"

namespace velk {

namespace framework_detail {

namespace {

// The object waiting for its window on this thread, and the class it waits for.
thread_local void* t_pendingObject = nullptr;
thread_local const void* t_pendingKey = nullptr;

constexpr UINT kReflectBase = 0x2000;

}  // namespace

CreationHandoff::CreationHandoff(void* object, const void* key)
    : m_savedObject(t_pendingObject), m_savedKey(t_pendingKey) {
    t_pendingObject = object;
    t_pendingKey = key;
}

CreationHandoff::~CreationHandoff() {
    t_pendingObject = m_savedObject;
    t_pendingKey = m_savedKey;
}

void* CreationHandoff::Take(const void* key) {
    if (!t_pendingObject || t_pendingKey != key) return nullptr;
    void* object = t_pendingObject;
    t_pendingObject = nullptr;
    t_pendingKey = nullptr;
    return object;
}

UINT OriginalOfReflected(UINT message) { return message - kReflectBase; }

bool IsReflectedMessage(UINT message) {
    if (message < kReflectBase) return false;
    switch (message - kReflectBase) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_PARENTNOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return true;
    default: return false;
    }
}

}  // namespace framework_detail

}  // namespace velk
