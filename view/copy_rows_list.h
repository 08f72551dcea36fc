// Copy Rows and Select All on an element list window. The cells are read back
// from the list with display requests, so that what is copied is what it shows.
#pragma once

#include <windows.h>

#include "view/copy_rows.h"

namespace velk {

// The Copy Rows text of the list's selected rows (copy_rows.h), read with
// LVM_GETNEXTITEM and one LVM_GETITEMW (text and indent) per cell. `text` keeps
// its room between calls.
void ReadSelectedRows(HWND list, dcm_rows_text<wchar_t>& text);

// Places the selected rows on the clipboard, owner the list. No selection places
// an empty text.
void CopyRows(HWND list);

// Selects every row, one LVM_SETITEMSTATE per row; focus and selection mark stay.
void SelectAll(HWND list);

}  // namespace velk
