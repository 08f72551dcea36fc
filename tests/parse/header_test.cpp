#include <gtest/gtest.h>

#include <string>

#include "dicom_builder.h"
#include "parse/header.h"

namespace velk {

namespace {

using test::le16;
using test::le32;

struct header_case {
    const char* name;
    std::string bytes;
    int mode;  // a dcm_syntax value
    std::uint32_t tag;
    std::string vr;  // empty: no VR
    std::uint32_t length;
    std::uint32_t header_length;
};

class HeaderDecoding : public ::testing::TestWithParam<header_case> {};

TEST_P(HeaderDecoding, DecodesTagVrLengthAndHeaderLength) {
    const header_case& c = GetParam();
    const char* p = c.bytes.data();
    dcm_syntax mode = static_cast<dcm_syntax>(c.mode);
    dcm_header<const char*> h;
    std::uint64_t consumed = 0;
    ASSERT_TRUE(dcm_decode_header(p, p + c.bytes.size(), mode, h, consumed));
    EXPECT_EQ(h.tag, c.tag);
    EXPECT_EQ(h.explicit_vr, !c.vr.empty());
    EXPECT_EQ(std::string(h.vr, 2), c.vr.empty() ? std::string(2, '\0') : c.vr);
    EXPECT_EQ(h.length, c.length);
    EXPECT_EQ(h.header_length(), c.header_length);
    EXPECT_EQ(consumed, c.header_length);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, HeaderDecoding,
    ::testing::Values(
        header_case{"ExplicitShort", le16(0x0008) + le16(0x0016) + "UI" + le16(26), 2, 0x00080016,
                    "UI", 26, 8},
        header_case{"ExplicitSequence",
                    le16(0x0008) + le16(0x1140) + "SQ" + le16(0) + le32(test::undefined), 2,
                    0x00081140, "SQ", 0xFFFFFFFF, 12},
        header_case{"OtherFloatIsLongForm", le16(0x0028) + le16(0x0001) + "OF" + le16(0) + le32(4),
                    2, 0x00280001, "OF", 4, 12},
        header_case{"ItemHasNoVrInExplicitMode",
                    le16(0xFFFE) + le16(0xE000) + le32(test::undefined), 2, 0xFFFEE000, "",
                    0xFFFFFFFF, 8},
        header_case{"DelimiterHasNoVr", le16(0xFFFE) + le16(0xE0DD) + le32(0), 0, 0xFFFEE0DD, "", 0,
                    8},
        header_case{"ImplicitModeKeepsGroup2Explicit",
                    le16(0x0002) + le16(0x0001) + "OB" + le16(0) + le32(2), 1, 0x00020001, "OB", 2,
                    12},
        header_case{"ImplicitModeDataSet", le16(0x0008) + le16(0x0016) + le32(26), 1, 0x00080016,
                    "", 26, 8},
        header_case{"ImplicitModeGroup0Explicit", le16(0x0000) + le16(0x0000) + "UL" + le16(4), 1,
                    0, "UL", 4, 8},
        header_case{"ImplicitModeGroup1Explicit", le16(0x0001) + le16(0x0010) + "LO" + le16(2), 1,
                    0x00010010, "LO", 2, 8},
        header_case{"ShortLengthFFFFIsNotUndefined",
                    le16(0x0008) + le16(0x0020) + "DA" + le16(0xFFFF), 2, 0x00080020, "DA", 65535,
                    8},
        header_case{"LowerCaseSqIsShortForm", le16(0x0008) + le16(0x1140) + "sq" + le16(6), 2,
                    0x00081140, "sq", 6, 8},
        header_case{"UnknownVrBytesAreShortForm",
                    le16(0x0009) + le16(0x0010) + std::string("\x80\xFF", 2) + le16(2), 0,
                    0x00090010, "\x80\xFF", 2, 8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HeaderBounds, HeaderThatDoesNotFitIsNotRead) {
    const std::string explicit_long = le16(0x7FE0) + le16(0x0010) + "OB" + le16(0) + le32(0);
    for (std::size_t size : {0u, 1u, 7u, 8u, 11u}) {
        dcm_syntax mode = syntax_explicit_le;
        dcm_header<const char*> h;
        std::uint64_t consumed = 0;
        const char* p = explicit_long.data();
        EXPECT_FALSE(dcm_decode_header(p, p + size, mode, h, consumed)) << "size " << size;
        EXPECT_EQ(consumed, 0u);
    }
}

struct syntax_case {
    const char* name;
    std::string value;
    dcm_syntax mode;
};

class TransferSyntax : public ::testing::TestWithParam<syntax_case> {};

TEST_P(TransferSyntax, Classifies) {
    const syntax_case& c = GetParam();
    EXPECT_EQ(dcm_classify_syntax(c.value.data(), std::uint32_t(c.value.size())), c.mode);
}

INSTANTIATE_TEST_SUITE_P(
    Uids, TransferSyntax,
    ::testing::Values(syntax_case{"ImplicitWithNulPad", std::string("1.2.840.10008.1.2\0", 18),
                                  syntax_implicit_le},
                      syntax_case{"ImplicitUnpadded", "1.2.840.10008.1.2", syntax_implicit_le},
                      syntax_case{"ExplicitWithNulPad", std::string("1.2.840.10008.1.2.1\0", 20),
                                  syntax_explicit_le},
                      syntax_case{"JpegBaseline", "1.2.840.10008.1.2.4.50", syntax_other},
                      syntax_case{"ExplicitBigEndian", "1.2.840.10008.1.2.2", syntax_other},
                      syntax_case{"BlankPadIsNotAccepted", "1.2.840.10008.1.2 ", syntax_other},
                      syntax_case{"Empty", "", syntax_other},
                      syntax_case{"Longest254BytesStillCompared",
                                  std::string("1.2.840.10008.1.2") + std::string(237, '\0'),
                                  syntax_implicit_le},
                      syntax_case{"TooLongForTheBuffer",
                                  std::string("1.2.840.10008.1.2") + std::string(238, '\0'),
                                  syntax_other},
                      syntax_case{"ThreeHundredBytes", std::string(300, '1'), syntax_other}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TransferSyntaxSwitch, DecodingTheUidSetsTheMode) {
    const std::string uid("1.2.840.10008.1.2\0", 18);
    const std::string bytes = le16(0x0002) + le16(0x0010) + "UI" + le16(18) + uid;
    dcm_syntax mode = syntax_explicit_le;
    dcm_header<const char*> h;
    std::uint64_t consumed = 0;
    ASSERT_TRUE(dcm_decode_header(bytes.data(), bytes.data() + bytes.size(), mode, h, consumed));
    EXPECT_EQ(mode, syntax_implicit_le);
}

TEST(TransferSyntaxSwitch, UidRunningPastTheEndIsNotRecognised) {
    const std::string uid("1.2.840.10008.1.2\0", 18);
    const std::string bytes = le16(0x0002) + le16(0x0010) + "UI" + le16(18) + uid;
    dcm_syntax mode = syntax_explicit_le;
    dcm_header<const char*> h;
    std::uint64_t consumed = 0;
    // Cut one byte from the value: the UID would still compare equal, but its
    // declared bytes do not all exist.
    ASSERT_TRUE(
        dcm_decode_header(bytes.data(), bytes.data() + bytes.size() - 1, mode, h, consumed));
    EXPECT_EQ(mode, syntax_other);
}

}  // namespace

}  // namespace velk
