#include "view/element_rows.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "parse/file.h"

namespace velk {

void dcm_element_rows::load(const char* begin, const char* end) {
    m_elements.clear();
    m_levels.clear();
    m_contexts.clear();
    m_collapsed.clear();
    m_out_of_memory = false;
    try {
        m_elements.reserve(reserved_rows);
        m_levels.reserve(reserved_rows);
        dcm_tracking_insert visitor(m_elements, 0, nullptr, true, m_contexts, &m_levels);
        dcm_parse_file(begin, end, visitor);
    } catch (...) {
        // Only allocation can fail here. A load whose rows do not fit lists
        // nothing rather than the front of the file, and gives its memory back.
        std::vector<dcm_cursor>().swap(m_elements);
        std::vector<std::uint32_t>().swap(m_levels);
        std::vector<dcm_container_context>().swap(m_contexts);
        m_out_of_memory = true;
    }
}

bool dcm_element_rows::is_collapsed(std::size_t row) const {
    return row < m_elements.size() && m_collapsed.count(static_cast<int>(row)) != 0;
}

// One past the last row nested in `row`: the rows after it with a greater true level.
std::size_t dcm_element_rows::nested_end(std::size_t row) const {
    const std::uint32_t level = m_levels[row];
    std::size_t e = row + 1;
    while (e < m_levels.size() && m_levels[e] > level) ++e;
    return e;
}

// Adds delta to every collapsed row from `first` on. The caller has emptied the
// rows that the moved entries pass over, so their order is kept. Moves nodes
// rather than copies, which cannot fail.
void dcm_element_rows::shift_collapsed_from(int first, int delta) {
    if (delta < 0) {
        // Upwards, lowest first: a moved entry lands before those still to move.
        auto it = m_collapsed.lower_bound(first);
        while (it != m_collapsed.end()) {
            const auto next = std::next(it);
            auto node = m_collapsed.extract(it);
            node.value() += delta;
            m_collapsed.insert(next, std::move(node));
            it = next;
        }
    } else if (delta > 0) {
        // Downwards, highest first, for the same reason.
        auto it = m_collapsed.end();
        while (it != m_collapsed.begin()) {
            const auto last = std::prev(it);
            if (*last < first) break;
            auto node = m_collapsed.extract(last);
            node.value() += delta;
            it = m_collapsed.insert(it, std::move(node));
        }
    }
}

std::size_t dcm_element_rows::collapse(std::size_t row) {
    if (row >= m_elements.size() || !m_elements[row].container || is_collapsed(row)) return 0;
    const std::size_t e = nested_end(row);
    const int r = static_cast<int>(row);
    const int removed = static_cast<int>(e - row - 1);

    m_collapsed.insert(r);  // the one step that may fail, before anything changes
    // Collapsed rows inside go with their rows: they come back expanded.
    m_collapsed.erase(m_collapsed.upper_bound(r), m_collapsed.lower_bound(static_cast<int>(e)));
    shift_collapsed_from(static_cast<int>(e), -removed);
    const auto first = static_cast<std::ptrdiff_t>(row) + 1;
    const auto last = static_cast<std::ptrdiff_t>(e);
    m_elements.erase(m_elements.begin() + first, m_elements.begin() + last);
    m_levels.erase(m_levels.begin() + first, m_levels.begin() + last);
    return static_cast<std::size_t>(removed);
}

// Contexts that a walk of a container met, from the file as it is now: they
// replace those recorded at the same offsets, and new ones are added, so that a
// nested container that the file has gained can be expanded later too.
void dcm_element_rows::adopt_contexts(const std::vector<dcm_container_context>& found) {
    const auto by_offset = [](const dcm_container_context& a, const dcm_container_context& b) {
        return a.offset < b.offset;
    };
    bool missing = false;
    for (const dcm_container_context& f : found) {
        auto it = std::lower_bound(m_contexts.begin(), m_contexts.end(), f, by_offset);
        if (it != m_contexts.end() && it->offset == f.offset)
            *it = f;
        else
            missing = true;
    }
    if (!missing) return;
    std::vector<dcm_container_context> merged;
    merged.reserve(m_contexts.size() + found.size());
    std::set_union(found.begin(), found.end(), m_contexts.begin(), m_contexts.end(),
                   std::back_inserter(merged), by_offset);
    m_contexts.swap(merged);
}

std::size_t dcm_element_rows::expand(std::size_t row, const char* begin, const char* end) {
    if (!is_collapsed(row)) return 0;
    const dcm_cursor c = m_elements[row];
    const dcm_container_context* context = dcm_find_context(m_contexts, c.offset);

    std::vector<std::uint32_t> levels;
    std::vector<dcm_container_context> found;
    dcm_cursor_vector walked;
    if (context) walked = dcm_reparse_container(begin, end, c, *context, &levels, &found);

    // The walk gives the container first, then what is nested in it. Its nested
    // rows are placed below this row whatever the file now says, so that the
    // next collapse removes exactly them.
    std::size_t count = walked.empty() ? 0 : walked.size() - 1;
    for (std::size_t i = 1; i <= count; ++i) {
        if (levels[i] <= levels[0]) {
            count = i - 1;
            break;
        }
        const std::uint32_t level = m_levels[row] + (levels[i] - levels[0]);
        levels[i] = level;
        walked[i].depth = level & 0xFu;
    }

    // Everything that may fail comes first; the changes below cannot.
    m_elements.reserve(m_elements.size() + count);
    m_levels.reserve(m_levels.size() + count);
    adopt_contexts(found);

    if (count > 0) {
        const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(row) + 1;
        const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(count);
        m_elements.insert(m_elements.begin() + at, walked.begin() + 1, walked.begin() + 1 + n);
        m_levels.insert(m_levels.begin() + at, levels.begin() + 1, levels.begin() + 1 + n);
        shift_collapsed_from(static_cast<int>(at), static_cast<int>(count));
    }
    m_collapsed.erase(static_cast<int>(row));
    return count;
}

}  // namespace velk
