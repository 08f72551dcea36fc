// The decoders at the edges of each layout, from bytes built here; the real
// files are held against pydicom by tests/realfiles/pixels_pydicom.py.
#include <gtest/gtest.h>

#include <random>

#include "dicom_builder.h"
#include "pixels/decode.h"
#include "pixels/decoders.h"
#include "pixels/display.h"
#include "pixels/frame_viewer.h"
#include "tests/pixels/lossless_encoder.h"

namespace velk {
namespace {

dcm_pixel_description described(std::uint32_t rows, std::uint32_t columns,
                                std::uint32_t bits_allocated,
                                const std::vector<unsigned char>& data) {
    dcm_pixel_description d;
    d.rows = rows;
    d.columns = columns;
    d.bits_allocated = d.bits_stored = bits_allocated;
    d.high_bit = bits_allocated - 1;
    d.data = reinterpret_cast<const char*>(data.data());
    d.data_size = data.size();
    return d;
}

std::vector<std::int64_t> values_of(const dcm_frame& f) {
    std::vector<std::int64_t> v;
    for (std::size_t i = 0; i < f.count(); ++i) v.push_back(f.value(i));
    return v;
}

TEST(Native, BitsStoredBelowHighBitAreMaskedAndSignExtended) {
    // 12 bits stored in bits 13..2 of a little-endian word, signed, garbage around them.
    const std::vector<unsigned char> data = {0xFF, 0xFF, 0x03, 0xC0, 0x07, 0x20};
    dcm_pixel_description d = described(1, 3, 16, data);
    d.bits_stored = 12;
    d.high_bit = 13;
    d.is_signed = true;
    const dcm_decoded_frame f = dcm_decode_frame(d, 0);
    ASSERT_TRUE(f.ok()) << f.problem;
    EXPECT_EQ(values_of(f.frame), (std::vector<std::int64_t>{-1, 0, 0x801 - 0x1000}));
}

TEST(Native, BigEndianPlanarColourComesOutInterleaved) {
    // Two pixels of 16-bit RGB, all red then all green then all blue, big endian.
    const std::vector<unsigned char> data = {0, 1, 0, 2, 0, 3, 0, 4, 1, 5, 1, 6};
    dcm_pixel_description d = described(1, 2, 16, data);
    d.samples = 3;
    d.planar = true;
    d.order = dcm_byte_order::big;
    const dcm_decoded_frame f = dcm_decode_frame(d, 0);
    ASSERT_TRUE(f.ok()) << f.problem;
    EXPECT_EQ(values_of(f.frame), (std::vector<std::int64_t>{1, 3, 261, 2, 4, 262}));
}

TEST(Native, BitPackedFramesFollowWithoutPadding) {
    // 3 x 3 frames of one bit: frame 2 starts at bit 9, inside the second byte.
    const std::vector<unsigned char> data = {0x00, 0b10101010, 0b00000010};
    dcm_pixel_description d = described(3, 3, 1, data);
    d.frames = 2;
    const dcm_decoded_frame f = dcm_decode_frame(d, 1);
    ASSERT_TRUE(f.ok()) << f.problem;
    EXPECT_EQ(values_of(f.frame), (std::vector<std::int64_t>{1, 0, 1, 0, 1, 0, 1, 0, 1}));
    EXPECT_FALSE(dcm_decode_frame(d, 2).ok());
}

TEST(Native, Ybr422OfAnOddWidthSharesChromaInPairs) {
    const std::vector<unsigned char> data = {10, 11, 100, 200, 12, 0, 101, 201};
    dcm_pixel_description d = described(1, 3, 8, data);
    d.samples = 3;
    d.photometric = dcm_photometric::ybr_full_422;
    const dcm_decoded_frame f = dcm_decode_frame(d, 0);
    ASSERT_TRUE(f.ok()) << f.problem;
    EXPECT_EQ(values_of(f.frame),
              (std::vector<std::int64_t>{10, 100, 200, 11, 100, 200, 12, 101, 201}));
}

TEST(Native, FramesThatPromiseMoreThanTheBytesGiveASentence) {
    const std::vector<unsigned char> data(100);
    dcm_pixel_description d = described(10, 10, 8, data);
    d.frames = 3;
    EXPECT_TRUE(dcm_decode_frame(d, 0).ok());
    EXPECT_NE(dcm_decode_frame(d, 1).problem.find("holds 100"), std::string::npos);
    d.rows = d.columns = 65535;
    d.samples = 3;
    EXPECT_NE(dcm_decode_frame(d, 0).problem.find("more than velk shows"), std::string::npos);
}

// An RLE frame of 2 x 2 16-bit values: the high bytes as one literal run, the low
// bytes as a repeat.
std::vector<unsigned char> rle_frame() {
    std::vector<unsigned char> f(64);
    f[0] = 2;
    f[4] = 64;
    f[8] = 69;
    const unsigned char segments[] = {3, 1, 2, 3, 4, 0xFD, 7};
    f.insert(f.end(), std::begin(segments), std::end(segments));
    return f;
}

TEST(Rle, SegmentsAreTheValuesBytesMostSignificantFirst) {
    dcm_pixel_description d = described(2, 2, 16, {});
    dcm_frame out;
    std::string problem;
    ASSERT_TRUE(dcm_decode_rle(d, rle_frame(), out, problem)) << problem;
    EXPECT_EQ(values_of(out), (std::vector<std::int64_t>{0x107, 0x207, 0x307, 0x407}));
}

TEST(Rle, SegmentsOutsideTheirFragmentGiveASentence) {
    dcm_pixel_description d = described(2, 2, 16, {});
    dcm_frame out;
    std::string problem;
    std::vector<unsigned char> past = rle_frame();
    past[8] = 200;  // the second segment starts past the fragment's end
    EXPECT_FALSE(dcm_decode_rle(d, past, out, problem));
    EXPECT_NE(problem.find("outside"), std::string::npos);
    std::vector<unsigned char> cut = rle_frame();
    cut.resize(cut.size() - 1);  // the repeat loses its value byte
    EXPECT_FALSE(dcm_decode_rle(d, cut, out, problem));
}

struct lossless_case {
    int precision, predictor, point_transform, restart, components;
};

TEST(JpegLossless, EveryPredictorPrecisionAndPointTransformGivesTheSamplesBack) {
    const lossless_case cases[] = {
        {16, 1, 0, 0, 1}, {16, 2, 0, 0, 1}, {16, 3, 0, 0, 1}, {16, 4, 0, 0, 1},
        {16, 5, 0, 0, 1}, {16, 6, 0, 0, 1}, {16, 7, 0, 0, 1}, {12, 7, 0, 0, 1},
        {2, 4, 0, 0, 1},  {8, 6, 0, 5, 3},  {12, 1, 3, 7, 1}, {16, 5, 2, 0, 3},
    };
    std::mt19937 random(7);
    for (const lossless_case& c : cases) {
        const int rows = 9, columns = 11;
        std::vector<std::uint16_t> samples(std::size_t(rows) * columns * c.components);
        for (std::uint16_t& s : samples)
            s = static_cast<std::uint16_t>((random() % (1u << c.precision)) >>
                                           c.point_transform << c.point_transform);
        if (c.precision == 16 && c.point_transform == 0)
            samples[3] = 0, samples[4] = 0x8000;  // 32768 apart
        const std::vector<unsigned char> jpeg = test::lossless_jpeg_encoder().encode(
            samples, rows, columns, c.components,
            {c.precision, c.predictor, c.point_transform, c.restart});
        dcm_pixel_description d = described(rows, columns, c.precision > 8 ? 16 : 8, {});
        d.samples = std::uint32_t(c.components);
        dcm_frame out;
        std::string problem;
        ASSERT_TRUE(dcm_decode_jpeg_lossless(d, jpeg, out, problem))
            << problem << " precision " << c.precision << " predictor " << c.predictor;
        std::vector<std::int64_t> want(samples.begin(), samples.end());
        EXPECT_EQ(values_of(out), want)
            << "precision " << c.precision << " predictor " << c.predictor;
    }
}

TEST(JpegLossless, OtherDimensionsOrACutStreamGiveASentence) {
    const std::vector<std::uint16_t> samples(6 * 4, 100);
    const std::vector<unsigned char> jpeg =
        test::lossless_jpeg_encoder().encode(samples, 6, 4, 1, {12, 1, 0, 0});
    dcm_pixel_description d = described(4, 6, 16, {});
    dcm_frame out;
    std::string problem;
    EXPECT_FALSE(dcm_decode_jpeg_lossless(d, jpeg, out, problem));
    EXPECT_NE(problem.find("where the header gives"), std::string::npos);
    d = described(6, 4, 16, {});
    const std::vector<unsigned char> cut(jpeg.begin(), jpeg.end() - 8);
    EXPECT_FALSE(dcm_decode_jpeg_lossless(d, cut, out, problem));
}

TEST(Display, TheLinearWindowRescaleAndMonochrome1) {
    const std::vector<unsigned char> data = {0, 0, 0xFF, 0x0F, 0x00, 0x08, 0xFF, 0x07};
    dcm_pixel_description d = described(1, 4, 16, data);
    const dcm_frame f = dcm_decode_frame(d, 0).frame;
    // Center 2048, width 4096: 0 is black, 4095 white, 2047.5 the middle.
    EXPECT_EQ(dcm_display(d, f, {2048, 4096}).pixels,
              (std::vector<unsigned char>{0, 255, 128, 127}));
    // A width of 1 is a threshold at the center.
    EXPECT_EQ(dcm_display(d, f, {2048, 1}).pixels, (std::vector<unsigned char>{0, 255, 255, 0}));
    // With no window in the file, the frame's rescaled extremes are black and white.
    d.slope = 2;
    d.intercept = -1000;
    d.photometric = dcm_photometric::monochrome1;
    const dcm_window w = dcm_default_window(d, f);
    EXPECT_EQ(dcm_display(d, f, w).pixels.front(), 255);
    EXPECT_EQ(dcm_display(d, f, w).pixels[1], 0);
}

// Two frames of 2 x 2 signed values with a rescale, as the inspector shows them.
TEST(FrameViewer, FramesWindowDragAndTheValueUnderThePointer) {
    using test::le16;
    const std::string values = le16(0) + le16(100) + le16(200) + le16(300) +  // frame 1
                               le16(0xFFFF) + le16(5) + le16(6) + le16(7);    // frame 2
    const std::string file = test::dicom_builder()
                                 .preamble()
                                 .transfer_syntax(test::explicit_le_uid())
                                 .explicit_element(0x0028, 0x0002, "US", le16(1))
                                 .explicit_element(0x0028, 0x0004, "CS", "MONOCHROME2 ")
                                 .explicit_element(0x0028, 0x0008, "IS", "2 ")
                                 .explicit_element(0x0028, 0x0010, "US", le16(2))
                                 .explicit_element(0x0028, 0x0011, "US", le16(2))
                                 .explicit_element(0x0028, 0x0100, "US", le16(16))
                                 .explicit_element(0x0028, 0x0101, "US", le16(16))
                                 .explicit_element(0x0028, 0x0102, "US", le16(15))
                                 .explicit_element(0x0028, 0x0103, "US", le16(1))
                                 .explicit_element(0x0028, 0x1052, "DS", "-10 ")
                                 .explicit_element(0x0028, 0x1053, "DS", "2 ")
                                 .explicit_element(0x7FE0, 0x0010, "OW", values)
                                 .bytes();
    const dcm_bytes bytes{file.data(), file.data() + file.size()};
    dcm_frame_viewer viewer;
    ASSERT_TRUE(viewer.open(bytes, 0, false)) << viewer.problem();
    EXPECT_EQ(viewer.frames(), 2u);
    // No window in the file: the rescaled extremes, -10 and 590.
    EXPECT_EQ(viewer.image().pixels, (std::vector<unsigned char>{0, 85, 170, 255}));
    const dcm_window first = viewer.window();
    viewer.drag(10, -4);
    EXPECT_GT(viewer.window().width, first.width);
    EXPECT_LT(viewer.window().center, first.center);
    ASSERT_TRUE(viewer.show_frame(bytes, 1));
    EXPECT_EQ(viewer.pixel_text(1, 1), "column 1, row 1: -1 (-12)");
    EXPECT_EQ(viewer.pixel_text(3, 1), "");
    viewer.restore_window();
    EXPECT_EQ(viewer.image().pixels[0], 0);  // the extremes of frame 2
}

}  // namespace
}  // namespace velk
