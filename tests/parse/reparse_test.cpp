// A container re-parsed on its own must give exactly the cursors the load gave
// for it and everything nested in it, in implicit and explicit data sets alike.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cursor_compare.h"
#include "dicom_builder.h"
#include "parse/file.h"
#include "parse/reparse.h"

namespace velk {

namespace {

using test::dicom_builder;

struct loaded {
    dcm_cursor_vector cursors;
    std::vector<std::uint32_t> levels;
    std::vector<dcm_container_context> contexts;
};

loaded load(const std::string& bytes) {
    loaded l;
    dcm_tracking_insert v(l.cursors, 0, nullptr, true, l.contexts, &l.levels);
    dcm_parse_file(bytes.data(), bytes.data() + bytes.size(), v);
    return l;
}

// Rows i to the end of its subtree, by true level.
dcm_cursor_vector subtree(const loaded& l, std::size_t i) {
    std::size_t e = i + 1;
    while (e < l.cursors.size() && l.levels[e] > l.levels[i]) ++e;
    return dcm_cursor_vector(l.cursors.begin() + long(i), l.cursors.begin() + long(e));
}

// A data set with sequences in sequences, defined and undefined lengths, an
// encapsulated pixel data element holding an undefined-length item, and an
// unknown-VR value of undefined length.
dicom_builder& nested_data_set(dicom_builder& b, bool implicit) {
    auto plain = [&](std::uint16_t g, std::uint16_t e, const char* vr, const std::string& v) -> dicom_builder& {
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
    const loaded l = load(bytes);
    int containers = 0;
    for (std::size_t i = 0; i < l.cursors.size(); ++i) {
        if (!l.cursors[i].container) continue;
        ++containers;
        const dcm_container_context* ctx = dcm_find_context(l.contexts, l.cursors[i].offset);
        ASSERT_NE(ctx, nullptr) << "row " << i;
        EXPECT_EQ(ctx->level, l.levels[i]);
        std::vector<std::uint32_t> levels;
        const dcm_cursor_vector again = dcm_reparse_container(
            bytes.data(), bytes.data() + bytes.size(), l.cursors[i], *ctx, &levels);
        EXPECT_EQ(again, subtree(l, i)) << "row " << i;
        EXPECT_EQ(levels, std::vector<std::uint32_t>(l.levels.begin() + long(i),
                                                     l.levels.begin() + long(i + again.size())));
    }
    EXPECT_GE(containers, GetParam() ? 4 : 9);
}

INSTANTIATE_TEST_SUITE_P(Syntaxes, Reparse, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Implicit" : "Explicit"; });

TEST(Reparse, ExplicitStartModeWouldMisreadAnImplicitDataSet) {
    // Why the load keeps each container's mode: walking an implicit sequence as
    // explicit does not reproduce the rows.
    const std::string bytes = part10(true);
    const loaded l = load(bytes);
    std::size_t i = 0;
    while (!l.cursors[i].container) ++i;
    dcm_container_context wrong = *dcm_find_context(l.contexts, l.cursors[i].offset);
    wrong.mode = syntax_explicit_le;
    EXPECT_NE(dcm_reparse_container(bytes.data(), bytes.data() + bytes.size(), l.cursors[i], wrong),
              subtree(l, i));
}

TEST(Reparse, DeepContainersKeepTheGuardOfTheirTrueLevel) {
    dicom_builder b;
    b.preamble();
    for (int i = 0; i < 200; ++i) b.item();
    for (int i = 0; i < 200; ++i) b.item_end();
    const std::string bytes = b.bytes();
    const loaded l = load(bytes);
    for (std::size_t i : {0u, 15u, 16u, 100u, 127u}) {
        const dcm_container_context* ctx = dcm_find_context(l.contexts, l.cursors[i].offset);
        ASSERT_NE(ctx, nullptr);
        EXPECT_EQ(dcm_reparse_container(bytes.data(), bytes.data() + bytes.size(), l.cursors[i], *ctx),
                  subtree(l, i))
            << "row " << i;
    }
}

TEST(Reparse, ChangedShrunkOrForeignBytesGiveNothing) {
    const std::string bytes = part10(false);
    const loaded l = load(bytes);
    std::size_t i = 0;
    while (!l.cursors[i].container) ++i;
    const dcm_container_context ctx = *dcm_find_context(l.contexts, l.cursors[i].offset);
    const dcm_cursor& row = l.cursors[i];

    std::string changed = bytes;
    changed[row.offset + 4] = 'L';  // "SQ" becomes "LQ"
    EXPECT_TRUE(dcm_reparse_container(changed.data(), changed.data() + changed.size(), row, ctx).empty());

    for (std::size_t size : {std::size_t(0), std::size_t(row.offset), std::size_t(row.offset + 5)}) {
        EXPECT_TRUE(dcm_reparse_container(bytes.data(), bytes.data() + size, row, ctx).empty()) << size;
    }

    dcm_cursor far = row;
    far.offset = 0xFFFFFFF0u;
    EXPECT_TRUE(dcm_reparse_container(bytes.data(), bytes.data() + bytes.size(), far, ctx).empty());
    EXPECT_TRUE(dcm_reparse_container(nullptr, nullptr, row, ctx).empty());
}

TEST(Reparse, ShrunkFileKeepsOnlyTheBytesThatExist) {
    const std::string bytes = part10(false);
    const loaded l = load(bytes);
    std::size_t i = 0;
    while (!l.cursors[i].container) ++i;
    const dcm_container_context ctx = *dcm_find_context(l.contexts, l.cursors[i].offset);
    const std::size_t cut = l.cursors[i + 3].offset;  // inside the sequence
    const dcm_cursor_vector again =
        dcm_reparse_container(bytes.data(), bytes.data() + cut, l.cursors[i], ctx);
    ASSERT_EQ(again.size(), 3u);
    for (const dcm_cursor& c : again) EXPECT_LT(c.offset, cut);
}

}  // namespace

}  // namespace velk
