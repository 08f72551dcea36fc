// Private elements in the Interpret reading: a creator reserves its block in its
// own data set or item only; a known creator's elements get the private
// dictionary's VR, name and value; elements of no known VR show their bytes.
#include <gtest/gtest.h>

#include <string>

#include "dicom_builder.h"
#include "present/cell_text.h"
#include "present/row_model.h"

using namespace velk;

namespace {

struct row_cells {
    std::string tag, vr, name, value;
    bool vr_from_dictionary;  // shaded as the dictionary's
};

std::vector<row_cells> interpret_rows(const std::string& file) {
    dcm_row_model rows(dcm_reading::interpret);
    const dcm_bytes bytes{file.data(), file.data() + file.size()};
    rows.load(bytes);
    std::vector<row_cells> out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto cell = [&](int column) {
            char text[dcm_cell_capacity];
            rows.cell_text(bytes, i, column, text, sizeof text);
            return std::string(text);
        };
        out.push_back({cell(dcm_column_tag), cell(dcm_column_vr), cell(dcm_column_description),
                       cell(dcm_column_data), rows.vr_from_dictionary(bytes, i)});
    }
    return out;
}

}  // namespace

TEST(PrivateElements, BlocksResolvePerDataSetAndItem) {
    test::dicom_builder file;
    file.preamble().transfer_syntax(test::implicit_le_uid());
    // Item 1 uses block 10 without reserving it; item 2 reserves it itself.
    file.implicit_header(0x0008, 0x1140, test::undefined)
        .item()
        .implicit_element(0x0019, 0x1009, "1.0 ")
        .item_end()
        .item()
        .implicit_element(0x0019, 0x0010, "SIEMENS MR HEADER ")
        .implicit_element(0x0019, 0x1009, "2.0 ")
        .item_end()
        .sequence_end();
    file.implicit_element(0x0019, 0x0010, "SIEMENS MR HEADER ")  // trailing space trimmed
        .implicit_element(0x0019, 0x0011, "NO SUCH CREATOR")
        .implicit_element(0x0019, 0x100B, "12345 ")  // DS in the dictionary
        .implicit_element(0x0019, 0x1012, std::string("\x01\0\0\0\xFF\xFF\xFF\xFF", 8))  // SL
        .implicit_element(0x0019, 0x1109, "TEXT")                       // an unknown creator's
        .implicit_element(0x0019, 0x1209, std::string("\x01\x02", 2));  // no creator at all
    const auto rows = interpret_rows(file.bytes());
    ASSERT_EQ(rows.size(), 16u);
    EXPECT_EQ(rows[3].tag, "(0019,1009)");  // item 1: block 10 not reserved there
    EXPECT_EQ(rows[3].name, "");
    EXPECT_EQ(rows[3].value, "1.0 ");       // unknown, printable: the text
    EXPECT_EQ(rows[7].tag, "(0019,1009)");  // item 2: its own creator
    EXPECT_EQ(rows[7].vr, "(LO)");
    EXPECT_TRUE(rows[7].vr_from_dictionary);
    EXPECT_EQ(rows[7].name, "[CSA Image Header Version ??]");
    EXPECT_EQ(rows[7].value, "2.0 ");
    EXPECT_EQ(rows[12].vr, "(DS)");
    EXPECT_EQ(rows[12].name, "[SliceMeasurementDuration]");
    EXPECT_EQ(rows[13].vr, "(SL)");
    EXPECT_EQ(rows[13].value, "1/-1");  // read by the dictionary's VR
    EXPECT_EQ(rows[14].vr, "");
    EXPECT_EQ(rows[14].name, "");
    EXPECT_EQ(rows[14].value, "TEXT");
    EXPECT_EQ(rows[15].value, "0102");  // not printable: hex, as OB shows
}
