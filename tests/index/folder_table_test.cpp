// The folder window's rows through the table that answers them: grouping by
// study and series, sorting both ways, folding, filtering, Copy Rows' text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "index/folder_table.h"

namespace velk {
namespace {

dcm_index_row file(const std::string& path, const std::string& study, const std::string& series,
                   const std::string& instance) {
    dcm_index_row row;
    row.cell(dcm_index_column::path) = path;
    row.cell(dcm_index_column::study_description) = "Study " + study;
    row.cell(dcm_index_column::series_number) = series;
    row.cell(dcm_index_column::instance_number) = instance;
    row.study_uid = "1." + study;
    row.series_uid = "1." + study + "." + series;
    return row;
}

// Each line shown: its depth and its Path cell.
std::vector<std::string> shown(const dcm_folder_table& table) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < table.line_count(); ++i)
        lines.push_back(std::string(table.depth(i), '.') + table.cell(i, dcm_index_column::path));
    return lines;
}

TEST(FolderTable, GroupsSortsFoldsAndFilters) {
    dcm_folder_table table;
    table.add(file("b/2", "B", "1", "2"));
    table.add(file("a/10", "A", "3", "10"));
    table.add(file("a/9", "A", "3", "9"));
    table.add(file("a/s2", "A", "2", "1"));
    EXPECT_EQ(shown(table), (std::vector<std::string>{
                                "Study: Study A (3 files)", ".Series: 3 (2 files)", "..a/10",
                                "..a/9", ".Series: 2 (1 file)", "..a/s2", "Study: Study B (1 file)",
                                ".Series: 1 (1 file)", "..b/2"}));
    // Numbers sort as numbers; a second click reverses.
    table.sort_by(dcm_index_column::instance_number);
    EXPECT_EQ(shown(table)[2], "..a/s2");
    EXPECT_EQ(shown(table)[5], "..a/10");
    table.sort_by(dcm_index_column::instance_number);
    EXPECT_TRUE(table.descending());
    EXPECT_EQ(shown(table)[0], "Study: Study A (3 files)");
    EXPECT_EQ(shown(table)[2], "..a/10");

    // Folding a series, then its study; the fold outlives a new sort.
    table.toggle(1);
    EXPECT_EQ(shown(table).size(), 7u);
    table.toggle(0);
    table.sort_by(dcm_index_column::path);
    EXPECT_EQ(shown(table),
              (std::vector<std::string>{"Study: Study A (3 files)", "Study: Study B (1 file)",
                                        ".Series: 1 (1 file)", "..b/2"}));
    table.toggle(0);
    EXPECT_EQ(shown(table).size(), 7u);  // the series folded inside stays folded

    // The filter, in any case, counts what passes.
    table.set_filter("STUDY b");
    EXPECT_EQ(shown(table), (std::vector<std::string>{"Study: Study B (1 file)",
                                                      ".Series: 1 (1 file)", "..b/2"}));
    EXPECT_EQ(
        table.text(),
        "Path\tPatient's Name\tPatient ID\tStudy Date\tStudy Description\tModality\tSeries Number\t"
        "Series Description\tInstance Number\tSOP Class\tRows x Columns\tFrames\tTransfer Syntax\t"
        "Size\tProblem\r\n"
        "Study: Study B (1 file)\t\t\t\tStudy B\t\t\t\t\t\t\t\t\t\t\r\n"
        "  Series: 1 (1 file)\t\t\t\t\t\t1\t\t\t\t\t\t\t\t\r\n"
        "    b/2\t\t\t\tStudy B\t\t1\t\t2\t\t\t\t\t\t\r\n");
    table.set_grouped(false);
    EXPECT_EQ(shown(table), (std::vector<std::string>{"b/2"}));
}

}  // namespace
}  // namespace velk
