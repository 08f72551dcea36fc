// The wait cursor for the life of the object: set around a command that may run
// for longer than half a second (a load, an expand, Copy Rows, Find), so that
// whichever of them does shows it. The cursor before is put back at the end.
#pragma once

#include <windows.h>

namespace velk {

class CWaitCursor {
public:
    CWaitCursor() : m_before(::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)))) {}
    ~CWaitCursor() { ::SetCursor(m_before); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR m_before;
};

}  // namespace velk
