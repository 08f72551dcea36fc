#include "present/row_text_win.h"

#include <string>

#include "parse/mapping.h"
#include "present/cell_text.h"

namespace velk {

namespace {

int row_image(const dcm_row_source& source, int row, const dcm_cursor& c) {
    if (!c.container) return dcm_image_plain;
    const bool hidden = source.collapsed && source.collapsed->count(row) != 0;
    return hidden ? dcm_image_collapsed : dcm_image_expanded;
}

// The 8-bit cell text of the file as it is now, converted into the request's buffer.
void fill_text(const dcm_row_source& source, const dcm_cursor& c, LVITEMW& item) {
    if (!item.pszText || item.cchTextMax <= 0) return;
    const std::size_t capacity = static_cast<std::size_t>(item.cchTextMax);
    item.pszText[0] = L'\0';

    char small[dcm_cell_capacity];
    std::string large;
    char* text = small;
    if (capacity > sizeof small) {
        large.resize(capacity);
        text = &large[0];
    }

    std::size_t n = 0;
    if (source.mapped) {
        if (!source.mapped->is_open()) return;
        n = dcm_cell_text(source.mapped->begin(), source.mapped->end(), c, item.iSubItem, text,
                          capacity);
    } else {
        dcm_file_mapping file(source.path);
        if (!file.is_open()) return;
        n = dcm_cell_text(file.begin(), file.end(), c, item.iSubItem, text, capacity);
    }
    if (n == 0) return;
    // One byte gives at most one UTF-16 unit, so n < capacity units always fit.
    const int written = MultiByteToWideChar(CP_THREAD_ACP, 0, text, static_cast<int>(n),
                                            item.pszText, item.cchTextMax - 1);
    item.pszText[written > 0 ? written : 0] = L'\0';
}

}  // namespace

bool dcm_row_text(const dcm_row_source& source, LVITEMW& item) {
    if (!source.path || !source.elements) return false;
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= source.elements->size())
        return false;
    const dcm_cursor& c = (*source.elements)[static_cast<std::size_t>(item.iItem)];
    if (item.mask & LVIF_INDENT) item.iIndent = c.depth;
    if (item.mask & LVIF_IMAGE) item.iImage = row_image(source, item.iItem, c);
    if (item.mask & LVIF_TEXT) fill_text(source, c, item);
    return true;
}

}  // namespace velk
