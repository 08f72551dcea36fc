// The document of a document window: it reads its file, folds, lists the file
// again in the other reading with the same containers folded, checks each load
// once and whole, and tells its listeners of every change in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "dicom_builder.h"
#include "parse/mapping.h"
#include "parse/reader.h"
#include "parse/tags.h"
#include "view/document.h"

namespace velk {

namespace {

using test::dicom_builder;

TEST(Document, LoadsFoldsRelistsAndChecksTellingItsListeners) {
    dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    b.explicit_element(0x0008, 0x0020, "DA", "20040119");
    b.sequence(0x0008, 0x1140).item();  // rows 2 and 3
    b.explicit_element(0x0008, 0x1150, "UI", "1.02").item_end().sequence_end();
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "velk-document-test.dcm";
    std::ofstream(path, std::ios::binary) << b.bytes();

    dcm_document document;
    std::vector<dcm_document_change> told;
    document.listen([&told](dcm_document_change change) { told.push_back(change); });
    EXPECT_EQ(document.file(), nullptr);
    document.reload();  // nothing to read again yet
    document.load(path.c_str());
    const std::size_t all = document.rows().size();
    document.collapse(2);
    const std::size_t folded = document.rows().size();
    ASSERT_LT(folded, all);

    document.set_reading(dcm_reading::interpret);
    EXPECT_EQ(document.rows().reading().kind(), dcm_reading::interpret);
    EXPECT_EQ(document.rows().size(), folded);
    EXPECT_EQ(document.rows().collapsed(), std::set<int>{2});

    // The check reads the rows the collapse hides too, once per load.
    EXPECT_FALSE(document.check(document.load_count() - 1));
    EXPECT_TRUE(document.check(document.load_count()));
    EXPECT_FALSE(document.check(document.load_count()));
    const std::vector<dcm_finding>& found = document.problems().findings().list;
    EXPECT_TRUE(std::any_of(found.begin(), found.end(),
                            [](const dcm_finding& f) { return f.tag == 0x00081150; }));

    // A listener is told until its own document forgets it.
    int later = 0;
    const std::size_t token = document.listen([&later](dcm_document_change) { ++later; });
    dcm_document().forget(token);
    document.reload();
    document.forget(token);
    document.reload();
    EXPECT_EQ(later, 1);
    EXPECT_EQ(document.rows().size(), all);
    EXPECT_TRUE(document.problems().empty());
    using change = dcm_document_change;
    EXPECT_EQ(told, (std::vector<change>{change::loaded, change::folded, change::relisted,
                                         change::checked, change::loaded, change::loaded}));
    std::filesystem::remove(path);
}

// The document holds the frame its inspector shows: frame 1 of the Pixel Data
// shown, from the bytes the inspector mapped, then another read from its file.
TEST(Document, HoldsTheFrameOfItsPixelData) {
    const std::filesystem::path path = VELK_PYDICOM_DATA "/test_files/SC_rgb_rle_2frame.dcm";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no pydicom data folder";
    dcm_document document;
    document.load(path.c_str());
    const dcm_row_model& rows = document.rows();
    {
        const dcm_file_mapping file(path.c_str());
        std::size_t row = 0;
        while (row < rows.size() && dcm_load_tag(file.begin() + rows.record(row).offset,
                                                 rows.record(row).byte_order()) != tag_pixel_data)
            ++row;
        ASSERT_LT(row, rows.size());
        document.show_pixels(dcm_bytes::of(file), rows.record(row).offset, false);
    }
    ASSERT_TRUE(document.frame().has_image()) << document.frame().problem();
    EXPECT_EQ(document.frame().frames(), 2u);
    document.show_frame(1);
    EXPECT_EQ(document.frame().frame(), 1u);
    EXPECT_TRUE(document.frame().has_image());
}

}  // namespace

}  // namespace velk
