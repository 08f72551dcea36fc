#include "check/check.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "check/check_source.h"

namespace velk {

namespace {

// The walk's own end, when it stopped early: everything after it is unread.
void add_damage(dcm_check_source& source) {
    const dcm_walk_result& walk = source.rows().walk_result();
    if (walk.complete() || walk.status == dcm_walk_status::not_part10) return;
    // The row the stop belongs to: the first at or after its offset.
    std::size_t row = 0;
    while (row < source.size() && source.record(row).offset < walk.offset) ++row;
    const bool inflated = walk.status == dcm_walk_status::inflate_stopped;
    source.add_at(walk.offset, inflated, row, walk.tag, dcm_severity::error, dcm_check_kind::damage,
                  std::string("The file stops making sense here (") +
                      dcm_walk_status_text(walk.status) + "); what follows is not checked");
}

// File order: by row, and within a row in the order the parts found them. The
// parts each find in file order, so the list is a few sorted runs: sorted as
// (row, place) pairs, the findings themselves moved once.
void in_file_order(std::vector<dcm_finding>& list) {
    const auto by_row = [](const dcm_finding& a, const dcm_finding& b) { return a.row < b.row; };
    if (std::is_sorted(list.begin(), list.end(), by_row)) return;
    std::vector<std::pair<std::size_t, std::size_t>> order(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) order[i] = {list[i].row, i};
    std::sort(order.begin(), order.end());
    std::vector<dcm_finding> sorted;
    sorted.reserve(list.size());
    for (const auto& o : order) sorted.push_back(std::move(list[o.second]));
    list.swap(sorted);
}

}  // namespace

dcm_findings dcm_check(const dcm_row_model& rows, dcm_bytes file) {
    dcm_findings findings;
    if (!file.begin || rows.walk_result().status == dcm_walk_status::not_part10) return findings;
    dcm_check_source source(rows, file, findings);
    dcm_check_meta(source);
    dcm_check_structure(source);
    dcm_check_values(source);
    // Where the data set is not read, its walk's end is no finding either.
    if (source.data_set_read()) {
        dcm_check_pixels(source);
        dcm_check_required(source);
        add_damage(source);
    }
    in_file_order(findings.list);
    return findings;
}

}  // namespace velk
