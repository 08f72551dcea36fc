// A decoded frame: the stored values of one frame of Pixel Data, before any
// display transform, in the order rows, columns, samples (colour samples of a
// pixel side by side, whatever the file's planar configuration). Each value is
// held in the width its Bits Allocated gives (1 and 8 bits: one byte, 16: two,
// 32: four), signed when the Pixel Representation says so, in the machine's
// byte order (little endian on every build here).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace velk {

// The most samples (rows x columns x samples per pixel) one frame may hold,
// whatever its header declares: 2^28, a 16384 x 16384 RGB frame, 1 GiB at four
// bytes a value. A larger declaration gives a sentence, not an allocation.
constexpr std::uint64_t dcm_frame_sample_cap = std::uint64_t(1) << 28;

struct dcm_frame {
    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    std::uint32_t samples = 1;     // per pixel: 1 or 3
    std::uint32_t value_size = 1;  // bytes per value: 1, 2 or 4
    bool is_signed = false;
    // Three samples that are YCbCr whatever the Photometric Interpretation says:
    // a JPEG that says so itself. Shown as YBR_FULL.
    bool ycbcr = false;
    std::vector<unsigned char> values;

    std::size_t count() const { return std::size_t(rows) * columns * samples; }

    // Sizes the values for rows x columns x samples of value_size bytes, zeroed.
    void allocate() { values.assign(count() * value_size, 0); }

    std::int64_t value(std::size_t i) const {
        const unsigned char* p = values.data() + i * value_size;
        switch (value_size) {
        case 1: return is_signed ? std::int64_t(std::int8_t(*p)) : std::int64_t(*p);
        case 2: {
            std::uint16_t v;
            std::memcpy(&v, p, 2);
            return is_signed ? std::int64_t(std::int16_t(v)) : std::int64_t(v);
        }
        default: {
            std::uint32_t v;
            std::memcpy(&v, p, 4);
            return is_signed ? std::int64_t(std::int32_t(v)) : std::int64_t(v);
        }
        }
    }

    // Calls f(i, value) for every value, the type chosen once for all of them.
    template <class F>
    void for_each_value(F f) const {
        switch (value_size * 2 + (is_signed ? 1 : 0)) {
        case 2: return each_as<std::uint8_t>(f);
        case 3: return each_as<std::int8_t>(f);
        case 4: return each_as<std::uint16_t>(f);
        case 5: return each_as<std::int16_t>(f);
        case 8: return each_as<std::uint32_t>(f);
        default: return each_as<std::int32_t>(f);
        }
    }

    // Stores the low value_size bytes of v at index i.
    void set(std::size_t i, std::uint32_t v) {
        unsigned char* p = values.data() + i * value_size;
        switch (value_size) {
        case 1: *p = static_cast<unsigned char>(v); break;
        case 2: {
            const auto w = static_cast<std::uint16_t>(v);
            std::memcpy(p, &w, 2);
            break;
        }
        default: std::memcpy(p, &v, 4); break;
        }
    }

private:
    template <class T, class F>
    void each_as(F f) const {
        const unsigned char* p = values.data();
        for (std::size_t i = 0, n = count(); i < n; ++i) {
            T v;
            std::memcpy(&v, p + sizeof(T) * i, sizeof(T));
            f(i, static_cast<std::int64_t>(v));
        }
    }
};

// What a decode gives: a frame, or a sentence saying why there is none.
struct dcm_decoded_frame {
    dcm_frame frame;
    std::string problem;  // empty when the frame decoded

    bool ok() const { return problem.empty(); }
};

}  // namespace velk
