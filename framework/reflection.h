#pragma once
// Notification reflection: a parent sends a control's notification back to the
// control as the message plus 0x2000 (OCM_NOTIFY is 0x204E), so that a control
// class can handle its own notifications. Chain it into a parent's message map:
//
//     return Map::Route(*this, map, m) || CBase::ProcessWindowMessage(m) ||
//            ReflectNotifications(m);
#include <windows.h>
#include <olectl.h>  // OCM__BASE and the OCM_ message names

#include "message_map.h"

namespace velk {

// The control a notification comes from, or null when the message names none
// (a menu's WM_COMMAND or WM_DRAWITEM, a scroll bar of the window itself, a child
// that is not a descendant of the window).
HWND ReflectionTarget(const CMessage& m);

// Sends the notification back to its control and takes its answer; leaves a
// message that names no control untouched (answers false). A WM_CTLCOLOR* that
// the control answers with no brush is left to the parent's default processing.
bool ReflectNotifications(CMessage& m);

}  // namespace velk
