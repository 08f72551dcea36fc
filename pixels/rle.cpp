// RLE Lossless (PS3.5 Annex G): a frame is a 64-byte header (the number of
// segments and up to fifteen segment offsets, little endian) and the segments,
// each one byte of every value of one sample, most significant byte first, in
// a PackBits run-length code.
#include "pixels/decoders.h"

#include "parse/reader.h"

namespace velk {

namespace {

constexpr std::size_t rle_header_size = 64;
constexpr std::uint32_t rle_max_segments = 15;

// Decodes one segment into every `stride`-th byte of `out` from `first`, for
// `count` bytes; a segment shorter than that leaves the rest zero, and a longer
// one is cut. False when a run reads past the segment's end.
bool decode_segment(const unsigned char* p, const unsigned char* end, unsigned char* out,
                    std::size_t count, std::size_t stride) {
    std::size_t n = 0;
    while (p < end && n < count) {
        const int header = static_cast<signed char>(*p++);
        if (header >= 0) {
            const std::size_t run = std::size_t(header) + 1;
            if (!dcm_fits(p, end, run)) return false;
            for (std::size_t i = 0; i < run && n < count; ++i, ++n) out[n * stride] = p[i];
            p += run;
        } else if (header != -128) {
            if (p >= end) return false;
            const unsigned char v = *p++;
            const std::size_t run = std::size_t(1 - header);
            for (std::size_t i = 0; i < run && n < count; ++i, ++n) out[n * stride] = v;
        }
    }
    return true;
}

}  // namespace

bool dcm_decode_rle(const dcm_pixel_description& d, const std::vector<unsigned char>& bytes,
                    dcm_frame& out, std::string& problem) {
    if (d.bits_allocated == 1) {
        problem = "RLE with Bits Allocated 1 is not decoded";
        return false;
    }
    if (!dcm_frame_layout(d, out, problem)) return false;
    if (bytes.size() < rle_header_size) {
        problem = "the RLE frame is shorter than its 64-byte header";
        return false;
    }
    const std::uint32_t size = out.value_size;
    const std::uint32_t segments = dcm_load<std::uint32_t>(bytes.data());
    if (segments != size * out.samples || segments > rle_max_segments) {
        problem = "the RLE header gives " + std::to_string(segments) + " segments where " +
                  std::to_string(size * out.samples) + " are needed";
        return false;
    }
    const std::size_t pixels = std::size_t(out.rows) * out.columns;
    const unsigned char* begin = bytes.data();
    for (std::uint32_t k = 0; k < segments; ++k) {
        const std::uint32_t from = dcm_load<std::uint32_t>(begin + 4 + 4 * k);
        const std::uint32_t to = k + 1 < segments ? dcm_load<std::uint32_t>(begin + 8 + 4 * k)
                                                  : std::uint32_t(bytes.size());
        if (from < rle_header_size || from > to || to > bytes.size()) {
            problem = "RLE segment " + std::to_string(k + 1) + " lies outside its fragment";
            return false;
        }
        // Segment k holds byte (k mod size) of sample (k / size), most significant
        // first; the machine's values are little endian.
        const std::uint32_t sample = k / size;
        const std::uint32_t byte = size - 1 - k % size;
        unsigned char* target = out.values.data() + std::size_t(sample) * size + byte;
        if (!decode_segment(begin + from, begin + to, target, pixels,
                            std::size_t(out.samples) * size)) {
            problem = "RLE segment " + std::to_string(k + 1) + " runs past its end";
            return false;
        }
    }
    dcm_mask_values(d, out);
    return true;
}

}  // namespace velk
