#pragma once
// Subclassing of windows of any class, as the common controls' SetWindowSubclass
// does it (layers with an id and data each, removable in any order), with the
// bookkeeping kept in this thread's memory instead of a window property. A window
// property is a round trip to the window server on every lookup under wine, and
// the common controls' version looks its property up three times per message:
// on a list that is most of what a paint or an activation costs.
#include <windows.h>
#include <commctrl.h>

namespace velk {

// Adds `proc` as the top layer of the window's procedure, or (when the window
// already has this proc with this id) only replaces its data. Only the thread
// that owns the window may subclass it; answers false otherwise.
bool AddSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);

// Removes one layer; the window's own procedure comes back with the last one,
// unless someone else has put a procedure over ours meanwhile.
bool RemoveSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id);

// From inside a layer: the message to the layers below it, then to the window's
// own procedure.
LRESULT CallNextSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace velk
