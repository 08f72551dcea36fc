// The VR table and the syntax registry: every row reachable by its own key and
// nothing else, since each reader of them trusts the lookup.
#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string>

#include "parse/syntax_registry.h"
#include "parse/vr_table.h"

namespace velk {
namespace {

TEST(VrTable, EveryRowIsFoundByItsOwnCodeAndNoOtherCodeFindsOne) {
    std::set<std::string> codes;
    for (const dcm_vr_info& info : dcm_vr_table) {
        EXPECT_EQ(dcm_find_vr(info.code), &info) << info.code;
        EXPECT_TRUE(codes.insert(info.code).second) << info.code << " twice";
    }
    int found = 0;
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const char vr[2] = {char(a), char(b)};
            if (dcm_find_vr(vr)) ++found;
        }
    }
    EXPECT_EQ(found, int(codes.size()));
}

TEST(VrTable, HoldsEveryCurrentCodeAndTheLegacyOnes) {
    // PS3.5 table 6.2-1.
    const char* const current[] = {"AE", "AS", "AT", "CS", "DA", "DS", "DT", "FD", "FL",
                                   "IS", "LO", "LT", "OB", "OD", "OF", "OL", "OV", "OW",
                                   "PN", "SH", "SL", "SQ", "SS", "ST", "SV", "TM", "UC",
                                   "UI", "UL", "UN", "UR", "US", "UT", "UV"};
    for (const char* code : current) {
        const dcm_vr_info* info = dcm_find_vr(code);
        ASSERT_NE(info, nullptr) << code;
        EXPECT_FALSE(info->legacy) << code;
    }
    for (const char* code : {"AI", "LS", "DL"}) {
        ASSERT_NE(dcm_find_vr(code), nullptr) << code;
        EXPECT_TRUE(dcm_find_vr(code)->legacy) << code;
    }
    EXPECT_EQ(std::size(dcm_vr_table), std::size(current) + 3);
}

TEST(VrTable, BinaryValuesHaveAUnitTheirNumberTypeFits) {
    for (const dcm_vr_info& info : dcm_vr_table) {
        const bool is_text = info.kind == dcm_vr_kind::text;
        EXPECT_EQ(is_text, info.repertoire != dcm_repertoire::none) << info.code;
        const bool nul_padded = !is_text || std::string(info.code) == "UI";
        EXPECT_EQ(info.padding, nul_padded ? '\0' : ' ') << info.code;
        if (info.kind == dcm_vr_kind::number || info.kind == dcm_vr_kind::tag) {
            EXPECT_NE(info.number, dcm_number_type::none) << info.code;
        }
        if (info.number != dcm_number_type::none) {
            EXPECT_GE(info.unit_size, 2) << info.code;
        }
    }
}

TEST(SyntaxRegistry, FindsEachUidPaddedOrNotAndNoPrefixOfOne) {
    std::set<std::string_view> uids;
    for (std::size_t i = 0; i < dcm_syntax_count; ++i) {
        const dcm_syntax_info& info = dcm_syntax_table[i];
        EXPECT_TRUE(uids.insert(info.uid).second) << info.uid << " twice";
        EXPECT_EQ(dcm_find_syntax(info.uid), &info);
        EXPECT_EQ(dcm_find_syntax(std::string(info.uid) + '\0'), &info);
        EXPECT_EQ(dcm_find_syntax(std::string(info.uid) + ' '), &info);
        EXPECT_EQ(dcm_find_syntax(info.uid.substr(0, info.uid.size() - 1)) == &info, false);
        if (info.deflated) {
            EXPECT_TRUE(info.explicit_vr) << info.uid;
        }
        if (info.compression != dcm_compression::none &&
            info.compression != dcm_compression::other) {
            EXPECT_TRUE(info.encapsulated) << info.uid;
        }
    }
    EXPECT_EQ(dcm_find_syntax(""), nullptr);
    EXPECT_EQ(dcm_find_syntax("1.2.840.10008.1.2.1.9"), nullptr);
    EXPECT_FALSE(dcm_find_syntax(uid_implicit_vr_little_endian)->explicit_vr);
    EXPECT_EQ(dcm_find_syntax(uid_explicit_vr_big_endian)->byte_order, dcm_byte_order::big);
    EXPECT_TRUE(dcm_find_syntax(uid_deflated_explicit_vr_little_endian)->deflated);
    EXPECT_EQ(dcm_find_syntax("1.2.840.10008.1.2.4.57")->compression,
              dcm_compression::jpeg_lossless);
    EXPECT_EQ(dcm_find_syntax("1.2.840.10008.1.2.4.70")->compression,
              dcm_compression::jpeg_lossless);
}

}  // namespace
}  // namespace velk
