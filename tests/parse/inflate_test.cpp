#include "parse/inflate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <zlib.h>

using namespace velk;

namespace {

// Raw deflate, as a deflated data set holds it.
std::string deflate_raw(const std::string& text) {
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, text.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::string text_of(const dcm_inflated& i) { return std::string(i.bytes.begin(), i.bytes.end()); }

TEST(Inflate, EndsHowTheStreamEnds) {
    std::string data;
    for (int i = 0; i < 20000; ++i) data += std::to_string(i * 7919 % 10007) + ",";
    const std::string packed = deflate_raw(data);

    const dcm_inflated whole = dcm_inflate(packed.data(), packed.size());
    EXPECT_EQ(whole.end, dcm_inflate_end::complete);
    EXPECT_EQ(text_of(whole), data);

    // Cut short: what the bytes hold comes out, and the end says so.
    const dcm_inflated cut = dcm_inflate(packed.data(), packed.size() / 2);
    EXPECT_EQ(cut.end, dcm_inflate_end::truncated);
    EXPECT_GT(cut.bytes.size(), 0u);
    EXPECT_EQ(text_of(cut), data.substr(0, cut.bytes.size()));

    // Bytes after the stream's end are not data (a trailing pad byte).
    const dcm_inflated padded = dcm_inflate((packed + '\0').data(), packed.size() + 1);
    EXPECT_EQ(padded.end, dcm_inflate_end::complete);

    const std::string garbage = "\xFF\xFF\xFF\xFF garbage";
    EXPECT_EQ(dcm_inflate(garbage.data(), garbage.size()).end, dcm_inflate_end::corrupt);
    EXPECT_EQ(dcm_inflate(nullptr, 0).end, dcm_inflate_end::truncated);
}

// A bomb: 64 MiB of zeros in about 64 KiB. Under a 1 MiB cap exactly the first
// MiB comes out, in a buffer no larger than the cap.
TEST(Inflate, StopsABombAtTheCap) {
    const std::string bomb = deflate_raw(std::string(64 << 20, '\0'));
    ASSERT_LT(bomb.size(), 100000u);
    const dcm_inflated capped = dcm_inflate(bomb.data(), bomb.size(), 1 << 20);
    EXPECT_EQ(capped.end, dcm_inflate_end::capped);
    EXPECT_EQ(capped.bytes.size(), std::size_t(1) << 20);
    EXPECT_LE(capped.bytes.capacity(), std::size_t(1) << 20);
}

}  // namespace
