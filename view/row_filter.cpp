#include "view/row_filter.h"

#include <algorithm>

namespace velk {

void dcm_row_filter::reset() {
    m_parent.clear();
    m_matches.clear();
    m_shown.clear();
    m_pattern.clear();
    m_valid = false;
}

bool dcm_row_filter::is_match(std::uint32_t row) const {
    return std::binary_search(m_matches.begin(), m_matches.end(), row);
}

// Every row that holds the longer text also holds the shorter one it contains,
// so only the previous matches need a look.
bool dcm_row_filter::narrows(const std::string& pattern, bool match_case, std::size_t rows) const {
    if (!m_valid || m_pattern.empty() || match_case != m_match_case) return false;
    if (m_parent.size() != rows || pattern.size() >= dcm_cell_capacity) return false;
    if (match_case) return pattern.find(m_pattern) != std::string::npos;
    std::string folded = pattern, previous = m_pattern;
    for (char& c : folded) c = dcm_fold_az(c);
    for (char& c : previous) c = dcm_fold_az(c);
    return folded.find(previous) != std::string::npos;
}

void dcm_row_filter::build_parents(const std::vector<dcm_record>& records) {
    m_parent.assign(records.size(), -1);
    std::vector<std::uint32_t> open;  // rows that may still enclose the next one
    for (std::uint32_t row = 0; row < records.size(); ++row) {
        while (!open.empty() && records[open.back()].level >= records[row].level) open.pop_back();
        if (!open.empty()) m_parent[row] = std::int32_t(open.back());
        open.push_back(row);
    }
}

void dcm_row_filter::collect_shown() {
    std::vector<unsigned char> show(m_parent.size(), 0);
    for (const std::uint32_t row : m_matches) {
        show[row] = 1;
        for (std::int32_t up = m_parent[row]; up >= 0 && !show[std::size_t(up)];
             up = m_parent[std::size_t(up)])
            show[std::size_t(up)] = 1;
    }
    m_shown.clear();
    for (std::uint32_t row = 0; row < show.size(); ++row)
        if (show[row]) m_shown.push_back(row);
}

}  // namespace velk
