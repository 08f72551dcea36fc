// Fuzz target: native pixel data in every layout. The input's first bytes
// describe the frames (fuzz_pixels.h), the rest is the Pixel Data's value; the
// first and the last frame are decoded.
#include "fuzz_pixels.h"

using namespace velk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::exact_input input(data, size);
    if (input.size() < fuzz::pixel_header) return 0;
    const dcm_pixel_description d = fuzz::pixel_description(input);
    for (const std::uint32_t index : {0u, d.frames - 1}) {
        dcm_frame frame;
        std::string problem;
        const bool ok = dcm_decode_native(d, index, frame, problem);
        fuzz::check_decoded(d, ok, frame, problem);
    }
    return 0;
}
