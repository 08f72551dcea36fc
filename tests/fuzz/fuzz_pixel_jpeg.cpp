// Fuzz target: JPEG baseline and extended through stb_image. The input's first bytes
// describe the frame (fuzz_pixels.h), the rest is its compressed bytes.
#include "fuzz_pixels.h"

using namespace velk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::exact_input input(data, size);
    if (input.size() < fuzz::pixel_header) return 0;
    const dcm_pixel_description d = fuzz::pixel_description(input);
    const std::vector<unsigned char> bytes = fuzz::frame_bytes(input);
    dcm_frame frame;
    std::string problem;
    const bool ok = dcm_decode_jpeg_8bit(d, bytes, frame, problem);
    fuzz::check_decoded(d, ok, frame, problem);
    return 0;
}
