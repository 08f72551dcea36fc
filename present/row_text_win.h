// The answer to the element list's display request (LVN_GETDISPINFOW): a row's
// indent, image and the text of one of its cells. Windows only; what a cell says
// comes from cell_text.h.
#pragma once

#include <set>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "parse/cursor.h"

namespace velk {

class dcm_file_mapping;

// What the list's owner shows, read and never changed here.
struct dcm_row_source {
    const wchar_t* path;                      // the document's file; null until a load
    const std::vector<dcm_cursor>* elements;  // the visible rows, in row order
    const std::set<int>* collapsed;           // container rows whose nested rows are hidden
    // The file as the owner mapped it for a run of requests (one paint of the
    // list), or null: each text answer then maps the file afresh.
    const dcm_file_mapping* mapped = nullptr;
};

// Row images: a plain element, an expanded container, a collapsed container.
constexpr int dcm_image_plain = 0;
constexpr int dcm_image_expanded = 1;
constexpr int dcm_image_collapsed = 2;

// Fills what item.mask asks for: LVIF_INDENT (the row's depth), LVIF_IMAGE, and
// LVIF_TEXT (the cell of item.iSubItem, at most cchTextMax - 1 characters and a
// terminator, converted with the thread's ANSI code page). Unless the source
// carries a mapping, the file is mapped afresh for each text answer and unmapped
// before returning; a file that no longer opens gives empty text. Answers false, touching nothing, while there is
// no document or when the row is not one of the source's rows.
bool dcm_row_text(const dcm_row_source& source, LVITEMW& item);

}  // namespace velk
