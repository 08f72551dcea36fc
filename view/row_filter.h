// The filter over a document's rows: the rows whose cells hold a text, each
// shown below the sequences and items that contain it. Portable; the cells come
// from a source, so that the filter sees the texts the list shows, and it runs
// on the rows, never through the list window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "parse/record.h"
#include "view/find.h"

namespace velk {

class dcm_row_filter {
public:
    // Filters the rows of `records` (a row model's, in file order, with their
    // true nesting levels) for `pattern` (the list's 8-bit text; folded as Find folds
    // it unless match_case). `cells` answers
    //   std::size_t operator()(std::size_t row, int column, char* out, std::size_t capacity)
    // with the cell's text, as dcm_cell_text does. A pattern that extends the
    // previous one looks only at the previous matches; reset() forgets them
    // (the rows changed). An empty pattern shows nothing: the caller shows the
    // rows unfiltered.
    template <class Cells>
    void apply(const std::vector<dcm_record>& records, int column_count, Cells&& cells,
               const std::string& pattern, bool match_case = false);

    void reset();

    // The rows to show, ascending: the matches and every container row above them.
    const std::vector<std::uint32_t>& shown() const { return m_shown; }
    // The matching rows, ascending.
    const std::vector<std::uint32_t>& matches() const { return m_matches; }
    bool is_match(std::uint32_t row) const;
    const std::string& pattern() const { return m_pattern; }

private:
    bool narrows(const std::string& pattern, bool match_case, std::size_t rows) const;
    void build_parents(const std::vector<dcm_record>& records);
    void collect_shown();

    std::vector<std::int32_t> m_parent;  // the enclosing row of each row, or -1
    std::vector<std::uint32_t> m_matches;
    std::vector<std::uint32_t> m_shown;
    std::string m_pattern;
    bool m_match_case = false;
    bool m_valid = false;
};

template <class Cells>
void dcm_row_filter::apply(const std::vector<dcm_record>& records, int column_count, Cells&& cells,
                           const std::string& pattern, bool match_case) {
    if (m_parent.size() != records.size()) reset();
    if (m_parent.empty() && !records.empty()) build_parents(records);
    const bool narrow = narrows(pattern, match_case, records.size());
    std::vector<std::uint32_t> candidates;
    if (narrow) candidates.swap(m_matches);
    m_matches.clear();
    m_pattern = pattern;
    m_match_case = match_case;
    m_valid = true;
    if (!pattern.empty()) {
        const dcm_cell_matcher<char> matcher(pattern.c_str(), match_case);
        char cell[dcm_cell_capacity];
        const auto look = [&](std::uint32_t row) {
            for (int column = 0; column < column_count; ++column) {
                cell[0] = '\0';
                const std::size_t n = cells(std::size_t(row), column, cell, sizeof cell);
                if (matcher.matches(cell, n)) {
                    m_matches.push_back(row);
                    return;
                }
            }
        };
        if (narrow) {
            for (const std::uint32_t row : candidates) look(row);
        } else {
            for (std::uint32_t row = 0; row < records.size(); ++row) look(row);
        }
    }
    collect_shown();
}

}  // namespace velk
