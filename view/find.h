// Find Next over the rows of the element list: the order in which rows are looked
// at, the matching of one cell, and the bounded search itself. Portable: the cells
// come from a source, which is the row model read from one mapping of the file and
// converted as the list converts its cells, so that a search sees exactly the
// texts the list shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "present/listing.h"

namespace velk {

// A search gives up after this long without a match, so that the user interface,
// which does not respond while a search runs, is back within seconds.
constexpr std::uint32_t dcm_find_time_limit_ms = 5000;

// Every row once, starting after (downward) or before (upward) the selection
// mark and wrapping past the end, so that the row at the mark comes last. Without
// a mark (-1) both directions start at row 0.
class dcm_find_order {
public:
    dcm_find_order(int row_count, int mark, bool down);

    int count() const { return m_count; }
    // The row looked at in step i, 0 <= i < count().
    int row(int i) const;

private:
    int m_count;
    std::int64_t m_start;
    bool m_down;
};

// Upper-cases the letters a to z only: every other character, accented letters
// included, compares exactly.
template <class Char>
constexpr Char dcm_fold_az(Char c) {
    return (c >= Char('a') && c <= Char('z')) ? Char(c - (Char('a') - Char('A'))) : c;
}

// Whether a cell holds the text to find: an exact substring with match_case,
// otherwise a substring after folding both with dcm_fold_az. The text to find is
// taken up to its first zero within dcm_cell_capacity - 1 characters and is
// folded once, here.
template <class Char>
class dcm_cell_matcher {
public:
    dcm_cell_matcher(const Char* pattern, bool match_case) : m_match_case(match_case) {
        std::size_t n = 0;
        while (pattern && n + 1 < dcm_cell_capacity && pattern[n] != Char(0)) {
            m_pattern[n] = match_case ? pattern[n] : dcm_fold_az(pattern[n]);
            ++n;
        }
        m_length = n;
    }

    // The cell's first n characters (at most dcm_cell_capacity - 1 count).
    bool matches(const Char* cell, std::size_t n) const {
        if (n >= dcm_cell_capacity) n = dcm_cell_capacity - 1;
        const std::basic_string_view<Char> pattern(m_pattern, m_length);
        if (m_match_case) return std::basic_string_view<Char>(cell, n).find(pattern) != npos;
        Char folded[dcm_cell_capacity];
        for (std::size_t i = 0; i < n; ++i) folded[i] = dcm_fold_az(cell[i]);
        return std::basic_string_view<Char>(folded, n).find(pattern) != npos;
    }

private:
    static constexpr std::size_t npos = std::basic_string_view<Char>::npos;

    Char m_pattern[dcm_cell_capacity] = {};
    std::size_t m_length = 0;
    bool m_match_case;
};

struct dcm_find_result {
    enum class kind { found, not_found, timed_out };
    kind outcome;
    int row;  // the row found; -1 otherwise
};

// Looks at the rows in dcm_find_order and answers the first whose cells, in
// column index order, hold the text. `source` answers:
//   std::uint32_t ticks()       a millisecond clock that may wrap
//   int row_count()             the rows; read once, before the search
//   int column_count()          the columns; read once, before the search
//   int selection_mark()        the mark, or -1
//   std::size_t cell(int row, int column, Char* buffer, std::size_t capacity)
//                               fills the buffer and answers the text's length
// After every row without a match the clock is read; past the time limit the
// search ends as timed_out.
template <class Char, class Source>
dcm_find_result dcm_find_next(Source& source, const dcm_cell_matcher<Char>& matcher, bool down) {
    const std::uint32_t t0 = source.ticks();
    const int rows = source.row_count();
    const int columns = source.column_count();
    const dcm_find_order order(rows, source.selection_mark(), down);
    Char cell[dcm_cell_capacity];
    for (int i = 0; i < order.count(); ++i) {
        const int r = order.row(i);
        for (int column = 0; column < columns; ++column) {
            cell[0] = Char(0);
            const std::size_t n = source.cell(r, column, cell, dcm_cell_capacity);
            if (matcher.matches(cell, n)) return {dcm_find_result::kind::found, r};
        }
        if (std::uint32_t(source.ticks() - t0) > dcm_find_time_limit_ms)
            return {dcm_find_result::kind::timed_out, -1};
    }
    return {dcm_find_result::kind::not_found, -1};
}

// The row model as dcm_find_next reads it: the cells of `rows` read from `file`,
// converted by `convert` as the list converts them; `ticks` is the clock.
template <class Convert, class Clock>
class dcm_row_find_source {
public:
    using unit = typename Convert::unit;

    dcm_row_find_source(const dcm_row_model& rows, dcm_bytes file, int mark, const Convert& convert,
                        Clock ticks)
        : m_rows(rows), m_file(file), m_mark(mark), m_convert(convert), m_ticks(ticks) {}

    std::uint32_t ticks() const { return m_ticks(); }
    int row_count() const { return static_cast<int>(m_rows.size()); }
    int column_count() const { return dcm_column_count; }
    int selection_mark() const { return m_mark; }
    std::size_t cell(int row, int column, unit* buffer, std::size_t capacity) const {
        char text[dcm_cell_capacity];
        const std::size_t room = capacity < sizeof text ? capacity : sizeof text;
        const std::size_t n =
            m_rows.cell_text(m_file, static_cast<std::size_t>(row), column, text, room);
        unit* end = buffer;
        if (dcm_all_ascii(text, n)) {
            for (std::size_t i = 0; i < n; ++i) *end++ = unit(text[i]);
        } else {
            end = m_convert(text, n, buffer);
        }
        return static_cast<std::size_t>(end - buffer);
    }

private:
    const dcm_row_model& m_rows;
    dcm_bytes m_file;
    int m_mark;
    const Convert& m_convert;
    Clock m_ticks;
};

}  // namespace velk
