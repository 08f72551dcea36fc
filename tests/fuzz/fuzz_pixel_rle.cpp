// Fuzz target: RLE Lossless: a frame's header and segments. The input's first bytes
// describe the frame (fuzz_pixels.h), the rest is its compressed bytes.
#include "fuzz_pixels.h"

using namespace velk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz::decode_input(data, size, dcm_decode_rle);
}
