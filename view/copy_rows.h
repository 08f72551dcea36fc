// The text that Copy Rows places on the clipboard: one line per selected row, in
// ascending row order; on each line the six cells in column index order (whatever
// order the headers were dragged into), ";" between them, every cell preceded by
// as many spaces as the row's nesting depth; every line, the last included, ended
// by CR LF. No header line, no quoting: a ";" inside a cell is copied as it is.
//
// Portable: the cells come from a source, which on Windows is the list window
// itself (copy_rows_list.h), so that the text is exactly what the list shows.
#pragma once

#include <cstddef>
#include <string>

namespace velk {

// The buffer a cell is read back into, terminator included: a copied cell holds
// at most 259 characters, as the list shows it.
constexpr std::size_t dcm_copy_cell_capacity = 260;

// The copied text, built in one growing buffer that keeps its room across
// clear(), so that a long copy costs amortised linear time and no allocation per
// row. Char is the platform's UTF-16 unit (wchar_t on Windows).
template <class Char>
class dcm_rows_text {
public:
    void clear() { m_text.clear(); }

    // Appends the cell of `column` (0 for the first cell of a line): the
    // separator, `indent` spaces, then `cell` up to its first zero and at most
    // capacity - 1 characters, however much the buffer's filler wrote.
    void add_cell(int column, int indent, const Char* cell, std::size_t capacity) {
        if (column > 0) m_text.push_back(Char(';'));
        if (indent > 0) m_text.append(static_cast<std::size_t>(indent), Char(' '));
        m_text.append(cell, bounded_length(cell, capacity));
    }

    void end_line() {
        m_text.push_back(Char('\r'));
        m_text.push_back(Char('\n'));
    }

    const Char* data() const { return m_text.c_str(); }
    std::size_t size() const { return m_text.size(); }
    const std::basic_string<Char>& str() const { return m_text; }

    // Characters before the first zero among the first capacity - 1.
    static std::size_t bounded_length(const Char* cell, std::size_t capacity) {
        if (!cell || capacity == 0) return 0;
        std::size_t n = 0;
        while (n + 1 < capacity && cell[n] != Char(0)) ++n;
        return n;
    }

private:
    std::basic_string<Char> m_text;
};

// Builds the Copy Rows text from `source`, which answers:
//   int next_selected(int after)   the next selected row after `after` (-1: the
//                                  first), or -1 when there is none; ascending
//   int column_count()             the number of columns, asked before each cell
//   int cell(int row, int column, Char* buffer, std::size_t capacity)
//                                  fills the buffer with the cell's text and
//                                  answers the row's indent
// A source that answers rows out of order or again would never end: the walk
// stops at the first row that is not above the one before.
template <class Char, class Source>
void dcm_build_rows_text(Source& source, dcm_rows_text<Char>& text) {
    text.clear();
    Char cell[dcm_copy_cell_capacity];
    int row = source.next_selected(-1);
    while (row >= 0) {
        for (int column = 0; column < source.column_count(); ++column) {
            cell[0] = Char(0);
            const int indent = source.cell(row, column, cell, dcm_copy_cell_capacity);
            text.add_cell(column, indent, cell, dcm_copy_cell_capacity);
        }
        const int next = source.next_selected(row);
        text.end_line();
        if (next >= 0 && next <= row) break;
        row = next;
    }
}

}  // namespace velk
