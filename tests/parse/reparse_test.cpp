// A container re-parsed on its own must give exactly the records the load gave
// for it and everything nested in it, in implicit and explicit data sets alike;
// and a walk says how it ended.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "cursor_compare.h"
#include "dicom_builder.h"
#include "parse/file.h"
#include "parse/record.h"

namespace velk {

namespace {

using test::dicom_builder;

using records = std::vector<dcm_record>;

records load(const std::string& bytes) {
    records l;
    dcm_read_records(bytes.data(), bytes.data() + bytes.size(), l);
    return l;
}

records reparse(const std::string& bytes, const dcm_record& row, std::size_t size = SIZE_MAX) {
    return dcm_reparse_record(bytes.data(), bytes.data() + std::min(size, bytes.size()), row);
}

// Rows i to the end of its subtree, by true level.
records subtree(const records& l, std::size_t i) {
    std::size_t e = i + 1;
    while (e < l.size() && l[e].level > l[i].level) ++e;
    return records(l.begin() + long(i), l.begin() + long(e));
}

// A data set with sequences in sequences, defined and undefined lengths, an
// encapsulated pixel data element holding an undefined-length item, and an
// unknown-VR value of undefined length.
dicom_builder& nested_data_set(dicom_builder& b, bool implicit) {
    auto plain = [&](std::uint16_t g, std::uint16_t e, const char* vr,
                     const std::string& v) -> dicom_builder& {
        return implicit ? b.implicit_element(g, e, v) : b.explicit_element(g, e, vr, v);
    };
    auto seq = [&](std::uint16_t g, std::uint16_t e) -> dicom_builder& {
        return implicit ? b.implicit_header(g, e, test::undefined) : b.sequence(g, e);
    };
    plain(0x0008, 0x0060, "CS", "MR");
    seq(0x0008, 0x1140).item();
    plain(0x0008, 0x1150, "UI", "1.23");
    seq(0x0040, 0xA730).item();
    plain(0x0040, 0xA040, "CS", "TEXT");
    b.item_end().sequence_end();
    b.item_end();
    b.item(12);
    plain(0x0008, 0x1155, "UI", "1234");
    b.sequence_end();
    if (!implicit) {
        b.sequence(0x0008, 0x1111, 28).item(20);
        b.explicit_element(0x0008, 0x1150, "UI", "1.23");
        b.sequence(0x0008, 0x1199, 0);
        b.explicit_header(0x7FE0, 0x0010, "OB", test::undefined).item(0).item();
        b.sequence(0x0008, 0x1140, 8).item(0);  // not descended inside pixel data
        b.item_end().sequence_end();
        b.explicit_header(0x0009, 0x1010, "UN", test::undefined).item().item_end().sequence_end();
    }
    plain(0x0010, 0x0010, "PN", "Doe^");
    return b;
}

std::string part10(bool implicit) {
    dicom_builder b;
    b.preamble().transfer_syntax(implicit ? test::implicit_le_uid() : test::explicit_le_uid());
    return nested_data_set(b, implicit).bytes();
}

class Reparse : public ::testing::TestWithParam<bool> {};

TEST_P(Reparse, EveryContainerGivesBackTheRowsOfTheLoad) {
    const std::string bytes = part10(GetParam());
    const records l = load(bytes);
    int containers = 0;
    for (std::size_t i = 0; i < l.size(); ++i) {
        if (!l[i].container) continue;
        ++containers;
        EXPECT_EQ(reparse(bytes, l[i]), subtree(l, i)) << "row " << i;
    }
    EXPECT_GE(containers, GetParam() ? 4 : 9);
}

INSTANTIATE_TEST_SUITE_P(Syntaxes, Reparse, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Implicit" : "Explicit"; });

TEST(Reparse, ExplicitStartModeWouldMisreadAnImplicitDataSet) {
    // Why a record keeps its mode: walking an implicit sequence as explicit does
    // not reproduce the rows.
    const std::string bytes = part10(true);
    const records l = load(bytes);
    std::size_t i = 0;
    while (!l[i].container) ++i;
    EXPECT_EQ(l[i].syntax, syntax_implicit_le);
    dcm_record wrong = l[i];
    wrong.syntax = syntax_explicit_le;
    EXPECT_NE(reparse(bytes, wrong), subtree(l, i));
}

TEST(Reparse, DeepContainersKeepTheGuardOfTheirTrueLevel) {
    dicom_builder b;
    b.preamble();
    for (int i = 0; i < 200; ++i) b.item();
    for (int i = 0; i < 200; ++i) b.item_end();
    const std::string bytes = b.bytes();
    const records l = load(bytes);
    for (std::size_t i : {0u, 15u, 16u, 100u, 127u})
        EXPECT_EQ(reparse(bytes, l[i]), subtree(l, i)) << "row " << i;
}

TEST(Reparse, ChangedShrunkOrForeignBytesGiveNothing) {
    const std::string bytes = part10(false);
    const records l = load(bytes);
    std::size_t i = 0;
    while (!l[i].container) ++i;
    const dcm_record& row = l[i];

    std::string changed = bytes;
    changed[row.offset + 4] = 'L';  // "SQ" becomes "LQ"
    EXPECT_TRUE(reparse(changed, row).empty());

    for (std::size_t size : {std::size_t(0), std::size_t(row.offset), std::size_t(row.offset + 5)})
        EXPECT_TRUE(reparse(bytes, row, size).empty()) << size;

    dcm_record far = row;
    far.offset = 0xFFFFFFF0u;
    EXPECT_TRUE(reparse(bytes, far).empty());
    EXPECT_TRUE(dcm_reparse_record(nullptr, nullptr, row).empty());
}

TEST(Reparse, ShrunkFileKeepsOnlyTheBytesThatExist) {
    const std::string bytes = part10(false);
    const records l = load(bytes);
    std::size_t i = 0;
    while (!l[i].container) ++i;
    const std::size_t cut = l[i + 3].offset;  // inside the sequence
    const records again = reparse(bytes, l[i], cut);
    ASSERT_EQ(again.size(), 3u);
    for (const dcm_record& c : again) EXPECT_LT(c.offset, cut);
}

}  // namespace

}  // namespace velk
