#include "present/dictionary_full.h"

#include <gtest/gtest.h>

#include <string>

using namespace velk;

namespace {

std::string vr_of(std::uint32_t tag) {
    const dcm_full_entry* e = dcm_full_find(tag);
    return e ? e->vr : "?";
}

std::string name_of(std::uint32_t tag) {
    const dcm_full_entry* e = dcm_full_find(tag);
    return e ? e->name : "?";
}

TEST(DictionaryFull, IsSortedForItsSearch) {
    for (std::size_t i = 1; i < dcm_full_dictionary_size; ++i) {
        ASSERT_LT(dcm_full_dictionary[i - 1].tag, dcm_full_dictionary[i].tag) << i;
    }
    EXPECT_EQ(vr_of(dcm_full_dictionary[0].tag), "UL");
    EXPECT_EQ(name_of(0xFFFEE0DD), "Sequence Delimitation Item");
    EXPECT_EQ(vr_of(0xFFFEE0DD), "");
}

// The rows an implicit VR reader needs most, and the ranges the registry gives by pattern.
TEST(DictionaryFull, KnowsListedTagsRangesAndChoices) {
    EXPECT_EQ(name_of(0x00100010), "Patient's Name");
    EXPECT_EQ(vr_of(0x300A00B0), "SQ");                // Beam Sequence
    EXPECT_EQ(vr_of(0x00404070), "SQ");                // a recent sequence
    EXPECT_EQ(vr_of(0x7FE00010), "OW");                // Pixel Data: "OB or OW"
    EXPECT_EQ(vr_of(0x00280106), "US");                // Smallest Image Pixel Value: "US or SS"
    EXPECT_EQ(vr_of(0x7FE00001), "OV");                // Extended Offset Table
    EXPECT_TRUE(dcm_full_find(0x00080010)->retired);   // Recognition Code
    EXPECT_FALSE(dcm_full_find(0x00080016)->retired);  // SOP Class UID
    // Repeating groups: every even group of the range.
    EXPECT_EQ(name_of(0x60023000), "Overlay Data");
    EXPECT_EQ(name_of(0x501E0010), "Number of Points");
    EXPECT_EQ(name_of(0x60000000), "Group Length");
    // Group lengths, private creators, and a private element nobody knows.
    EXPECT_EQ(vr_of(0x00190000), "UL");
    EXPECT_EQ(vr_of(0x00430000), "UL");
    EXPECT_EQ(vr_of(0x00290010), "LO");
    EXPECT_EQ(vr_of(0x002900FF), "LO");
    EXPECT_EQ(dcm_full_find(0x00291010), nullptr);
    EXPECT_EQ(dcm_full_find(0x60011000), nullptr);
    EXPECT_EQ(dcm_full_find(0x00080002), nullptr);
}

}  // namespace
