// The byte reader: numbers of either byte order from unaligned bytes, and a
// forward-only walk over read-only bytes for the header decoder. The walk's
// caller holds the position and, for the reading operations, a running count of
// bytes consumed. parse/ and present/ both decode numbers through dcm_load.
//
// The walking operations do no bounds checks of their own; the header decoder asks
// dcm_fits first, which is the one place where positions meet the end of the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace velk {

// The order of a number's bytes in the file. The walk reads little endian; a
// big-endian reading passes the other order.
enum class dcm_byte_order : std::uint8_t { little, big };

// The number of type T (an integer or floating type of 1 to 8 bytes) stored at p
// in byte order `order`, without alignment.
template <class T, dcm_byte_order order = dcm_byte_order::little>
inline T dcm_load(const void* p) {
    static_assert(sizeof(T) <= 8, "at most eight bytes");
    const auto* b = static_cast<const unsigned char*>(p);
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        const std::size_t shift = order == dcm_byte_order::little ? i : sizeof(T) - 1 - i;
        v |= std::uint64_t(b[i]) << (8 * shift);
    }
    if constexpr (std::is_floating_point_v<T>) {
        using bits_t = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;
        const bits_t bits = static_cast<bits_t>(v);
        T f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    } else {
        return static_cast<T>(static_cast<std::make_unsigned_t<T>>(v));
    }
}

// The tag stored at p, its group and then its element in byte order `order`:
// the group in the high half, as the dictionaries key it.
inline std::uint32_t dcm_load_tag(const void* p, dcm_byte_order order) {
    const auto* b = static_cast<const unsigned char*>(p);
    if (order == dcm_byte_order::big)
        return (std::uint32_t(dcm_load<std::uint16_t, dcm_byte_order::big>(b)) << 16) |
               dcm_load<std::uint16_t, dcm_byte_order::big>(b + 2);
    return (std::uint32_t(dcm_load<std::uint16_t>(b)) << 16) | dcm_load<std::uint16_t>(b + 2);
}

// True when n bytes starting at p lie before end. Written so that it cannot
// overflow whatever n is.
template <class Ptr>
inline bool dcm_fits(Ptr p, Ptr end, std::uint64_t n) {
    return p <= end && n <= static_cast<std::uint64_t>(end - p);
}

// Bytes left between p and end (0 when p is at or past end).
template <class Ptr>
inline std::uint64_t dcm_bytes_left(Ptr p, Ptr end) {
    return p < end ? static_cast<std::uint64_t>(end - p) : 0;
}

template <class Ptr>
inline void advance(Ptr& position, std::uint32_t n) {
    position += n;
}

template <class Src, class Dst>
inline void copy_bytes(Src source, std::uint32_t n, Dst destination) {
    for (std::uint32_t i = 0; i < n; ++i) destination[i] = source[i];
}

template <class Ptr>
inline std::uint16_t read_u16(Ptr& position, std::uint32_t& consumed) {
    const std::uint16_t v = dcm_load<std::uint16_t>(&*position);
    position += 2;
    consumed += 2;
    return v;
}

template <class Ptr>
inline std::uint32_t read_u32(Ptr& position, std::uint32_t& consumed) {
    const std::uint32_t v = dcm_load<std::uint32_t>(&*position);
    position += 4;
    consumed += 4;
    return v;
}

template <class Ptr>
inline std::uint32_t skip_read_u32(std::uint32_t n, Ptr& position, std::uint32_t& consumed) {
    position += n;
    consumed += n;
    return read_u32(position, consumed);
}

}  // namespace velk
