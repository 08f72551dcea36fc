// The answer to the element list's display request (LVN_GETDISPINFOW): a row's
// indent, image and the text of one of its cells, from the row model. Windows
// only, and the one place where a cell's 8-bit text becomes UTF-16.
#pragma once

#include <cstddef>

#include <windows.h>
#include <commctrl.h>

#include "present/row_model.h"

namespace velk {

// 8-bit text to UTF-16 with the thread's ANSI code page, as the list shows and
// copies every cell (present/listing.h's conversion for the list); UTF-8 cells
// (the Interpret reading's) with CP_UTF8.
struct dcm_ansi_to_utf16 {
    using unit = wchar_t;
    static constexpr std::size_t units_per_byte = 1;
    UINT code_page = CP_THREAD_ACP;
    wchar_t* operator()(const char* text, std::size_t n, wchar_t* out) const;
};

// The conversion of the cells of `rows`.
inline dcm_ansi_to_utf16 dcm_cell_converter(const dcm_row_model& rows) {
    return dcm_ansi_to_utf16{rows.cells_are_utf8() ? UINT(CP_UTF8) : UINT(CP_THREAD_ACP)};
}

// What the list's owner shows, read and never changed here.
struct dcm_row_source {
    const wchar_t* path;        // the document's file; null until a load
    const dcm_row_model* rows;  // the rows shown
    // The file as the owner mapped it for a run of requests (one paint of the
    // list), or null: each text answer then maps the file afresh.
    const dcm_file_mapping* mapped = nullptr;
};

// Fills what item.mask asks for: LVIF_INDENT (the row's depth), LVIF_IMAGE, and
// LVIF_TEXT (the cell of item.iSubItem, at most cchTextMax - 1 characters and a
// terminator). Unless the source carries a mapping, the file is mapped afresh for
// each text answer and unmapped before returning; a file that no longer opens
// gives empty text. Answers false, touching nothing, while there is no document
// or when the row is not one of the source's rows.
bool dcm_row_text(const dcm_row_source& source, LVITEMW& item);

}  // namespace velk
