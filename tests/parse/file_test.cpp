#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dicom_builder.h"
#include "parse/file.h"
#include "recording_visitor.h"

namespace velk {

namespace {

using events = std::vector<std::string>;
using test::dicom_builder;

events parse_file(const std::string& bytes) {
    test::recording_visitor v;
    dcm_parse_file(bytes.data(), bytes.data() + bytes.size(), v);
    return v.events;
}

std::string temp_path(const char* name) { return ::testing::TempDir() + "velk_file_test_" + name; }

TEST(Marker, OnlyAFilePrefixedByPreambleAndDicmIsParsed) {
    EXPECT_EQ(parse_file(dicom_builder().preamble().bytes()), events{"base"});
    EXPECT_TRUE(parse_file("DICM" + std::string(200, '\0')).empty());
    EXPECT_TRUE(parse_file(std::string(131, '\0')).empty());
    EXPECT_TRUE(parse_file("").empty());
    std::string lower = dicom_builder().preamble().bytes();
    lower[129] = 'i';
    EXPECT_TRUE(parse_file(lower).empty());
    EXPECT_FALSE(dcm_has_marker(nullptr, nullptr));
}

TEST(FileEntry, ImplicitTransferSyntaxSwitchesTheDataSet) {
    const std::string bytes = dicom_builder()
                                  .preamble()
                                  .explicit_element(0x0002, 0x0001, "OB", std::string("\0\1", 2))
                                  .transfer_syntax(test::implicit_le_uid())
                                  .implicit_element(0x0008, 0x0060, "MR")
                                  .implicit_element(0x0010, 0x0010, "Doe^")
                                  .bytes();
    EXPECT_EQ(parse_file(bytes),
              (events{"base", "@132 (0002,0001) OB 2 h12 m2", "@146 (0002,0010) UI 18 h8 m1",
                      "@172 (0008,0060) -- 2 h8 m1", "@182 (0010,0010) -- 4 h8 m1"}));
}

TEST(FileEntry, BigEndianIsWalkedAsExplicitLittleEndian) {
    const std::string bytes = dicom_builder()
                                  .preamble()
                                  .transfer_syntax("1.2.840.10008.1.2.2")
                                  .explicit_element(0x0008, 0x0060, "CS", "MR")
                                  .bytes();
    EXPECT_EQ(parse_file(bytes).back(), "@160 (0008,0060) CS 2 h8 m0");
}

TEST(FileEntry, MissingEmptyAndUnmarkedFilesReportNothing) {
    test::recording_visitor v;
    dcm_load_file(temp_path("does_not_exist").c_str(), v);
    const std::string empty = temp_path("empty");
    ASSERT_TRUE(dicom_builder().write(empty));
    dcm_load_file(empty.c_str(), v);
    const std::string unmarked = temp_path("unmarked");
    ASSERT_TRUE(dicom_builder().raw(std::string(300, 'x')).write(unmarked));
    dcm_load_file(unmarked.c_str(), v);
    dcm_load_file(static_cast<const char*>(nullptr), v);
    EXPECT_TRUE(v.events.empty());
    std::remove(empty.c_str());
    std::remove(unmarked.c_str());
}

TEST(FileEntry, LoadsFromDiskWithFileOffsets) {
    const std::string path = temp_path("small.dcm");
    ASSERT_TRUE(dicom_builder()
                    .preamble()
                    .explicit_element(0x0002, 0x0000, "UL", test::le32(196))
                    .explicit_element(0x0008, 0x0060, "CS", "MR")
                    .write(path));
    test::recording_visitor v;
    dcm_load_file(path.c_str(), v);
    EXPECT_EQ(v.events,
              (events{"base", "@132 (0002,0000) UL 4 h8 m2", "@144 (0008,0060) CS 2 h8 m2"}));
    std::remove(path.c_str());
}

TEST(FileEntry, TruncatedFileListsWhatCameBeforeTheBreak) {
    std::string bytes = dicom_builder()
                            .preamble()
                            .explicit_element(0x0008, 0x0060, "CS", "MR")
                            .explicit_element(0x0010, 0x0010, "PN", "Doe^John")
                            .bytes();
    bytes.resize(bytes.size() - 3);
    EXPECT_EQ(parse_file(bytes),
              (events{"base", "@132 (0008,0060) CS 2 h8 m2", "@142 (0010,0010) PN 8 h8 m2"}));
}

}  // namespace

}  // namespace velk
