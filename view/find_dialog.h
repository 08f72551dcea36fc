// The modeless find dialog of an element list view: the message it notifies its
// owner with, and the dialogs a view must end before the record they edit goes.
#pragma once

#include <windows.h>

#include <vector>

#include "view/command_ids.h"

namespace velk {

// The Find command (Ctrl+F, the document menu, the toolbar).
constexpr WORD kFindCommand = ID_EDIT_FIND;

// Characters of the text to find, terminator included.
constexpr WORD kFindWhatLength = 260;

// The number of the message that a find dialog sends its owner
// ("commdlg_FindReplace"), registered once per process.
UINT FindDialogMessage();

// The find dialogs that one view has opened. Each of them edits the view's find
// record and notifies the view's window, so none may outlive the view: they are
// ended when the view's window is destroyed, and at the latest with this object.
class CFindDialogs {
public:
    CFindDialogs() = default;
    ~CFindDialogs() { CloseAll(); }
    CFindDialogs(const CFindDialogs&) = delete;
    CFindDialogs& operator=(const CFindDialogs&) = delete;

    // Remembers a dialog just opened (null: none was) and forgets those that
    // have closed since.
    void Opened(HWND dialog);
    // Destroys every dialog still open. A dialog ended this way sends no
    // notification.
    void CloseAll();

private:
    std::vector<HWND> m_open;
};

}  // namespace velk
