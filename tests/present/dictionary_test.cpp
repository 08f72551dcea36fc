#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>

#include "present/dictionary.h"

namespace velk {

namespace {

std::uint32_t key(const dcm_dictionary_entry& e) { return dcm_dictionary_key(e.group, e.element); }

bool ends_with(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(DictionaryTable, KeysAreUniqueAndAscendingButForOneSwappedPair) {
    std::set<std::uint32_t> seen;
    for (std::size_t i = 0; i < dcm_dictionary_size; ++i) {
        EXPECT_TRUE(seen.insert(key(dcm_dictionary[i])).second) << "row " << i;
        if (i == 0) continue;
        const std::uint32_t prev = key(dcm_dictionary[i - 1]), cur = key(dcm_dictionary[i]);
        if (prev == 0x00082129u) {
            EXPECT_EQ(cur, 0x00082128u);  // "Number of Event Timers" stands before "View Number"
        } else if (cur != 0x00082128u) {
            EXPECT_LT(prev, cur) << "row " << i;
        }
    }
}

TEST(DictionaryTable, RowsPerGroupAsListed) {
    const std::map<std::uint16_t, int> expected = {
        {0x0000, 34}, {0x0002, 10}, {0x0004, 17}, {0x0008, 81}, {0x0010, 34}, {0x0018, 184},
        {0x0020, 50}, {0x0028, 51}, {0x0032, 26}, {0x0038, 22}, {0x0088, 3},  {0x2000, 8},
        {0x2010, 16}, {0x2020, 8},  {0x2030, 3},  {0x2040, 9},  {0x2100, 7},  {0x2110, 4},
        {0x4000, 3},  {0x4008, 28}, {0x5000, 23}, {0x6000, 24}, {0x7FE0, 2},  {0xFFFE, 3}};
    std::map<std::uint16_t, int> counted;
    for (const auto& e : dcm_dictionary) ++counted[e.group];
    EXPECT_EQ(counted, expected);
}

TEST(DictionaryTable, CountsByVr) {
    const std::map<std::string, int> expected = {
        {"US", 88}, {"LO", 75}, {"DS", 74}, {"CS", 68}, {"IS", 63}, {"SH", 55},
        {"UL", 51}, {"SQ", 36}, {"TM", 29}, {"DA", 25}, {"UI", 23}, {"PN", 14},
        {"AE", 10}, {"ST", 8},  {"LT", 8},  {"FD", 7},  {"OB", 5},  {"AT", 3},
        {"DL", 3},  {"SL", 2},  {"AS", 1},  {"SS", 1},  {"OW", 1}};
    std::map<std::string, int> counted;
    for (const auto& e : dcm_dictionary) ++counted[e.vr];
    EXPECT_EQ(counted, expected);
}

TEST(DictionaryTable, NamesArePrintableAsciiOfAtMost53Characters) {
    for (const auto& e : dcm_dictionary) {
        const std::string name = e.name;
        EXPECT_FALSE(name.empty());
        EXPECT_LE(name.size(), 53u) << name;
        for (char ch : name) EXPECT_TRUE(ch >= 0x20 && ch < 0x7F) << name;
        EXPECT_EQ(std::strlen(e.vr), 2u) << name;
    }
}

TEST(DictionaryTable, Exactly53RetiredRowsAndEveryGroupLengthNamedAfterItsGroup) {
    int retired = 0;
    for (const auto& e : dcm_dictionary) {
        const std::string name = e.name;
        const bool is_retired = ends_with(name, " (RET)") || name == "Source Image ID (RET)s";
        retired += is_retired;
        EXPECT_EQ(name.find("(RET)"), is_retired ? name.rfind("(RET)") : std::string::npos) << name;
        if (e.element == 0 && e.group != 0xFFFE) {
            char expected[32];
            std::snprintf(expected, sizeof expected, "Group %04X Length%s", e.group,
                          e.group == 0x4000 ? " (RET)" : "");
            EXPECT_EQ(name, expected);
            EXPECT_STREQ(e.vr, "UL");
        }
    }
    EXPECT_EQ(retired, 53);
}

struct quoted_row {
    std::uint32_t tag;
    const char* vr;
    const char* name;
};

class DictionaryQuoted : public testing::TestWithParam<quoted_row> {};

TEST_P(DictionaryQuoted, IsFoundWithItsExactText) {
    const char* vr = nullptr;
    const char* name = nullptr;
    ASSERT_TRUE(dcm_dictionary_find(GetParam().tag, &vr, &name));
    EXPECT_STREQ(vr, GetParam().vr);
    EXPECT_STREQ(name, GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DictionaryQuoted,
    testing::Values(
        quoted_row{0x00000000, "UL", "Group 0000 Length"},
        quoted_row{0x7FE00000, "UL", "Group 7FE0 Length"},
        quoted_row{0x40000000, "UL", "Group 4000 Length (RET)"},
        quoted_row{0x00000001, "UL", "Group 0000 Length to End (RET)"},
        quoted_row{0x00080001, "UL", "Group 0008 Length to End (RET)"},
        quoted_row{0x00084000, "SH", "Group 0008 Comments (RET)"},
        quoted_row{0x00184000, "SH", "Group 0018 Comments (RET)"},
        quoted_row{0x00284000, "SH", "Group 0028 Comments (RET)"},
        quoted_row{0x40004000, "LT", "Group 4000 Comments (RET)"},
        quoted_row{0x40084000, "SH", "Group 4008 Comments"},
        quoted_row{0x60004000, "SH", "Group 6000 Comments (RET)"},
        quoted_row{0xFFFEE000, "DL", "Item"},
        quoted_row{0xFFFEE00D, "DL", "Item Delimitation Item"},
        quoted_row{0xFFFEE0DD, "DL", "Sequence Delimitation Item"},
        quoted_row{0x00000120, "US", "Message Id being Responded to"},
        quoted_row{0x00020010, "UI", "Transfer Syntax UID"},
        quoted_row{0x00100010, "PN", "Patient's Name"},
        quoted_row{0x00181030, "LO", "Protocol Name"}, quoted_row{0x00181130, "DS", "Table Height"},
        quoted_row{0x00181251, "SH", "Transmitting Coil"},
        quoted_row{0x00181260, "SH", "Screen Type"},
        quoted_row{0x00186028, "FD", "Reference Pixel Physical Value X"},
        quoted_row{0x00203100, "SH", "Source Image ID (RET)s"},
        quoted_row{0x00280009, "AT", "Frame Increment Pointer"},
        quoted_row{0x60003000, "OW", "Overlay Data"}, quoted_row{0x7FE00010, "OB", "Pixel Data"},
        quoted_row{0x00080023, "DA", "Image Date"}, quoted_row{0x00080033, "TM", "Image Time"},
        quoted_row{0x00200013, "IS", "Image Number"},
        quoted_row{0x00082129, "IS", "Number of Event Timers"},
        quoted_row{0x00082128, "IS", "View Number"}, quoted_row{0x00080060, "CS", "Modality"},
        quoted_row{0x00200010, "SH", "Study ID"}));

class DictionaryMissing : public testing::TestWithParam<std::uint32_t> {};

TEST_P(DictionaryMissing, IsNotFoundAndLeavesTheOutputsAlone) {
    const char* vr = "xx";
    const char* name = "untouched";
    EXPECT_FALSE(dcm_dictionary_find(GetParam(), &vr, &name));
    EXPECT_STREQ(vr, "xx");
    EXPECT_STREQ(name, "untouched");
}

INSTANTIATE_TEST_SUITE_P(Tags, DictionaryMissing,
                         testing::Values(0x00400000u,  // group length of a group without rows
                                         0x00090010u,  // private
                                         0x60023000u,  // second overlay group
                                         0x50103000u,  // second curve group
                                         0x00100002u,  // halves of (0002,0010) swapped
                                         0xFFFFFFFFu, 0x00000004u, 0xFFFEE0DEu));

TEST(DictionaryFind, GroupAndElementHalvesAreNotInterchangeable) {
    const char* name = nullptr;
    ASSERT_TRUE(dcm_dictionary_find(0x00100020u, nullptr, &name));
    EXPECT_STREQ(name, "Patient ID");
    ASSERT_TRUE(dcm_dictionary_find(0x00200010u, nullptr, &name));
    EXPECT_STREQ(name, "Study ID");
}

// The index must answer what a plain first-match scan in table order answers,
// for every row and for its neighbours (which mostly are no row at all).
TEST(DictionaryIndex, AgreesWithAPlainScanInTableOrder) {
    auto plain = [](std::uint32_t tag) {
        for (std::size_t i = 0; i < dcm_dictionary_size; ++i)
            if (key(dcm_dictionary[i]) == tag) return i;
        return dcm_dictionary_size;
    };
    for (const auto& e : dcm_dictionary) {
        for (std::uint32_t delta : {0u, 1u, 0xFFFFFFFFu, 0x10000u}) {
            const std::uint32_t tag = key(e) + delta;
            ASSERT_EQ(dcm_dictionary_index(tag), plain(tag)) << std::hex << tag;
        }
    }
}

}  // namespace

}  // namespace velk
