// Fuzz target: inflating a deflated data set. The input is a raw deflate stream
// (libFuzzer's mutations of the seeds soon give bombs, cut streams and streams
// that end early). The inflated bytes never pass the cap, and inflating the same
// input under a smaller cap gives a prefix of the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_support.h"
#include "parse/inflate.h"

using namespace velk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::exact_input input(data, size);
    constexpr std::size_t cap = std::size_t(1) << 20;
    const dcm_inflated whole = dcm_inflate(input.begin(), input.size(), cap);
    fuzz::require(whole.bytes.size() <= cap, "the inflated bytes stay under the cap");
    fuzz::require(whole.end != dcm_inflate_end::capped || whole.bytes.size() == cap,
                  "a capped stream keeps all that fits");
    const std::size_t small = 4096;
    const dcm_inflated part = dcm_inflate(input.begin(), input.size(), small);
    fuzz::require(part.bytes.size() == std::min(small, whole.bytes.size()) &&
                      std::equal(part.bytes.begin(), part.bytes.end(), whole.bytes.begin()),
                  "a smaller cap keeps a prefix of the same bytes");
    return 0;
}
