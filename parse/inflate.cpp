#include "parse/inflate.h"

#include <algorithm>
#include <climits>

#include <zlib.h>

namespace velk {

namespace {

// zlib counts in 32-bit unsigned ints: feed and fill at most this much at a time.
constexpr std::size_t zlib_step = std::size_t(1) << 30;

struct inflate_stream {
    z_stream z{};
    bool open = false;
    inflate_stream() { open = inflateInit2(&z, -MAX_WBITS) == Z_OK; }
    ~inflate_stream() {
        if (open) inflateEnd(&z);
    }
    inflate_stream(const inflate_stream&) = delete;
    inflate_stream& operator=(const inflate_stream&) = delete;
};

// The next size of the buffer: doubling from 64 KiB, never past the cap.
std::size_t grown(std::size_t size, std::size_t cap) {
    const std::size_t want = std::max<std::size_t>(size * 2, std::size_t(64) << 10);
    return std::min(want, cap);
}

}  // namespace

dcm_inflated dcm_inflate(const char* deflated, std::size_t n, std::size_t cap) {
    dcm_inflated result;
    inflate_stream s;
    if (!s.open) {
        result.end = dcm_inflate_end::corrupt;
        return result;
    }
    const auto* in = reinterpret_cast<const Bytef*>(deflated);
    std::size_t in_left = n;
    std::size_t used = 0;
    std::vector<char>& out = result.bytes;
    for (;;) {
        if (used == out.size()) {
            if (out.size() >= cap) {
                result.end = dcm_inflate_end::capped;
                break;
            }
            out.resize(grown(out.size(), cap));
        }
        if (s.z.avail_in == 0 && in_left > 0) {
            const std::size_t take = std::min(in_left, zlib_step);
            s.z.next_in = const_cast<Bytef*>(in);
            s.z.avail_in = static_cast<uInt>(take);
            in += take;
            in_left -= take;
        }
        const std::size_t room = std::min(out.size() - used, zlib_step);
        s.z.next_out = reinterpret_cast<Bytef*>(out.data() + used);
        s.z.avail_out = static_cast<uInt>(room);
        const int status = inflate(&s.z, Z_NO_FLUSH);
        used += room - s.z.avail_out;
        if (status == Z_STREAM_END) break;
        if (status == Z_BUF_ERROR && s.z.avail_in == 0 && in_left == 0) {
            result.end = dcm_inflate_end::truncated;
            break;
        }
        if (status != Z_OK && status != Z_BUF_ERROR) {
            result.end = dcm_inflate_end::corrupt;
            break;
        }
        if (status == Z_OK && s.z.avail_in == 0 && in_left == 0 && s.z.avail_out != 0) {
            // Everything given was consumed, output space is left, and no end came.
            result.end = dcm_inflate_end::truncated;
            break;
        }
    }
    out.resize(used);
    return result;
}

}  // namespace velk
