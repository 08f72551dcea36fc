// Find Next on an element list window. The cells are read back from the list with
// display requests, so that a search sees exactly the texts it shows.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "view/find.h"

namespace velk {

// Searches the list for the record's text (FR_DOWN: downward, FR_MATCHCASE:
// case-sensitive) from its selection mark, as find.h orders the rows. A row found
// joins the selection, becomes the mark and is scrolled fully into view; a
// search past the time limit ends with the exclamation beep; nothing found does
// nothing. Answers what happened.
dcm_find_result FindNext(HWND list, const FINDREPLACEW& record);

}  // namespace velk
