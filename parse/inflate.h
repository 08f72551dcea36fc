// Inflating a Deflated Explicit VR Little Endian data set (PS3.5 section 10, the
// transfer syntax 1.2.840.10008.1.2.1.99): the data set after the file meta group
// is one raw deflate stream (RFC 1951, no zlib or gzip wrapper).
#pragma once

#include <cstddef>
#include <vector>

namespace velk {

// The most bytes one data set inflates to. A deflate stream can grow a thousand
// times (a few hundred kilobytes can claim gigabytes), and the inflated bytes stay
// in memory for as long as the document is open, beside the element rows; element
// offsets are 32-bit as well. 256 MiB is far above any deflated data set seen in
// practice (deflate is used for structured reports and small objects, not for
// pixel data) and leaves room for many open documents.
constexpr std::size_t dcm_inflate_cap = std::size_t(256) << 20;

enum class dcm_inflate_end {
    complete,   // the stream ended where the deflate data says it ends
    truncated,  // the bytes ran out before the stream's end
    capped,     // the inflated bytes reached the cap; what fits is kept
    corrupt,    // the stream is not valid deflate data; what came before is kept
};

struct dcm_inflated {
    std::vector<char> bytes;
    dcm_inflate_end end = dcm_inflate_end::complete;
};

// Inflates the n bytes at deflated, keeping at most `cap` inflated bytes and never
// holding more memory than the cap for them.
dcm_inflated dcm_inflate(const char* deflated, std::size_t n, std::size_t cap = dcm_inflate_cap);

}  // namespace velk
