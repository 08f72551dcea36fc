#include "view/row_text_win.h"

#include <string>

#include "parse/mapping.h"
#include "present/listing.h"

namespace velk {

wchar_t* dcm_ansi_to_utf16::operator()(const char* text, std::size_t n, wchar_t* out) const {
    if (n == 0) return out;
    // One byte gives at most one UTF-16 unit, so n units always hold the text.
    const int written =
        MultiByteToWideChar(code_page, 0, text, static_cast<int>(n), out, static_cast<int>(n));
    return out + (written > 0 ? written : 0);
}

namespace {

// The 8-bit cell text of the file as it is now, converted into the request's buffer.
void fill_text(const dcm_row_source& source, std::size_t row, LVITEMW& item) {
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
        n = source.rows->cell_text(dcm_bytes::of(*source.mapped), row, item.iSubItem, text,
                                   capacity);
    } else {
        const dcm_file_mapping file(source.path);
        n = source.rows->cell_text(dcm_bytes::of(file), row, item.iSubItem, text, capacity);
    }
    wchar_t* end = item.pszText;
    if (dcm_all_ascii(text, n)) {
        for (std::size_t i = 0; i < n; ++i) *end++ = static_cast<wchar_t>(text[i]);
    } else {
        end = dcm_cell_converter(*source.rows)(text, n, item.pszText);
    }
    *end = L'\0';
}

}  // namespace

bool dcm_row_text(const dcm_row_source& source, LVITEMW& item) {
    if (!source.path || !source.rows) return false;
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= source.rows->size()) return false;
    const std::size_t row = static_cast<std::size_t>(item.iItem);
    if (item.mask & LVIF_INDENT) item.iIndent = source.rows->indent(row);
    if (item.mask & LVIF_IMAGE) item.iImage = source.rows->image(row);
    if (item.mask & LVIF_TEXT) fill_text(source, row, item);
    return true;
}

}  // namespace velk
