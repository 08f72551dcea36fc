// Files written by pydicom, not by our own builder: elements of the VRs added to
// the standard since its first editions (UC UR OD OL OV SV UV) carry a 32-bit
// length after two reserved bytes, and an empty OW or OF value may end the file.
// Read through the row model as the list and velkdump read them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "present/row_model.h"

namespace velk {

namespace {

class NewerVrFiles : public testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::string command = "/usr/bin/python3 " VELK_NEWER_VR_SCRIPT " " + folder();
        written = std::system(command.c_str()) == 0;
    }
    void SetUp() override {
        if (!written) GTEST_SKIP() << "pydicom could not write the files";
    }

    static std::string folder() { return testing::TempDir() + "velk_newer_vr_files"; }

    // Every row of the file as "tag;VR;size;data", and how the walk ended.
    std::vector<std::string> rows_of(const std::string& name, dcm_walk_status& ended) {
        const std::string path = folder() + "/" + name;
        const dcm_file_mapping file(path.c_str());
        dcm_row_model rows;
        ended = rows.load(dcm_bytes::of(file)).status;
        std::vector<std::string> lines;
        for (std::size_t row = 0; row < rows.size(); ++row) {
            std::string line;
            for (int column : {dcm_column_tag, dcm_column_vr, dcm_column_size, dcm_column_data}) {
                char text[dcm_cell_capacity];
                const std::size_t n =
                    rows.cell_text(dcm_bytes::of(file), row, column, text, sizeof text);
                line += std::string(text, n) + (column == dcm_column_data ? "" : ";");
            }
            if (line.compare(0, 6, "(0002,") != 0) lines.push_back(line);
        }
        return lines;
    }

    static bool written;
};

bool NewerVrFiles::written = false;

TEST_F(NewerVrFiles, LongFormHeadersKeepTheElementsAfterThem) {
    struct expectation {
        const char* file;
        std::vector<std::string> rows;
    };
    const char* unknown = "uknown value representation";
    const expectation files[] = {
        {"retrieve_url.dcm",
         {std::string("(0008,1190);UR;32;") + unknown, "(0010,0010);PN;8;Doe^John"}},
        {"extended_offset_table.dcm",
         {std::string("(7FE0,0001);OV;8;") + unknown, std::string("(7FE0,0002);OV;8;") + unknown,
          "(7FE0,0010);OW;16;other word data"}},
        {"every_newer_vr.dcm",
         {std::string("(0009,1001);UC;20;") + unknown, std::string("(0009,1002);UR;24;") + unknown,
          std::string("(0009,1003);OD;8;") + unknown, std::string("(0009,1004);OL;4;") + unknown,
          std::string("(0009,1005);OV;8;") + unknown, std::string("(0009,1006);SV;8;") + unknown,
          std::string("(0009,1007);UV;8;") + unknown, "(0010,0010);PN;8;Doe^Jane"}},
    };
    for (const expectation& f : files) {
        dcm_walk_status ended;
        EXPECT_EQ(rows_of(f.file, ended), f.rows) << f.file;
        EXPECT_EQ(ended, dcm_walk_status::complete) << f.file;
    }
}

TEST_F(NewerVrFiles, AnEmptyOtherWordOrFloatValueEndingTheFileShowsItsText) {
    dcm_walk_status ended;
    EXPECT_EQ(rows_of("empty_ow_at_end.dcm", ended).back(), "(7FE0,0010);OW;0;other word data");
    EXPECT_EQ(rows_of("empty_of_at_end.dcm", ended).back(), "(0066,0016);OF;0;other float data");
}

}  // namespace

}  // namespace velk
