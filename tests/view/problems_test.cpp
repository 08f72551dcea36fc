// The viewer's problems over a file with three faults: the count the status bar
// shows, the rows marked, F8 and Shift+F8 going round, and the findings of one row
// found in a collapsed document by the element's offset.
#include <gtest/gtest.h>

#include <algorithm>

#include "check/check.h"
#include "dicom_builder.h"
#include "view/problems.h"

namespace velk {

namespace {

using test::dicom_builder;

TEST(Problems, CountMarkAndMoveBetweenTheRowsWithFindings) {
    const std::string bytes = dicom_builder()
                                  .preamble()
                                  .explicit_element(0x0008, 0x0020, "DA", "2004.01.19")  // row 0
                                  .sequence(0x0008, 0x1140)                              // row 1
                                  .item()                                                // row 2
                                  .explicit_element(0x0008, 0x1150, "UI", "1.02")        // row 3
                                  .item_end()
                                  .sequence_end()
                                  .explicit_element(0x0010, 0x0010, "PN", "Doe ")  // row 6
                                  .bytes();
    dcm_row_model rows;
    const dcm_bytes file{bytes.data(), bytes.data() + bytes.size()};
    rows.load(file);
    dcm_findings findings = dcm_check(rows, file);
    // Only the element rules: the file has no meta group and no modules.
    findings.list.erase(
        std::remove_if(findings.list.begin(), findings.list.end(),
                       [](const dcm_finding& f) { return f.kind != dcm_check_kind::value; }),
        findings.list.end());
    const dcm_problems problems(findings);
    EXPECT_EQ(problems.summary(), "2 errors, 0 warnings");
    const std::vector<dcm_record>& shown = rows.records();
    EXPECT_TRUE(problems.marked(shown[0]));
    EXPECT_FALSE(problems.marked(shown[1]));
    EXPECT_EQ(problems.next_row(shown, shown.size(), true), 0u);
    EXPECT_EQ(problems.next_row(shown, 0, true), 3u);
    EXPECT_EQ(problems.next_row(shown, 3, true), 0u);  // round the end
    EXPECT_EQ(problems.next_row(shown, 0, false), 3u);
    ASSERT_EQ(problems.findings_of(shown[3]).size(), 1u);
    EXPECT_NE(
        findings.message(findings.list[problems.findings_of(shown[3])[0]]).find("leading zero"),
        std::string::npos);

    // Collapsed, the sequence's rows are gone and F8 skips to what is shown.
    const dcm_problems::place uid = dcm_problems::place_of(shown[3]);
    rows.collapse(1);
    EXPECT_EQ(problems.next_row(rows.records(), 0, true), 0u);
    // By place, F8 reaches the hidden element: its row is the collapsed sequence.
    const dcm_problems::place first = dcm_problems::place_of(rows.record(0));
    EXPECT_EQ(problems.next_place(first, true), uid);
    EXPECT_EQ(problems.next_place(first, false), uid);  // round the start
    EXPECT_EQ(problems.next_place(uid, true), first);
    EXPECT_EQ(dcm_problems::row_at_or_before(rows.records(), uid), 1u);
    EXPECT_EQ(dcm_problems::row_at_or_before(rows.records(), {false, 0}), rows.size());
    EXPECT_EQ(dcm_problems(dcm_findings{}).summary(), "No problems found");
}

}  // namespace

}  // namespace velk
