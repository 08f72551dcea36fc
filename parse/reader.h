// The byte reader: a forward-only walk over read-only bytes. The caller holds the
// position and, for the reading operations, a running count of bytes consumed.
// All numbers in a DICOM stream are read little endian, whatever the transfer
// syntax says.
//
// These operations do no bounds checks of their own; the header decoder asks
// dcm_fits first, which is the one place where positions meet the end of the bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velk {

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
    const auto* b = reinterpret_cast<const unsigned char*>(&*position);
    std::uint16_t v = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    position += 2;
    consumed += 2;
    return v;
}

template <class Ptr>
inline std::uint32_t read_u32(Ptr& position, std::uint32_t& consumed) {
    const auto* b = reinterpret_cast<const unsigned char*>(&*position);
    std::uint32_t v = std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) |
                      (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[3]) << 24);
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
