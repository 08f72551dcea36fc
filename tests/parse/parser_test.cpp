#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dicom_builder.h"
#include "parse/parser.h"
#include "recording_visitor.h"

namespace velk {

namespace {

using events = std::vector<std::string>;
using test::dicom_builder;

struct walk {
    std::uint32_t consumed;
    events seen;
};

walk parse(const std::string& bytes, test::recording_visitor& v, bool recurse = true,
           dcm_syntax mode = syntax_explicit_le, bool stop_after_one = false,
           std::uint32_t length = 0xFFFFFFFEu) {
    const char* p = bytes.data();
    if (length == 0xFFFFFFFEu) length = std::uint32_t(bytes.size());
    const std::uint32_t n =
        dcm_parse(p, length, v, recurse, mode, stop_after_one, p + bytes.size());
    return {n, v.events};
}

walk parse(const std::string& bytes, bool recurse = true, dcm_syntax mode = syntax_explicit_le) {
    test::recording_visitor v(bytes.data());
    return parse(bytes, v, recurse, mode);
}

// The standard example of one undefined-length sequence holding one item.
std::string sequence_with_one_item() {
    return dicom_builder()
        .sequence(0x0008, 0x1140)
        .item()
        .explicit_element(0x0008, 0x1150, "UI", "1.23")
        .item_end()
        .sequence_end()
        .explicit_element(0x0010, 0x0010, "PN", "Doe^")
        .bytes();
}

TEST(Parser, WalksTheNestedExampleAndCountsEveryByte) {
    const walk w = parse(sequence_with_one_item());
    EXPECT_EQ(w.consumed, 60u);
    EXPECT_EQ(w.seen, (events{
                          "@0 (0008,1140) SQ undef h12 C m2",
                          "enter undef mode 2",
                          "@12 (FFFE,E000) -- undef h8 C m2",
                          "enter undef mode 2",
                          "@20 (0008,1150) UI 4 h8 m2",
                          "@32 (FFFE,E00D) -- 0 h8 m2",
                          "leave 20",
                          "@40 (FFFE,E0DD) -- 0 h8 m2",
                          "leave 36",
                          "@48 (0010,0010) PN 4 h8 m2",
                      }));
}

TEST(Parser, SkippedUndefinedSequenceIsMeasuredSilently) {
    const std::string bytes = sequence_with_one_item();
    test::recording_visitor v(bytes.data());
    v.answers[0x00081140] = visit_skip;
    const walk w = parse(bytes, v);
    EXPECT_EQ(w.consumed, 60u);
    EXPECT_EQ(w.seen, (events{"@0 (0008,1140) SQ undef h12 C m2", "@48 (0010,0010) PN 4 h8 m2"}));
}

TEST(Parser, StopEndsOnlyTheCurrentLevel) {
    const std::string bytes = sequence_with_one_item();
    test::recording_visitor v(bytes.data());
    v.answers[0x00081150] = visit_stop;
    const walk w = parse(bytes, v);
    // The item level stops after the UI element's header; the sequence level goes
    // on from there and reads the UI value as the next element.
    EXPECT_EQ(w.seen[4], "@20 (0008,1150) UI 4 h8 m2");
    EXPECT_EQ(w.seen[5], "leave 8");
}

TEST(Parser, StopAfterOneReturnsAfterTheFirstContainer) {
    const std::string bytes = sequence_with_one_item();
    test::recording_visitor v(bytes.data());
    const walk w = parse(bytes, v, true, syntax_explicit_le, true);
    EXPECT_EQ(w.consumed, 12u);
    EXPECT_EQ(w.seen.back(), "leave 36");
}

TEST(Parser, StopAfterOneGoesOnPastPlainElements) {
    const std::string bytes = dicom_builder()
                                  .explicit_element(0x0008, 0x0060, "CS", "MR")
                                  .sequence(0x0008, 0x1140)
                                  .sequence_end()
                                  .explicit_element(0x0010, 0x0010, "PN", "Doe^")
                                  .bytes();
    test::recording_visitor v;
    const walk w = parse(bytes, v, true, syntax_explicit_le, true);
    EXPECT_EQ(w.consumed, 10u + 12u);
    EXPECT_EQ(w.seen.back(), "leave 8");
}

TEST(Parser, ZeroLengthLevelReportsNothing) {
    test::recording_visitor v;
    const walk w = parse(sequence_with_one_item(), v, true, syntax_explicit_le, false, 0);
    EXPECT_EQ(w.consumed, 0u);
    EXPECT_TRUE(w.seen.empty());
}

TEST(Parser, ContainerDecision) {
    const std::string empty_sq = dicom_builder().sequence(0x0008, 0x1140, 0).bytes();
    EXPECT_EQ(parse(empty_sq).seen, events{"@0 (0008,1140) SQ 0 h12 m2"});

    const std::string defined_sq = dicom_builder().sequence(0x0008, 0x1140, 8).item(0).bytes();
    EXPECT_EQ(parse(defined_sq, false).seen, events{"@0 (0008,1140) SQ 8 h12 m2"})
        << "without recurse a defined-length sequence is stepped over";
    EXPECT_EQ(parse(defined_sq, true).seen,
              (events{"@0 (0008,1140) SQ 8 h12 C m2", "enter 8 mode 2",
                      "@12 (FFFE,E000) -- 0 h8 m2", "leave 8"}));

    const std::string undefined_sq =
        dicom_builder().sequence(0x0008, 0x1140).sequence_end().bytes();
    EXPECT_EQ(parse(undefined_sq, false).seen.front(), "@0 (0008,1140) SQ undef h12 C m2")
        << "an undefined length is a container whatever the recurse flag";
}

TEST(Parser, ImplicitDefinedSequenceIsSteppedOverUnread) {
    const std::string bytes = dicom_builder()
                                  .implicit_header(0x0008, 0x1140, 16)
                                  .item(8)
                                  .implicit_element(0x0008, 0x1150, "")
                                  .implicit_element(0x0010, 0x0010, "Doe^")
                                  .bytes();
    EXPECT_EQ(parse(bytes, true, syntax_implicit_le).seen,
              (events{"@0 (0008,1140) -- 16 h8 m1", "@24 (0010,0010) -- 4 h8 m1"}));
}

TEST(Parser, EncapsulatedPixelDataListsFragmentsWithoutDescent) {
    const std::string bytes =
        dicom_builder()
            .explicit_header(0x7FE0, 0x0010, "OB", test::undefined)
            .item(0)
            .item(4)
            .raw(test::le16(0xFFFE) + test::le16(0xE000))  // looks like an item
            .sequence_end()
            .explicit_element(0xFFFC, 0xFFFC, "OB", "")
            .bytes();
    const walk w = parse(bytes);
    EXPECT_EQ(w.seen,
              (events{"@0 (7FE0,0010) OB undef h12 C m2", "enter undef mode 2",
                      "@12 (FFFE,E000) -- 0 h8 m2", "@20 (FFFE,E000) -- 4 h8 m2",
                      "@32 (FFFE,E0DD) -- 0 h8 m2", "leave 28", "@40 (FFFC,FFFC) OB 0 h12 m2"}));
    EXPECT_EQ(w.consumed, bytes.size());
}

TEST(Parser, UnknownUndefinedLengthIsDescendedWithTheCallersRecurseFlag) {
    const std::string bytes = dicom_builder()
                                  .explicit_header(0x0009, 0x1010, "UN", test::undefined)
                                  .sequence(0x0009, 0x1011, 8)
                                  .item(0)
                                  .sequence_end()
                                  .bytes();
    EXPECT_EQ(parse(bytes).seen[2], "@12 (0009,1011) SQ 8 h12 C m2");
    EXPECT_EQ(parse(bytes, false).seen[2], "@12 (0009,1011) SQ 8 h12 m2");
}

TEST(Parser, NestedTransferSyntaxChangesOnlyItsOwnLevel) {
    const std::string bytes = dicom_builder()
                                  .item()
                                  .transfer_syntax(test::implicit_le_uid())
                                  .implicit_element(0x0008, 0x0060, "MR")
                                  .item_end()
                                  .explicit_element(0x0008, 0x0060, "CS", "MR")
                                  .bytes();
    const walk w = parse(bytes);
    EXPECT_EQ(w.seen[2], "@8 (0002,0010) UI 18 h8 m1") << "the new mode applies to its own report";
    EXPECT_EQ(w.seen[3], "@34 (0008,0060) -- 2 h8 m1");
    EXPECT_EQ(w.seen.back(), "@52 (0008,0060) CS 2 h8 m2");
}

TEST(Parser, DelimiterValueIsNeverSteppedOver) {
    // A delimiter with length 4 ends its level after its header; the four bytes
    // after it are read as the next element of the enclosing level.
    const std::string bytes =
        dicom_builder().item().item_end(4).explicit_element(0x0010, 0x0010, "PN", "").bytes();
    const walk w = parse(bytes);
    EXPECT_EQ(w.seen,
              (events{"@0 (FFFE,E000) -- undef h8 C m2", "enter undef mode 2",
                      "@8 (FFFE,E00D) -- 4 h8 m2", "leave 8", "@16 (0010,0010) PN 0 h8 m2"}));
}

TEST(Parser, TopLevelDelimiterEndsTheWalk) {
    const std::string bytes =
        dicom_builder().sequence_end().explicit_element(0x0010, 0x0010, "PN", "").bytes();
    const walk w = parse(bytes);
    EXPECT_EQ(w.seen, events{"@0 (FFFE,E0DD) -- 0 h8 m2"});
    EXPECT_EQ(w.consumed, 8u);
}

// An element that starts where a record's offset cannot reach ends the walk with
// that reason, at every level, rather than wrap its offset around. The bytes sit
// just below the limit as offsets count: the base is put that far before them.
TEST(Parser, AnElementPastTheOffsetLimitEndsTheWalkWithItsReason) {
    const std::string bytes = dicom_builder()
                                  .explicit_element(0x0008, 0x0060, "CS", "MR")
                                  .sequence(0x0008, 0x1140)
                                  .item()
                                  .explicit_element(0x0008, 0x1150, "UI", "1.23")
                                  .item_end()
                                  .sequence_end()
                                  .explicit_element(0x0010, 0x0010, "PN", "Doe^")
                                  .bytes();
    const std::uint64_t first_past = 10 + 12 + 8;  // the item's first element
    const char* data = bytes.data();
    const auto* base = reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(data) -
                                                     (dcm_record_offset_limit - first_past));
    std::vector<dcm_record> records;
    dcm_record_insert visitor(records, 0, true, syntax_explicit_le);
    visitor.set_base(base);
    dcm_walk_log log{base, {}};
    dcm_parse(data, dcm_to_the_end, visitor, true, syntax_explicit_le, false, data + bytes.size(),
              0, &log);
    EXPECT_EQ(log.result.status, dcm_walk_status::offset_too_large);
    EXPECT_EQ(log.result.tag, 0x00081150u);
    EXPECT_EQ(log.result.offset, dcm_record_offset_limit);
    ASSERT_EQ(records.size(), 3u);  // the modality, the sequence and its item
    EXPECT_EQ(records.back().offset, dcm_record_offset_limit - 8);
}

}  // namespace

}  // namespace velk
