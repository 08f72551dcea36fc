#include "view/problems.h"

#include <algorithm>
#include <iterator>

namespace velk {

dcm_problems::dcm_problems(dcm_findings findings) : m_findings(std::move(findings)) {
    m_findings.shrink_to_fit();  // kept as long as the document
    m_by_offset.reserve(m_findings.list.size());
    for (std::size_t i = 0; i < m_findings.list.size(); ++i) {
        const dcm_finding& f = m_findings.list[i];
        m_by_offset.push_back({{f.inflated, f.offset}, i});
    }
    std::stable_sort(m_by_offset.begin(), m_by_offset.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

std::string dcm_problems::summary() const {
    const auto counted = [](std::size_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    const std::size_t errors = m_findings.count(dcm_severity::error);
    const std::size_t warnings = m_findings.count(dcm_severity::warning);
    if (errors == 0 && warnings == 0) {
        const std::size_t notes = m_findings.count(dcm_severity::info);
        return notes ? counted(notes, "note", "notes") : "No problems found";
    }
    return counted(errors, "error", "errors") + ", " + counted(warnings, "warning", "warnings");
}

bool dcm_problems::marked(const dcm_record& r) const {
    const key k{r.inflated, r.offset};
    const auto it = std::lower_bound(m_by_offset.begin(), m_by_offset.end(), k,
                                     [](const auto& a, const key& b) { return a.first < b; });
    return it != m_by_offset.end() && it->first == k;
}

std::vector<std::size_t> dcm_problems::findings_of(const dcm_record& r) const {
    const key k{r.inflated, r.offset};
    auto it = std::lower_bound(m_by_offset.begin(), m_by_offset.end(), k,
                               [](const auto& a, const key& b) { return a.first < b; });
    std::vector<std::size_t> out;
    for (; it != m_by_offset.end() && it->first == k; ++it) out.push_back(it->second);
    return out;
}

std::size_t dcm_problems::next_row(const std::vector<dcm_record>& rows, std::size_t from,
                                   bool forward) const {
    const std::size_t n = rows.size();
    if (n == 0 || m_by_offset.empty()) return n;
    if (from >= n) from = forward ? n - 1 : 0;
    for (std::size_t step = 1; step <= n; ++step) {
        const std::size_t row = forward ? (from + step) % n : (from + n - step % n) % n;
        if (marked(rows[row])) return row;
    }
    return n;
}

dcm_problems::place dcm_problems::next_place(place from, bool forward) const {
    if (m_by_offset.empty()) return from;
    const auto before = [](const auto& a, const place& b) { return a.first < b; };
    if (forward) {
        const auto it = std::upper_bound(m_by_offset.begin(), m_by_offset.end(), from,
                                         [](const place& a, const auto& b) { return a < b.first; });
        return it != m_by_offset.end() ? it->first : m_by_offset.front().first;
    }
    const auto it = std::lower_bound(m_by_offset.begin(), m_by_offset.end(), from, before);
    return it != m_by_offset.begin() ? std::prev(it)->first : m_by_offset.back().first;
}

std::size_t dcm_problems::row_at_or_before(const std::vector<dcm_record>& rows, place at) {
    const auto it =
        std::upper_bound(rows.begin(), rows.end(), at,
                         [](const place& a, const dcm_record& r) { return a < place_of(r); });
    return it != rows.begin() ? std::size_t(it - rows.begin()) - 1 : rows.size();
}

}  // namespace velk
