// Find Next on an element list window. The cells are the row model's, read from
// one mapping of the file for the whole search and converted as the list
// converts them, so that a search sees exactly the texts the list shows.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "present/row_model.h"
#include "view/find.h"

namespace velk {

// Searches the rows for the record's text (FR_DOWN: downward, FR_MATCHCASE:
// case-sensitive) from the list's selection mark, as find.h orders the rows. A
// row found joins the selection, becomes the mark and is scrolled fully into
// view; a search past the time limit ends with the exclamation beep; nothing
// found does nothing. Answers what happened.
dcm_find_result FindNext(HWND list, const dcm_row_model& rows, const wchar_t* path,
                         const FINDREPLACEW& record);

}  // namespace velk
