#include "index/header_check.h"

#include <string>

#include "check/check.h"
#include "present/row_model.h"

namespace velk {

namespace {

// Whether a finding is about the header as read, not about what the cut left out.
bool about_what_was_read(const dcm_finding& finding, const dcm_scan_result& scan) {
    if (finding.kind == dcm_check_kind::pixel) return false;
    if (scan.end != dcm_scan_end::stopped) return true;
    if (finding.kind == dcm_check_kind::group_length && finding.tag >> 16 == scan.stop_tag >> 16)
        return false;
    return finding.inflated || finding.offset < scan.stop_offset;
}

}  // namespace

void dcm_index_check_header(const char* begin, const char* end, const dcm_scan_result& scan,
                            dcm_index_row& row) {
    if (scan.end == dcm_scan_end::not_part10) return;
    if (scan.end == dcm_scan_end::stopped) {
        if (scan.stopped_inflated || scan.stop_offset > std::uint64_t(end - begin)) return;
        end = begin + scan.stop_offset;
    }
    const dcm_bytes header{begin, end};
    dcm_row_model rows;
    rows.load(header);
    std::size_t errors = 0, warnings = 0;
    for (const dcm_finding& finding : dcm_check(rows, header).list) {
        if (!about_what_was_read(finding, scan)) continue;
        if (finding.severity == dcm_severity::error) ++errors;
        if (finding.severity == dcm_severity::warning) ++warnings;
    }
    row.cell(dcm_index_column::errors) = std::to_string(errors);
    row.cell(dcm_index_column::warnings) = std::to_string(warnings);
}

}  // namespace velk
