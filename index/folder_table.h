// The folder window's rows: the index rows of a folder's files, sorted by a
// column, grouped by study and then series as rows that fold, and filtered by
// text. Portable, so that what the window shows is tested on the host.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "index/index_row.h"

namespace velk {

enum class dcm_folder_line_kind : unsigned char { study, series, file };

struct dcm_folder_line {
    dcm_folder_line_kind kind;
    std::size_t row;    // a file line's row; a group line's first row in the order shown
    std::size_t files;  // a group line's files that pass the filter; 1 for a file line
    bool collapsed;     // a group line whose lines below are hidden
};

class dcm_folder_table {
public:
    // Rows arrive in batches while the folder is read; each is shown at once.
    void add(dcm_index_row row);
    void clear();
    const std::vector<dcm_index_row>& rows() const { return m_rows; }

    // Sorts by `column`, ascending; asked again for the same column, the other way.
    void sort_by(dcm_index_column column);
    dcm_index_column sort_column() const { return m_sort; }
    bool descending() const { return m_descending; }

    // Shows only the files with `text` in any cell, without regard to ASCII case.
    void set_filter(std::string text);
    const std::string& filter() const { return m_filter; }

    // Grouped (the default): a study line, its series lines, their files.
    void set_grouped(bool grouped);
    bool grouped() const { return m_grouped; }

    // Folds or unfolds a group line; a file line stays as it is. Groups stay
    // folded across sorting, filtering and refreshing (they are known by UID).
    void toggle(std::size_t line);

    std::size_t line_count() const;
    const dcm_folder_line& line(std::size_t index) const;
    unsigned depth(std::size_t index) const;
    // A line's text in a column: a file's cell; for a group line, the label in the
    // Path column and the values its files share in the study's or series' columns.
    std::string cell(std::size_t index, dcm_index_column column) const;

    // Copy Rows: a header line and every line shown, cells separated by tabs,
    // indented by depth, lines ended by CR LF.
    std::string text() const;

private:
    std::string study_key(const dcm_index_row& row) const;
    std::string series_key(const dcm_index_row& row) const;
    bool passes(const dcm_index_row& row) const;
    void rebuild() const;
    void add_group_lines(const std::vector<std::size_t>& order) const;

    std::vector<dcm_index_row> m_rows;
    dcm_index_column m_sort = dcm_index_column::path;
    bool m_descending = false;
    bool m_grouped = true;
    std::string m_filter;               // folded to lower case
    std::set<std::string> m_collapsed;  // group keys
    mutable std::vector<dcm_folder_line> m_lines;
    mutable bool m_stale = true;
};

}  // namespace velk
