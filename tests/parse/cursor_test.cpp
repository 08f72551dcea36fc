#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <vector>

#include "cursor_compare.h"
#include "dicom_builder.h"
#include "parse/parser.h"

namespace velk {

namespace {

using test::dicom_builder;

std::vector<dcm_cursor> collect(const std::string& bytes, dcm_syntax mode = syntax_explicit_le,
                                int depth = 0) {
    std::vector<dcm_cursor> out;
    dcm_cursor_insert<std::back_insert_iterator<std::vector<dcm_cursor>>> v(std::back_inserter(out),
                                                                            depth, bytes.data());
    const char* p = bytes.data();
    dcm_parse(p, std::uint32_t(bytes.size()), v, true, mode, false, p + bytes.size());
    return out;
}

dcm_cursor cursor(std::uint32_t offset, std::uint32_t length, const char* vr, unsigned depth,
                  unsigned header, bool container) {
    dcm_cursor c{};
    c.offset = offset;
    c.length = length;
    c.vr[0] = vr[0];
    c.vr[1] = vr[0] ? vr[1] : 0;
    c.depth = depth & 0xF;
    c.header_length = header;
    c.container = container;
    return c;
}

TEST(Cursors, SequenceItemElementAndDelimiters) {
    const std::string bytes = dicom_builder()
                                  .sequence(0x0008, 0x1140)
                                  .item()
                                  .explicit_element(0x0008, 0x1150, "UI", "1.23")
                                  .item_end()
                                  .sequence_end()
                                  .bytes();
    EXPECT_EQ(collect(bytes), (std::vector<dcm_cursor>{
                                  cursor(0, 0xFFFFFFFF, "SQ", 0, 12, true),
                                  cursor(12, 0xFFFFFFFF, "", 1, 8, true),
                                  cursor(20, 4, "UI", 2, 8, false),
                                  cursor(32, 0, "", 2, 8, false),
                                  cursor(40, 0, "", 1, 8, false),
                              }));
}

TEST(Cursors, DefinedSequenceKeepsItsDeclaredLength) {
    const std::string bytes = dicom_builder()
                                  .sequence(0x0008, 0x1140, 20)
                                  .item(12)
                                  .explicit_element(0x0008, 0x1150, "UI", "1234")
                                  .bytes();
    const auto c = collect(bytes);
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[0], cursor(0, 20, "SQ", 0, 12, true));
    EXPECT_EQ(c[1], cursor(12, 12, "", 1, 8, true));
}

TEST(Cursors, ImplicitAndLongFormHeaders) {
    const std::string implicit = dicom_builder().implicit_element(0x0008, 0x0060, "MR").bytes();
    EXPECT_EQ(collect(implicit, syntax_implicit_le)[0], cursor(0, 2, "", 0, 8, false));
    const std::string ob = dicom_builder().explicit_element(0x7FE0, 0x0010, "OB", "ab").bytes();
    EXPECT_EQ(collect(ob)[0], cursor(0, 2, "OB", 0, 12, false));
}

TEST(Cursors, DepthIsKeptModulo16) {
    dicom_builder b;
    for (int i = 0; i < 17; ++i) b.item();
    const auto c = collect(b.bytes());
    ASSERT_EQ(c.size(), 17u);
    EXPECT_EQ(c[15].depth, 15u);
    EXPECT_EQ(c[16].depth, 0u);
}

TEST(Cursors, InitialDepthIsTheFirstElementsDepth) {
    const std::string bytes = dicom_builder().explicit_element(0x0008, 0x0060, "CS", "MR").bytes();
    EXPECT_EQ(collect(bytes, syntax_explicit_le, 3)[0].depth, 3u);
}

TEST(Cursors, BitFieldsShareTheirBytesAsDocumented) {
    dcm_cursor c{};
    c.depth = 0x5;
    c.header_length = 0xC;
    c.container = 1;
    unsigned char raw[sizeof c];
    std::memcpy(raw, &c, sizeof c);
    EXPECT_EQ(raw[10], 0xC5) << "depth in the low four bits, header length in the high";
    EXPECT_EQ(raw[11] & 1, 1) << "container is the lowest bit of the next byte";
}

}  // namespace

}  // namespace velk
