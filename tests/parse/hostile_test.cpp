// Bounds, wrap-around and nesting: what a damaged or hostile stream can do to a walk.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "dicom_builder.h"
#include "parse/parser.h"
#include "recording_visitor.h"

namespace velk {

namespace {

using test::dicom_builder;

// Counts reports without keeping them, for streams with many elements.
struct counting_visitor {
    std::size_t elements = 0;
    unsigned depth = 0, deepest = 0;
    bool enter(const void*, std::uint32_t, std::uint32_t, dcm_syntax) {
        deepest = std::max(deepest, ++depth);
        return true;
    }
    bool leave(std::uint64_t) {
        --depth;
        return false;
    }
    dcm_visit element(const void*, dcm_syntax, std::uint32_t, const char*, bool, const void*,
                      std::uint32_t) {
        ++elements;
        return visit_descend;
    }
};

std::uint32_t walk(const std::string& bytes, test::recording_visitor& v) {
    const char* p = bytes.data();
    return dcm_parse(p, std::uint32_t(bytes.size()), v, true, syntax_explicit_le, false,
                     p + bytes.size());
}

TEST(Bounds, ValueEndingExactlyAtTheEndIsWhole) {
    const std::string bytes =
        dicom_builder().explicit_element(0x0010, 0x0010, "PN", "Doe^").bytes();
    test::recording_visitor v(bytes.data());
    EXPECT_EQ(walk(bytes, v), 12u);
    EXPECT_EQ(v.events.size(), 1u);
}

TEST(Bounds, ValuePastTheEndIsReportedAndEndsEveryLevel) {
    // An item whose element claims 100 bytes where 4 exist: the element keeps its
    // declared length, and no byte of its would-be value is read as an element.
    const std::string bytes = dicom_builder()
                                  .item()
                                  .explicit_header(0x0010, 0x0010, "PN", 100)
                                  .raw(test::le16(0xFFFE) + test::le16(0xE00D))
                                  .bytes();
    test::recording_visitor v(bytes.data());
    EXPECT_EQ(walk(bytes, v), bytes.size());
    EXPECT_EQ(v.events,
              (std::vector<std::string>{"@0 (FFFE,E000) -- undef h8 C m2", "enter undef mode 2",
                                        "@8 (0010,0010) PN 100 h8 m2", "leave 12"}));
}

TEST(Bounds, HugeLengthsNeitherWrapNorReadPastTheEnd) {
    for (std::uint32_t length : {0xFFFFFFF0u, 0xFFFFFFFEu, 0x80000000u}) {
        const std::string bytes = dicom_builder()
                                      .explicit_element(0x0008, 0x0060, "CS", "MR")
                                      .explicit_header(0x0008, 0x2111, "UT", length)
                                      .raw("abc")
                                      .bytes();
        test::recording_visitor v(bytes.data());
        EXPECT_EQ(walk(bytes, v), bytes.size()) << length;
        EXPECT_EQ(v.events.size(), 2u) << length;
    }
}

TEST(Bounds, TruncatedHeaderEndsTheLevelAfterWhatCameBefore) {
    const std::string whole = dicom_builder()
                                  .explicit_element(0x0008, 0x0060, "CS", "MR")
                                  .explicit_header(0x7FE0, 0x0010, "OB", 0)
                                  .bytes();
    for (std::size_t cut = 10; cut < whole.size(); ++cut) {
        const std::string bytes = whole.substr(0, cut);
        test::recording_visitor v(bytes.data());
        EXPECT_EQ(walk(bytes, v), 10u) << "cut at " << cut;
        EXPECT_EQ(v.events.size(), 1u) << "cut at " << cut;
    }
}

TEST(Bounds, NeverDelimitedSequenceEndsAtTheEnd) {
    const std::string bytes = dicom_builder()
                                  .sequence(0x0008, 0x1140)
                                  .item()
                                  .explicit_element(0x0008, 0x1150, "UI", "1.23")
                                  .bytes();
    test::recording_visitor v(bytes.data());
    EXPECT_EQ(walk(bytes, v), bytes.size());
    EXPECT_EQ(v.events.back(), "leave 20");
}

TEST(Bounds, ItemLongerThanItsSequenceEndsTheSequence) {
    const std::string bytes = dicom_builder()
                                  .sequence(0x0008, 0x1140, 8)
                                  .item(12)
                                  .explicit_element(0x0008, 0x1150, "UI", "1234")
                                  .explicit_element(0x0010, 0x0010, "PN", "")
                                  .bytes();
    test::recording_visitor v(bytes.data());
    walk(bytes, v);
    EXPECT_EQ(v.events.back(), "@32 (0010,0010) PN 0 h8 m2");
}

std::string nested_items(std::size_t levels) {
    dicom_builder b;
    for (std::size_t i = 0; i < levels; ++i) b.item();
    for (std::size_t i = 0; i < levels; ++i) b.item_end();
    return b.bytes();
}

TEST(Nesting, HundredThousandLevelsParseWithinTheGuard) {
    const std::string bytes = nested_items(100000);
    counting_visitor v;
    const char* p = bytes.data();
    const std::uint32_t n = dcm_parse(p, std::uint32_t(bytes.size()), v, true, syntax_explicit_le,
                                      false, p + bytes.size());
    EXPECT_EQ(n, bytes.size());
    EXPECT_EQ(v.deepest, dcm_max_nesting);
    // Items at levels 0 to the guard are listed, the one at the guard not
    // descended into; then the delimiters of the levels that were entered.
    EXPECT_EQ(v.elements, std::size_t(dcm_max_nesting) + 1 + dcm_max_nesting);
}

TEST(Nesting, GuardIsAboveWhatDeepReportsUse) {
    // Structured reports nest dozens of levels; all of them must be descended into.
    const std::string bytes = nested_items(64);
    counting_visitor v;
    const char* p = bytes.data();
    dcm_parse(p, std::uint32_t(bytes.size()), v, true, syntax_explicit_le, false, p + bytes.size());
    EXPECT_EQ(v.deepest, 64u);
    EXPECT_EQ(v.elements, 128u);
}

TEST(Nesting, SkippingHundredThousandNestedSequencesIsIterative) {
    dicom_builder b;
    for (int i = 0; i < 100000; ++i) b.sequence(0x0040, 0xA730).item();
    for (int i = 0; i < 100000; ++i) b.item_end().sequence_end();
    b.explicit_element(0x0010, 0x0010, "PN", "");
    const std::string bytes = b.bytes();
    test::recording_visitor v(bytes.data());
    v.answers[0x0040A730] = visit_skip;
    EXPECT_EQ(walk(bytes, v), bytes.size());
    EXPECT_EQ(v.events.size(), 2u);
}

// The measure's definition: a walk that answers skip to everything, written
// recursively, for streams shallow enough to recurse through.
std::uint32_t reference_measure(const char* p, dcm_syntax mode, const char* end, int depth = 0) {
    const char* start = p;
    for (;;) {
        dcm_header<const char*> h;
        std::uint64_t unused = 0;
        if (!dcm_decode_header(p, end, mode, h, unused)) break;
        p = h.value;
        if (dcm_is_delimiter(h.tag)) break;
        std::uint64_t step = h.length == undefined_length
                                 ? reference_measure(h.value, mode, end, depth + 1)
                                 : h.length;
        p += std::min<std::uint64_t>(step, dcm_bytes_left(p, end));
    }
    return std::uint32_t(p - start);
}

std::string random_stream(std::mt19937& rng) {
    dicom_builder b;
    std::uniform_int_distribution<int> pick(0, 9);
    const int count = std::uniform_int_distribution<int>(0, 40)(rng);
    for (int i = 0; i < count; ++i) {
        switch (pick(rng)) {
        case 0:
        case 1: b.item(); break;
        case 2: b.sequence(0x0008, 0x1140); break;
        case 3: b.item_end(); break;
        case 4: b.sequence_end(); break;
        case 5: b.transfer_syntax(test::implicit_le_uid()); break;
        case 6: b.transfer_syntax(test::explicit_le_uid()); break;
        case 7: b.implicit_element(0x0008, 0x0060, "MR"); break;
        case 8: b.explicit_element(0x0008, 0x0060, "CS", "MR"); break;
        default: b.raw(std::string(std::size_t(pick(rng)), char(pick(rng) * 25))); break;
        }
    }
    return b.bytes();
}

TEST(Nesting, IterativeMeasureAgreesWithTheRecursiveDefinition) {
    std::mt19937 rng(20261207);
    for (int i = 0; i < 5000; ++i) {
        const std::string bytes = random_stream(rng);
        for (dcm_syntax mode : {syntax_implicit_le, syntax_explicit_le}) {
            const char* p = bytes.data();
            const char* end = p + bytes.size();
            ASSERT_EQ(dcm_measure_undefined(p, mode, end), reference_measure(p, mode, end))
                << "case " << i << " mode " << mode;
        }
    }
}

TEST(Linearity, MillionZeroLengthItemsAreEachOneStep) {
    dicom_builder b;
    b.sequence(0x0008, 0x1140);
    for (int i = 0; i < 1000000; ++i) b.item(0);
    b.sequence_end();
    counting_visitor v;
    const std::string& bytes = b.bytes();
    const char* p = bytes.data();
    EXPECT_EQ(dcm_parse(p, std::uint32_t(bytes.size()), v, true, syntax_explicit_le, false,
                        p + bytes.size()),
              bytes.size());
    EXPECT_EQ(v.elements, 1000002u);
}

}  // namespace

}  // namespace velk
