// What the pixel decoders' fuzz targets share: a frame's description taken from
// the input's first eight bytes (size up to 64 x 64, bits, samples, sign,
// planar, byte order, photometric), the rest being the frame's bytes; and the
// checks every decode must pass.
#pragma once

#include "fuzz_support.h"
#include "pixels/decoders.h"
#include "pixels/display.h"

namespace velk::fuzz {

constexpr std::size_t pixel_header = 8;

inline dcm_pixel_description pixel_description(const exact_input& input) {
    dcm_pixel_description d;
    if (input.size() < pixel_header) return d;
    const auto* b = reinterpret_cast<const unsigned char*>(input.begin());
    static const std::uint32_t allocated[] = {1, 8, 16, 32};
    d.rows = 1 + b[0] % 64;
    d.columns = 1 + b[1] % 64;
    d.bits_allocated = allocated[b[2] % 4];
    d.bits_stored = 1 + b[3] % d.bits_allocated;
    d.high_bit = d.bits_stored - 1 + b[4] % (d.bits_allocated - d.bits_stored + 1);
    d.samples = b[5] & 1 ? 3 : 1;
    d.is_signed = b[5] & 2;
    d.planar = b[5] & 4;
    d.order = b[5] & 8 ? dcm_byte_order::big : dcm_byte_order::little;
    d.photometric = static_cast<dcm_photometric>(b[6] % 7);
    d.frames = 1 + b[7] % 4;
    d.data = input.begin() + pixel_header;
    d.data_size = input.size() - pixel_header;
    return d;
}

inline std::vector<unsigned char> frame_bytes(const exact_input& input) {
    return {input.begin() + pixel_header, input.end()};
}

// A decode either gives a frame of the described size or a sentence, and a
// frame it gives can be shown.
inline void check_decoded(const dcm_pixel_description& d, bool ok, const dcm_frame& f,
                          const std::string& problem) {
    require(ok == problem.empty(), "a sentence exactly when there is no frame");
    if (!ok) return;
    require(
        f.rows == d.rows && f.columns == d.columns && f.values.size() == f.count() * f.value_size,
        "a frame of the described size");
    const dcm_display_image image = dcm_display(d, f, dcm_default_window(d, f));
    require(image.pixels.size() == std::size_t(image.rows) * image.columns * image.channels,
            "an image of the frame's size");
}

// One input through one decoder: the frame the input's first bytes describe,
// decoded from the rest, and whatever the decoder answers held to check_decoded.
inline int decode_input(const std::uint8_t* data, std::size_t size,
                        bool (*decode)(const dcm_pixel_description&,
                                       const std::vector<unsigned char>&, dcm_frame&,
                                       std::string&)) {
    const exact_input input(data, size);
    if (input.size() < pixel_header) return 0;
    const dcm_pixel_description d = pixel_description(input);
    const std::vector<unsigned char> bytes = frame_bytes(input);
    dcm_frame frame;
    std::string problem;
    const bool ok = decode(d, bytes, frame, problem);
    check_decoded(d, ok, frame, problem);
    return 0;
}

}  // namespace velk::fuzz
