#include <gtest/gtest.h>

#include <string>

#include "present/syntax_name.h"

namespace velk {

namespace {

// A UI value is padded to an even length with a NUL (some writers use a space);
// the padding is not part of the UID.
TEST(TransferSyntaxName, IgnoresPaddingAndKnowsNoPrefixOfAKnownUid) {
    EXPECT_STREQ(dcm_transfer_syntax_name(std::string("1.2.840.10008.1.2.1\0", 20)), "Explicit VR Little Endian");
    EXPECT_STREQ(dcm_transfer_syntax_name("1.2.840.10008.1.2 "), "Implicit VR Little Endian");
    EXPECT_EQ(dcm_transfer_syntax_name("1.2.840.10008.1.2.1.9"), nullptr);
    EXPECT_EQ(dcm_transfer_syntax_name(""), nullptr);
}

}  // namespace

}  // namespace velk
