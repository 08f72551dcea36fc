#include "pixels/display.h"

#include <algorithm>
#include <cmath>

namespace velk {

namespace {

// The linear VOI function (PS3.3 C.11.2.1.2.1) to 0..255.
unsigned char windowed(double x, const dcm_window& w) {
    const double width = std::max(w.width, 1.0);
    const double low = w.center - 0.5 - (width - 1) / 2;
    const double high = w.center - 0.5 + (width - 1) / 2;
    if (x <= low) return 0;
    if (x > high) return 255;
    const double y = ((x - (w.center - 0.5)) / (width - 1) + 0.5) * 255;
    return static_cast<unsigned char>(std::clamp(y + 0.5, 0.0, 255.0));
}

unsigned char clamp_byte(double v) {
    return static_cast<unsigned char>(std::clamp(v + 0.5, 0.0, 255.0));
}

void show_grey(const dcm_pixel_description& d, const dcm_frame& frame, const dcm_window& w,
               dcm_display_image& image) {
    const bool invert = d.photometric == dcm_photometric::monochrome1;
    const std::size_t n = frame.count();
    image.pixels.resize(n);
    const auto shown = [&](std::int64_t v) {
        const unsigned char g = windowed(dcm_rescaled(d, v), w);
        return invert ? static_cast<unsigned char>(255 - g) : g;
    };
    if (frame.value_size <= 2) {
        // One look-up per value: a table of every value the width can hold.
        const std::int64_t low =
            frame.is_signed ? -(std::int64_t(1) << (8 * frame.value_size - 1)) : 0;
        const std::size_t size = std::size_t(1) << (8 * frame.value_size);
        std::vector<unsigned char> table(size);
        for (std::size_t i = 0; i < size; ++i) table[i] = shown(low + std::int64_t(i));
        unsigned char* out = image.pixels.data();
        frame.for_each_value([&](std::size_t i, std::int64_t v) {
            out[i] = table[static_cast<std::size_t>(v - low)];
        });
        return;
    }
    frame.for_each_value([&](std::size_t i, std::int64_t v) { image.pixels[i] = shown(v); });
}

void show_palette(const dcm_pixel_description& d, const dcm_frame& frame,
                  dcm_display_image& image) {
    const std::size_t n = frame.count();
    image.channels = 3;
    image.pixels.resize(3 * n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::int64_t v = frame.value(i);
        for (int c = 0; c < 3; ++c) {
            const dcm_palette_lut& lut = d.palette[c];
            unsigned char out = 0;
            if (!lut.data.empty()) {
                const std::int64_t index = std::clamp<std::int64_t>(
                    v - lut.first_mapped, 0, std::int64_t(lut.data.size()) - 1);
                out = static_cast<unsigned char>(lut.data[static_cast<std::size_t>(index)] >> 8);
            }
            image.pixels[3 * i + std::size_t(c)] = out;
        }
    }
}

void show_colour(const dcm_pixel_description& d, const dcm_frame& frame, dcm_display_image& image) {
    const std::size_t n = std::size_t(frame.rows) * frame.columns;
    image.channels = 3;
    image.pixels.resize(3 * n);
    const int shift = std::max(0, int(d.bits_stored) - 8);
    const bool ybr = d.photometric == dcm_photometric::ybr_full ||
                     d.photometric == dcm_photometric::ybr_full_422 || frame.ycbcr;
    for (std::size_t i = 0; i < n; ++i) {
        double s[3];
        for (int c = 0; c < 3; ++c) s[c] = double(frame.value(3 * i + std::size_t(c)) >> shift);
        unsigned char* out = &image.pixels[3 * i];
        if (ybr) {
            // Full-range YCbCr to RGB (PS3.3 C.7.6.3.1.2).
            out[0] = clamp_byte(s[0] + 1.402 * (s[2] - 128));
            out[1] = clamp_byte(s[0] - 0.344136 * (s[1] - 128) - 0.714136 * (s[2] - 128));
            out[2] = clamp_byte(s[0] + 1.772 * (s[1] - 128));
        } else {
            for (int c = 0; c < 3; ++c) out[c] = clamp_byte(s[c]);
        }
    }
}

}  // namespace

bool dcm_is_windowed(const dcm_pixel_description& d) {
    return d.samples == 1 && d.photometric != dcm_photometric::palette_color;
}

dcm_window dcm_default_window(const dcm_pixel_description& d, const dcm_frame& frame) {
    if (d.has_window) return {d.window_center, d.window_width};
    const std::size_t n = frame.count();
    if (n == 0) return {};
    std::int64_t least = frame.value(0), most = least;
    frame.for_each_value([&](std::size_t, std::int64_t v) {
        least = std::min(least, v);
        most = std::max(most, v);
    });
    // A negative slope turns the order round.
    const double a = dcm_rescaled(d, least), b = dcm_rescaled(d, most);
    const double low = std::min(a, b), high = std::max(a, b);
    // The window whose lowest value shows black and highest white.
    return {(low + high + 1) / 2, high - low + 1};
}

dcm_display_image dcm_display(const dcm_pixel_description& d, const dcm_frame& frame,
                              const dcm_window& window) {
    dcm_display_image image;
    image.rows = frame.rows;
    image.columns = frame.columns;
    if (frame.count() == 0) return image;
    if (d.photometric == dcm_photometric::palette_color && d.samples == 1)
        show_palette(d, frame, image);
    else if (frame.samples == 3)
        show_colour(d, frame, image);
    else
        show_grey(d, frame, window, image);
    return image;
}

}  // namespace velk
