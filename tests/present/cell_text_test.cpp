#include <gtest/gtest.h>

#include <array>
#include <iterator>
#include <string>
#include <vector>

#include "dicom_builder.h"
#include "parse/cursor.h"
#include "parse/file.h"
#include "present/cell_text.h"

namespace velk {

namespace {

using test::dicom_builder;

std::vector<dcm_cursor> parse(const std::string& file) {
    std::vector<dcm_cursor> cursors;
    dcm_cursor_insert<std::back_insert_iterator<std::vector<dcm_cursor>>> visitor(
        std::back_inserter(cursors), 0, nullptr);
    dcm_parse_file(file.data(), file.data() + file.size(), visitor);
    return cursors;
}

std::string cell(const std::string& file, const dcm_cursor& c, int column,
                 std::size_t capacity = dcm_cell_capacity) {
    std::string out(capacity + 1, '#');
    const std::size_t n =
        dcm_cell_text(file.data(), file.data() + file.size(), c, column, &out[0], capacity);
    EXPECT_EQ(out[capacity], '#') << "wrote past the capacity";
    if (capacity > 0) {
        EXPECT_EQ(out[n], '\0');
    }
    return out.substr(0, n);
}

using row = std::array<std::string, dcm_column_count>;

row cells(const std::string& file, const dcm_cursor& c) {
    row r;
    for (int col = 0; col < dcm_column_count; ++col) r[col] = cell(file, c, col);
    return r;
}

std::string le32(std::uint32_t v) { return test::le32(v); }

TEST(CellText, FirstElementOfAPart10File) {
    const std::string file =
        dicom_builder().preamble().explicit_element(0x0002, 0x0000, "UL", le32(196)).bytes();
    const auto cursors = parse(file);
    ASSERT_EQ(cursors.size(), 1u);
    EXPECT_EQ(cells(file, cursors[0]),
              (row{"(0002,0000)", "UL", "4", "Group 0002 Length", "196", "132"}));
}

TEST(CellText, ExplicitTextElement) {
    dicom_builder b;
    b.preamble()
        .explicit_element(0x0008, 0x103E, "LO", "Head ")
        .explicit_element(0x0008, 0x0060, "CS", "MR");
    const auto cursors = parse(b.bytes());
    ASSERT_EQ(cursors.size(), 2u);
    EXPECT_EQ(cells(b.bytes(), cursors[0])[0], "(0008,103E)");
    EXPECT_EQ(cells(b.bytes(), cursors[1]),
              (row{"(0008,0060)", "CS", "2", "Modality", "MR", "145"}));
}

TEST(CellText, UndefinedSequenceItemAndDelimiters) {
    dicom_builder b;
    b.preamble()
        .sequence(0x0008, 0x1140)
        .item()
        .explicit_element(0x0008, 0x1150, "UI", "1.2")
        .item_end()
        .sequence_end();
    const std::string& f = b.bytes();
    const auto c = parse(f);
    ASSERT_EQ(c.size(), 5u);
    EXPECT_EQ(cells(f, c[0]),
              (row{"(0008,1140)", "SQ", "-1", "Referenced Image Sequence", "", "132"}));
    EXPECT_EQ(cells(f, c[1]), (row{"(FFFE,E000)", "", "-1", "Item", "", "144"}));
    EXPECT_EQ(cells(f, c[2])[4], "1.2");
    EXPECT_EQ(cells(f, c[3]), (row{"(FFFE,E00D)", "", "0", "Item Delimitation Item", "", "163"}));
    EXPECT_EQ(cells(f, c[4])[3], "Sequence Delimitation Item");
}

TEST(CellText, ImplicitDataSetHasNoVrAndNoDataButADescription) {
    dicom_builder b;
    b.preamble().transfer_syntax(test::implicit_le_uid()).implicit_element(0x0010, 0x0010, "Doe^J");
    const auto c = parse(b.bytes());
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(cells(b.bytes(), c[1]), (row{"(0010,0010)", "", "5", "Patient's Name", "", "158"}));
}

TEST(CellText, PrivateElementHasNoDescription) {
    dicom_builder b;
    b.preamble().explicit_element(0x0009, 0x1001, "LO", "x");
    const auto c = parse(b.bytes());
    EXPECT_EQ(cell(b.bytes(), c[0], dcm_column_description), "");
}

TEST(CellText, DataStopsAtTheFirstNulAndAtTheCapacity) {
    dicom_builder b;
    b.preamble()
        .explicit_element(0x0008, 0x0016, "UI", std::string("1.2.3\0", 6))
        .explicit_element(0x0010, 0x4000, "LT", std::string(1000, 'a'));
    const auto c = parse(b.bytes());
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(cell(b.bytes(), c[0], dcm_column_data), "1.2.3");
    EXPECT_EQ(cell(b.bytes(), c[1], dcm_column_data), std::string(259, 'a'));
    EXPECT_EQ(cell(b.bytes(), c[1], dcm_column_data, 5), "aaaa");
    EXPECT_EQ(cell(b.bytes(), c[1], dcm_column_description, 6), "Patie");
    EXPECT_EQ(cell(b.bytes(), c[1], dcm_column_tag, 1), "");
}

TEST(CellText, EncapsulatedPixelDataShowsTheFirst24BytesAfterItsHeader) {
    dicom_builder b;
    b.preamble()
        .explicit_header(0x7FE0, 0x0010, "OB", test::undefined)
        .item(4)
        .raw("\x01\x02\x03\x04")
        .item(16)
        .raw(std::string(16, '\xAB'))
        .sequence_end();
    const auto c = parse(b.bytes());
    ASSERT_FALSE(c.empty());
    EXPECT_EQ(cells(b.bytes(), c[0]),
              (row{"(7FE0,0010)", "OB", "-1", "Pixel Data",
                   "FEFF00E00400000001020304FEFF00E010000000ABABABAB", "132"}));
}

TEST(CellText, UnknownColumnsAndZeroCapacityGiveNothing) {
    const std::string file =
        dicom_builder().preamble().explicit_element(0x0002, 0x0000, "UL", le32(196)).bytes();
    const auto c = parse(file);
    EXPECT_EQ(cell(file, c[0], 6), "");
    EXPECT_EQ(cell(file, c[0], -1), "");
    char out = '#';
    EXPECT_EQ(dcm_cell_text(file.data(), file.data() + file.size(), c[0], 0, &out, 0), 0u);
    EXPECT_EQ(out, '#');
}

// The file as the cells see it may differ from the file the cursors came from.
struct shrink_case {
    const char* label;
    std::size_t keep;  // bytes of the file still there
    row expected;
};

std::ostream& operator<<(std::ostream& os, const shrink_case& c) { return os << c.label; }

class CellTextOfAShrunkFile : public testing::TestWithParam<shrink_case> {};

// (0010,0010) PN "Doe^John" at offset 132: header 8 bytes, value 8 bytes.
TEST_P(CellTextOfAShrunkFile, ReadsOnlyTheBytesThatRemain) {
    dicom_builder b;
    b.preamble().explicit_element(0x0010, 0x0010, "PN", "Doe^John");
    const auto c = parse(b.bytes());
    ASSERT_EQ(c.size(), 1u);
    // A copy of exactly the remaining bytes, so that a sanitizer sees any read past it.
    const std::string file = b.bytes().substr(0, GetParam().keep);
    EXPECT_EQ(cells(file, c[0]), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, CellTextOfAShrunkFile,
    testing::Values(
        shrink_case{"whole", 148, {"(0010,0010)", "PN", "8", "Patient's Name", "Doe^John", "132"}},
        shrink_case{"value_cut", 143, {"(0010,0010)", "PN", "8", "Patient's Name", "Doe", "132"}},
        shrink_case{"header_only", 140, {"(0010,0010)", "PN", "8", "Patient's Name", "", "132"}},
        shrink_case{"half_a_tag", 134, {"", "PN", "8", "", "", "132"}},
        shrink_case{"element_gone", 132, {"", "", "", "", "", ""}},
        shrink_case{"empty_file", 0, {"", "", "", "", "", ""}}),
    [](const testing::TestParamInfo<shrink_case>& info) { return std::string(info.param.label); });

TEST(CellText, ValueDeclaredPastTheEndShowsWhatExists) {
    dicom_builder b;
    b.preamble().explicit_header(0x0010, 0x4000, "LT", 0xFFFF).raw("short");
    const auto c = parse(b.bytes());
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(cell(b.bytes(), c[0], dcm_column_data), "short");
    EXPECT_EQ(cell(b.bytes(), c[0], dcm_column_size), "65535");
}

TEST(CellText, SizeIsSignedAndOffsetUnsigned) {
    dicom_builder b;
    b.preamble().explicit_element(0x0008, 0x0060, "CS", "MR");
    const std::string& f = b.bytes();
    dcm_cursor far = parse(f)[0];
    far.length = 0x80000000u;
    EXPECT_EQ(cell(f, far, dcm_column_size), "-2147483648");
    // A cursor past the end of this small file: nothing, rather than a wrong number.
    far.offset = 0x80000000u;
    EXPECT_EQ(cell(f, far, dcm_column_offset), "");
}

TEST(CellText, VrColumnShowsTheRecordedBytesUpToANul) {
    dicom_builder b;
    b.preamble().explicit_element(0x0008, 0x0060, "CS", "MR");
    dcm_cursor c = parse(b.bytes())[0];
    c.vr[0] = 'Z';
    c.vr[1] = 0;
    EXPECT_EQ(cell(b.bytes(), c, dcm_column_vr), "Z");
    c.vr[0] = 0;
    c.vr[1] = 'Q';
    EXPECT_EQ(cell(b.bytes(), c, dcm_column_vr), "");
}

}  // namespace

}  // namespace velk
