// The rows of one document's element list: the cursors of the visible elements
// in row order and the set of collapsed container rows, with the arithmetic that
// keeps them in step when a container is collapsed or expanded. Portable; the
// list window shows what this holds.
//
// Beside each cursor the rows keep the element's true nesting level. A cursor's
// depth is 4 bits wide and wraps at 16 levels, so the extent of a container is
// measured by the true level: with deep nesting a collapse by the stored depth
// would stop early and a later expand would bring back rows still shown. The
// load's container contexts (syntax mode, level, recurse flag) let an expand walk
// a container again exactly as the load did, in implicit data sets too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

#include "parse/cursor.h"
#include "parse/mapping.h"
#include "parse/reparse.h"

namespace velk {

class dcm_element_rows {
public:
    // Room reserved before a load; capacity, not a limit.
    static constexpr std::size_t reserved_rows = 50000;

    // Empties the rows and fills them from the mapped bytes of a file, every
    // container expanded. Null or unmarked bytes give no rows. When the rows do
    // not fit in memory there are none, and out_of_memory() says so.
    void load(const char* begin, const char* end);

    // Maps the file at `path` for the length of the load. A file that does not
    // open gives no rows.
    template <class Char>
    void load_file(const Char* path) {
        dcm_file_mapping file(path);
        load(file.begin(), file.end());
    }

    // Removes the rows nested in container row `row` and marks it collapsed.
    // Answers the number of rows removed; nothing happens (0) when the row is out
    // of range, not a container or already collapsed.
    std::size_t collapse(std::size_t row);

    // Walks collapsed row `row` again in the file [begin, end) as it is now,
    // inserts its nested rows after it and marks it expanded. Answers the number
    // of rows inserted. A row that is out of range or not collapsed is left alone
    // (0). When the bytes no longer hold the container (the file changed, shrank
    // or vanished: null bytes), nothing is inserted and the row is still marked
    // expanded, so that a later collapse and expand try again.
    std::size_t expand(std::size_t row, const char* begin, const char* end);

    bool is_collapsed(std::size_t row) const;
    // Whether the last load ran out of memory (and so holds no rows).
    bool out_of_memory() const { return m_out_of_memory; }

    const std::vector<dcm_cursor>& elements() const { return m_elements; }
    const std::set<int>& collapsed() const { return m_collapsed; }
    // The true nesting level of every row, parallel to elements().
    const std::vector<std::uint32_t>& levels() const { return m_levels; }
    std::size_t size() const { return m_elements.size(); }

private:
    std::size_t nested_end(std::size_t row) const;
    void shift_collapsed_from(int first, int delta);
    void adopt_contexts(const std::vector<dcm_container_context>& found);

    std::vector<dcm_cursor> m_elements;              // visible rows, file order
    std::vector<std::uint32_t> m_levels;             // true level of each visible row
    std::vector<dcm_container_context> m_contexts;   // by offset, every container walked
    std::set<int> m_collapsed;                       // rows whose nested rows are hidden
    bool m_out_of_memory = false;                    // the last load did not fit
};

}  // namespace velk
