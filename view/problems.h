// The check's findings as the viewer shows them: which rows are marked, the
// findings of one element (for the inspector), the status bar's count ("2 errors,
// 5 warnings"), and the row F8 and Shift+F8 move to. Portable: it answers from a
// document's findings (check/check.h, made from a whole load) and the rows shown,
// matched by the element's offset, so that collapsed and filtered rows find theirs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "check/finding.h"
#include "parse/record.h"

namespace velk {

class dcm_problems {
public:
    dcm_problems() = default;
    explicit dcm_problems(dcm_findings findings);

    const dcm_findings& findings() const { return m_findings; }
    bool empty() const { return m_findings.list.empty(); }

    // "2 errors, 5 warnings" (infos only when there is nothing else: "3 notes");
    // "No problems found" when there are none.
    std::string summary() const;

    // Whether the element of record `r` has a finding, and which (indices into
    // findings().list, in file order).
    bool marked(const dcm_record& r) const;
    std::vector<std::size_t> findings_of(const dcm_record& r) const;

    // The row of `rows` after (forward) or before `from` whose element has a
    // finding, going round the end; rows.size() when no row has one. `from` may
    // be rows.size() (no row focused): forward then starts at the first row.
    std::size_t next_row(const std::vector<dcm_record>& rows, std::size_t from, bool forward) const;

    // Where an element lies in file order: whether its offset counts in the
    // inflated data set, and the offset.
    using place = std::pair<bool, std::uint64_t>;
    static place place_of(const dcm_record& r) { return {r.inflated, r.offset}; }
    // The place of the first element with a finding after (forward) or before
    // `from`, going round the end; `from` itself when there are no findings.
    // Reaches elements that collapsed rows hide, which next_row does not.
    place next_place(place from, bool forward) const;
    // The last row of `rows` at or before `at`: the element's own row, or the
    // collapsed container that hides it; rows.size() when `at` is before them all.
    static std::size_t row_at_or_before(const std::vector<dcm_record>& rows, place at);

private:
    using key = place;
    dcm_findings m_findings;
    std::vector<std::pair<key, std::size_t>> m_by_offset;  // ascending, with each finding's index
};

}  // namespace velk
