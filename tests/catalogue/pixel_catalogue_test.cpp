// Every catalogue file's first and last frame decoded as the viewer and
// velkdump decode them: the damaged pixel cases give a sentence, and no decode
// allocates by a size the file declares but does not hold.
#include "catalogue.h"

#include <gtest/gtest.h>

#include "allocation_meter.h"
#include "load_support.h"
#include "pixels/decode.h"
#include "present/row_model.h"

namespace velk {
namespace {

using catalogue::case_file;

class CataloguePixels : public ::testing::TestWithParam<case_file> {};

TEST_P(CataloguePixels, DecodeOrASentenceWithinTheFilesSize) {
    const std::string bytes = GetParam().make();
    if (bytes.size() > catalogue::seed_size_limit) return;  // the large files hold no pixels
    const catalogue_test::exact_copy file(bytes, bytes.size());
    dcm_row_model rows(dcm_reading::interpret);
    rows.load({file.begin(), file.end()});
    const std::size_t row =
        dcm_find_pixel_row(file.begin(), file.end(), rows.records(), rows.reading());
    if (row >= rows.size()) return;
    dcm_pixel_description d;
    std::string problem;
    if (!dcm_describe_pixels(file.begin(), file.end(), rows.records(), row, rows.reading(), d,
                             problem))
        return;
    const bool damaged = std::string(GetParam().name).rfind("pixels_", 0) == 0;
    for (const std::uint32_t frame : {0u, d.frames - 1}) {
        allocation_meter::restart();
        const dcm_decoded_frame decoded = dcm_decode_frame(d, frame);
        EXPECT_LE(allocation_meter::largest(), 3 * bytes.size() + 4096) << "frame " << frame;
        if (damaged) {
            EXPECT_FALSE(decoded.ok()) << "frame " << frame;
        }
        EXPECT_NE(decoded.ok(), decoded.frame.values.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, CataloguePixels, ::testing::ValuesIn(catalogue::all_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velk
