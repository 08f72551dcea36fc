// Copy Rows and Select All on an element list window. The selection is the
// list's; the text is the row model's, read from one mapping of the file made for
// the command, so that what is copied is what the list shows.
#pragma once

#include <windows.h>

#include "present/row_model.h"
#include "view/copy_rows.h"

namespace velk {

// The Copy Rows text (copy_rows.h) of the list's selected rows of `rows`, read
// from the file at `path` mapped once. `text` keeps its room between calls.
void ReadSelectedRows(HWND list, const dcm_row_model& rows, const wchar_t* path,
                      dcm_text_buffer<wchar_t>& text);

// Places the selected rows on the clipboard, owner the list. No selection places
// an empty text.
void CopyRows(HWND list, const dcm_row_model& rows, const wchar_t* path);

// Selects every row with one list message; focus and selection mark stay.
void SelectAll(HWND list);

}  // namespace velk
