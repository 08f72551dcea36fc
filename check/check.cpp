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
// parts each find mostly in file order, so the list is a few ascending runs:
// merged pairwise in place (a stable merge keeps a row's findings in the order
// found), which moves each finding about log2(runs) times and sorts nothing.
void in_file_order(std::vector<dcm_finding>& list) {
    const auto by_row = [](const dcm_finding& a, const dcm_finding& b) { return a.row < b.row; };
    std::vector<std::size_t> starts;  // where each ascending run begins, and the end
    for (std::size_t i = 0; i < list.size(); ++i)
        if (i == 0 || list[i].row < list[i - 1].row) starts.push_back(i);
    starts.push_back(list.size());
    while (starts.size() > 2) {
        std::vector<std::size_t> merged;
        for (std::size_t k = 0; k + 1 < starts.size(); k += 2) {
            merged.push_back(starts[k]);
            if (k + 2 < starts.size())
                std::inplace_merge(list.begin() + starts[k], list.begin() + starts[k + 1],
                                   list.begin() + starts[k + 2], by_row);
        }
        merged.push_back(list.size());
        starts.swap(merged);
    }
}

}  // namespace

dcm_findings dcm_check(const dcm_row_model& rows, dcm_bytes file) {
    dcm_findings findings;
    if (!file.begin || rows.walk_result().status == dcm_walk_status::not_part10) return findings;
    // Room for a finding per row, up to the cap, so that the list is not
    // copied again and again as it grows (a holder that keeps the findings
    // gives back what is left over: dcm_check in check.h).
    findings.list.reserve(std::min(rows.size() + 64, dcm_check_max_findings));
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
