// The text that Copy Rows places on the clipboard: the selected rows in ascending
// row order, each one line of the row model's listing (present/listing.h) with
// CR LF line ends, every line the last included. The columns are copied in their
// index order, whatever order the headers were dragged into.
//
// Portable: the selection comes from a function, which on Windows asks the list
// (copy_rows_list.h), and the cells from the row model, read from one mapping of
// the file for the whole copy.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "present/listing.h"

namespace velk {

// A growing buffer of text that keeps its room across clear(), so that a long
// copy costs amortised linear time and no allocation per row. A listing's sink.
template <class Unit>
class dcm_text_buffer {
public:
    void clear() { m_used = 0; }
    Unit* claim(std::size_t n) {
        if (m_text.size() - m_used < n) m_text.resize(std::max(2 * m_text.size(), m_used + n));
        return m_text.data() + m_used;
    }
    void commit(Unit* end) { m_used = static_cast<std::size_t>(end - m_text.data()); }
    const Unit* data() const { return m_text.data(); }
    std::size_t size() const { return m_used; }
    std::basic_string<Unit> str() const { return std::basic_string<Unit>(data(), size()); }

private:
    std::vector<Unit> m_text;
    std::size_t m_used = 0;
};

// Builds the Copy Rows text of the rows that `next_selected(after)` answers: the
// next selected row after `after` (-1: the first), or -1 when there is none,
// ascending. A source that answers rows out of order or again would never end:
// the walk stops at the first row that is not above the one before, or that the
// model does not hold.
template <class Convert, class NextSelected>
void dcm_copy_rows_text(const dcm_row_model& rows, dcm_bytes file, NextSelected next_selected,
                        const Convert& convert, dcm_text_buffer<typename Convert::unit>& text) {
    text.clear();
    int previous = -1;
    for (int row = next_selected(-1); row > previous; row = next_selected(row)) {
        if (static_cast<std::size_t>(row) >= rows.size()) break;
        dcm_write_row(rows, file, static_cast<std::size_t>(row), convert, dcm_line_end::crlf, text);
        previous = row;
    }
}

}  // namespace velk
