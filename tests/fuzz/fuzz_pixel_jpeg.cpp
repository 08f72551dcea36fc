// Fuzz target: JPEG baseline and extended through stb_image. The input's first bytes
// describe the frame (fuzz_pixels.h), the rest is its compressed bytes.
#include "fuzz_pixels.h"

using namespace velk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::decode_input(data, size, dcm_decode_jpeg_8bit);
}
