// Native pixel data: frame after frame, each value in Bits Allocated bits, in the
// data set's byte order; Bits Allocated 1 packs eight values a byte, the first in
// the lowest bit. YBR_FULL_422 holds two luminance values and one pair of
// chrominance values for each two pixels of a row (PS3.3 C.7.6.3.1.2).
#include <algorithm>
#include <cstring>

#include "pixels/decoders.h"

namespace velk {

namespace {

struct value_mask {
    unsigned shift;
    std::uint32_t mask;
    std::uint32_t sign;  // the stored sign bit, or 0 when unsigned

    std::uint32_t apply(std::uint32_t raw) const {
        std::uint32_t v = (raw >> shift) & mask;
        if (sign && (v & sign)) v |= ~mask;
        return v;
    }
};

value_mask mask_of(const dcm_pixel_description& d) {
    const unsigned bits = d.bits_stored;
    value_mask m;
    m.shift = d.high_bit + 1 - bits;
    m.mask = bits >= 32 ? 0xFFFFFFFFu : (std::uint32_t(1) << bits) - 1;
    m.sign = d.is_signed && d.bits_allocated > 1 ? std::uint32_t(1) << (bits - 1) : 0;
    return m;
}

template <class T>
T swapped(T v) {
    T r = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        r = static_cast<T>((r << 8) | ((v >> (8 * i)) & 0xFF));
    return r;
}

std::uint32_t load_value(const unsigned char* p, unsigned size, dcm_byte_order order) {
    switch (size) {
    case 1: return *p;
    case 2:
        return order == dcm_byte_order::big ? dcm_load<std::uint16_t, dcm_byte_order::big>(p)
                                            : dcm_load<std::uint16_t>(p);
    default:
        return order == dcm_byte_order::big ? dcm_load<std::uint32_t, dcm_byte_order::big>(p)
                                            : dcm_load<std::uint32_t>(p);
    }
}

// n values of type T from `data` in byte order `order`, masked, to `out` in
// the machine's order.
template <class T>
void copy_values(const unsigned char* data, std::size_t n, dcm_byte_order order,
                 const value_mask& m, unsigned char* out) {
    const bool whole = m.shift == 0 && !m.sign && T(m.mask) == T(~T(0));
    for (std::size_t i = 0; i < n; ++i) {
        T v;
        std::memcpy(&v, data + sizeof(T) * i, sizeof(T));
        if (order == dcm_byte_order::big) v = swapped(v);
        if (!whole) v = static_cast<T>(m.apply(v));
        std::memcpy(out + sizeof(T) * i, &v, sizeof(T));
    }
}

bool is_422(const dcm_pixel_description& d) {
    return d.photometric == dcm_photometric::ybr_full_422 && d.samples == 3 && !d.planar;
}

// The bytes one frame takes.
std::uint64_t frame_bytes(const dcm_pixel_description& d, std::uint64_t values) {
    if (d.bits_allocated == 1) return (values + 7) / 8;
    // Four values for each two pixels, the last pair's second pixel perhaps absent.
    if (is_422(d)) values = (values / 3 + 1) / 2 * 4;
    return values * (d.bits_allocated / 8);
}

void unpack_bits(const unsigned char* data, std::uint64_t first_bit, dcm_frame& out) {
    for (std::size_t i = 0, n = out.count(); i < n; ++i) {
        const std::uint64_t bit = first_bit + i;
        out.values[i] = (data[bit / 8] >> (bit % 8)) & 1u;
    }
}

void expand_422(const dcm_pixel_description& d, const unsigned char* data, dcm_frame& out) {
    const unsigned size = d.bits_allocated / 8;
    const value_mask m = mask_of(d);
    const std::size_t pixels = std::size_t(out.rows) * out.columns;
    std::size_t at = 0;
    for (std::size_t p = 0; p < pixels; p += 2) {
        const std::uint32_t y0 = m.apply(load_value(data + size * at, size, d.order));
        const std::uint32_t y1 = m.apply(load_value(data + size * (at + 1), size, d.order));
        const std::uint32_t cb = m.apply(load_value(data + size * (at + 2), size, d.order));
        const std::uint32_t cr = m.apply(load_value(data + size * (at + 3), size, d.order));
        at += 4;
        out.set(3 * p, y0), out.set(3 * p + 1, cb), out.set(3 * p + 2, cr);
        if (p + 1 < pixels) out.set(3 * p + 3, y1), out.set(3 * p + 4, cb), out.set(3 * p + 5, cr);
    }
}

}  // namespace

bool dcm_frame_within_cap(const dcm_pixel_description& d, std::string& problem) {
    const std::uint64_t count = std::uint64_t(d.rows) * d.columns * d.samples;
    if (count > dcm_frame_sample_cap) {
        problem = "a frame of " + std::to_string(d.rows) + " x " + std::to_string(d.columns) +
                  " x " + std::to_string(d.samples) + " values is more than velk shows (" +
                  std::to_string(dcm_frame_sample_cap) + ")";
        return false;
    }
    return true;
}

bool dcm_frame_layout(const dcm_pixel_description& d, dcm_frame& out, std::string& problem) {
    if (!dcm_frame_within_cap(d, problem)) return false;
    out.rows = d.rows;
    out.columns = d.columns;
    out.samples = d.samples;
    out.value_size = d.bits_allocated <= 8 ? 1 : d.bits_allocated / 8;
    out.is_signed = d.is_signed && d.bits_allocated > 1;
    try {
        out.allocate();
    } catch (const std::bad_alloc&) {
        problem = "the frame does not fit in memory";
        return false;
    }
    return true;
}

void dcm_mask_values(const dcm_pixel_description& d, dcm_frame& frame) {
    const value_mask m = mask_of(d);
    if (m.shift == 0 && !m.sign &&
        m.mask == (frame.value_size == 4 ? 0xFFFFFFFFu : (1u << (8 * frame.value_size)) - 1))
        return;
    for (std::size_t i = 0, n = frame.count(); i < n; ++i)
        frame.set(i, m.apply(static_cast<std::uint32_t>(frame.value(i))));
}

bool dcm_decode_native(const dcm_pixel_description& d, std::uint32_t index, dcm_frame& out,
                       std::string& problem) {
    // The size and the bytes are checked before anything is allocated for
    // them; within the cap, none of the products below can overflow.
    if (!dcm_frame_within_cap(d, problem)) return false;
    const std::uint64_t values = std::uint64_t(d.rows) * d.columns * d.samples;
    const std::uint64_t need = frame_bytes(d, values);
    // Bit-packed frames follow each other without padding: frame n starts at bit n x values.
    const std::uint64_t first_bit = d.bits_allocated == 1 ? std::uint64_t(index) * values : 0;
    const std::uint64_t start = d.bits_allocated == 1 ? first_bit / 8 : std::uint64_t(index) * need;
    const std::uint64_t span = d.bits_allocated == 1 ? (first_bit % 8 + values + 7) / 8 : need;
    if (start > d.data_size || span > d.data_size - start) {
        problem = "frame " + std::to_string(index + 1) + " needs " + std::to_string(span) +
                  " bytes from byte " + std::to_string(start) + " of the Pixel Data, which holds " +
                  std::to_string(d.data_size);
        return false;
    }
    if (!dcm_frame_layout(d, out, problem)) return false;
    const auto* data = reinterpret_cast<const unsigned char*>(d.data) + start;
    if (d.bits_allocated == 1) {
        unpack_bits(data, first_bit % 8, out);
        return true;
    }
    if (is_422(d)) {
        expand_422(d, data, out);
        return true;
    }
    const unsigned size = d.bits_allocated / 8;
    const value_mask m = mask_of(d);
    const std::size_t pixels = std::size_t(out.rows) * out.columns;
    const std::size_t samples = out.samples;
    if (!d.planar || samples == 1) {
        // Values in the order they are held: one pass the compiler can widen.
        switch (size) {
        case 1: copy_values<std::uint8_t>(data, out.count(), d.order, m, out.values.data()); break;
        case 2: copy_values<std::uint16_t>(data, out.count(), d.order, m, out.values.data()); break;
        default:
            copy_values<std::uint32_t>(data, out.count(), d.order, m, out.values.data());
            break;
        }
        return true;
    }
    for (std::size_t s = 0; s < samples; ++s) {
        for (std::size_t p = 0; p < pixels; ++p) {
            const std::size_t from = d.planar ? s * pixels + p : p * samples + s;
            out.set(p * samples + s, m.apply(load_value(data + size * from, size, d.order)));
        }
    }
    return true;
}

}  // namespace velk
