// A load whose rows do not fit in memory: the document lists nothing (never the
// front of the file) and says why, and a document loaded before is untouched.
#include <gtest/gtest.h>

#include <string>

#include "allocation_meter.h"
#include "catalogue.h"
#include "present/row_model.h"

namespace velk {

namespace {

std::string case_bytes(const char* name) {
    for (const catalogue::case_file& c : catalogue::all_cases())
        if (std::string(c.name) == name) return c.make();
    return {};
}

TEST(OutOfMemory, ALoadThatDoesNotFitListsNothingAndLeavesOthersAlone) {
    const std::string sound = catalogue::sound_file();
    const std::string many = case_bytes("zero_length_items_1000000");
    ASSERT_FALSE(many.empty());
    dcm_row_model other, failing;
    const auto bytes = [](const std::string& b) {
        return dcm_bytes{b.data(), b.data() + b.size()};
    };
    other.load(bytes(sound));

    // Room for the load's first reserve, not for a million rows.
    allocation_meter::refuse_from(4 * 1024 * 1024);
    failing.load(bytes(many));
    allocation_meter::refuse_from(0);
    EXPECT_TRUE(failing.out_of_memory());
    EXPECT_EQ(failing.size(), 0u);
    EXPECT_EQ(other.size(), catalogue::sound_file_rows);
    EXPECT_FALSE(other.out_of_memory());

    // With memory back, the same load lists every row.
    failing.load(bytes(many));
    EXPECT_FALSE(failing.out_of_memory());
    EXPECT_GT(failing.size(), 1000000u);
}

}  // namespace

}  // namespace velk
