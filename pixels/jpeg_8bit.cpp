// JPEG baseline and extended with 8-bit samples, through stb_image. The values
// are the components as the JPEG holds them: a three-component frame is not
// turned from YCbCr to RGB here (the Photometric Interpretation says what they
// are, and the display turns YBR to RGB), so its components are renamed R, G
// and B for stb_image, which then leaves them alone.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "pixels/decoders.h"

// stb_image's code is compiled here once, for JPEG only, reading from memory.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include <stb/stb_image.h>

namespace velk {

namespace {

std::uint16_t be16(const unsigned char* p) { return std::uint16_t((p[0] << 8) | p[1]); }

// The next marker from p: past entropy-coded bytes, stuffed zeros and restart
// markers. Returns the position of its 0xFF, or end.
unsigned char* next_marker(unsigned char* p, unsigned char* end) {
    for (; p + 1 < end; ++p) {
        if (p[0] != 0xFF) continue;
        const unsigned char m = p[1];
        if (m != 0x00 && m != 0xFF && !(m >= 0xD0 && m <= 0xD7)) return p;
    }
    return end;
}

// Whether every Huffman table segment is sound: each of its tables of a known
// class and slot, with at most 256 codes, wholly inside the segment. stb_image
// 2.27 writes past its tables for a segment of more codes, and reads table
// segments wherever it finds their marker (it passes over stray bytes between
// segments), so every 0xFF 0xC4 in the frame is checked: inside entropy-coded
// data a 0xFF is always followed by 0x00 or a restart number.
bool huffman_tables_sound(const std::vector<unsigned char>& bytes) {
    if (bytes.empty()) return true;
    const unsigned char* const end = bytes.data() + bytes.size();
    for (const unsigned char* p = bytes.data(); p + 1 < end; ++p) {
        if (p[0] != 0xFF || p[1] != 0xC4) continue;
        if (end - p < 4) return false;
        const std::size_t length = be16(p + 2);
        if (length < 2 || std::size_t(end - p - 2) < length) return false;
        const unsigned char* table = p + 4;
        const unsigned char* const last = p + 2 + length;
        while (table < last) {
            if (last - table < 17 || (table[0] >> 4) > 1 || (table[0] & 15) > 3) return false;
            std::size_t codes = 0;
            for (int i = 1; i <= 16; ++i) codes += table[i];
            if (codes > 256 || std::size_t(last - table - 17) < codes) return false;
            table += 17 + codes;
        }
    }
    return true;
}

// Renames the three components 'R', 'G', 'B' in the frame header and every
// scan header, so that stb_image copies them as they are. Answers whether the
// JPEG says its components are YCbCr: a JFIF marker, an Adobe marker with a
// colour transform, or, with neither, components numbered 1, 2, 3.
bool name_components_rgb(std::vector<unsigned char>& bytes) {
    bool jfif = false, adobe = false, adobe_transform = false, numbered = false;
    if (bytes.size() < 4) return false;
    unsigned char ids[3] = {0, 0, 0};
    const unsigned char names[3] = {'R', 'G', 'B'};
    const auto rename = [&](unsigned char& id) {
        for (int i = 0; i < 3; ++i)
            if (id == ids[i]) {
                id = names[i];
                return;
            }
    };
    unsigned char* p = bytes.data() + 2;
    unsigned char* const end = bytes.data() + bytes.size();
    while (end - p >= 4 && p[0] == 0xFF) {
        const unsigned char marker = p[1];
        if (marker == 0xD9) break;
        const std::size_t length = be16(p + 2);
        if (length < 2 || std::size_t(end - p - 2) < length) break;
        unsigned char* body = p + 4;
        const std::size_t n = length - 2;
        const bool frame_header =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (marker == 0xE0 && n >= 5 && std::equal(body, body + 5, "JFIF")) jfif = true;
        if (marker == 0xEE && n >= 12 && std::equal(body, body + 5, "Adobe")) {
            adobe = true;
            adobe_transform = body[11] != 0;
        }
        if (frame_header && n >= 15 && body[5] == 3) {
            numbered = body[6] == 1 && body[9] == 2 && body[12] == 3;
            for (int i = 0; i < 3; ++i) {
                ids[i] = body[6 + 3 * i];
                body[6 + 3 * i] = names[i];
            }
        }
        p += 2 + length;
        if (marker == 0xDA) {
            for (std::size_t i = 0; n > 0 && i < body[0] && 1 + 2 * i < n; ++i)
                rename(body[1 + 2 * i]);
            p = next_marker(p, end);
        }
    }
    return jfif || (adobe ? adobe_transform : numbered);
}

struct stb_free {
    void operator()(unsigned char* p) const { stbi_image_free(p); }
};

}  // namespace

bool dcm_decode_jpeg_8bit(const dcm_pixel_description& d, const std::vector<unsigned char>& bytes,
                          dcm_frame& out, std::string& problem) {
    if (d.bits_stored > 8) {
        problem = "the pixel data is " + std::to_string(d.bits_stored) +
                  "-bit lossy JPEG, which velk does not decode";
        return false;
    }
    if (!dcm_frame_layout(d, out, problem)) return false;
    if (bytes.size() > INT32_MAX) {
        problem = "the JPEG frame is too large";
        return false;
    }
    if (!huffman_tables_sound(bytes)) {
        problem = "the JPEG frame holds a damaged Huffman table";
        return false;
    }
    std::vector<unsigned char> renamed;
    if (d.samples == 3) {
        renamed = bytes;
        out.ycbcr = name_components_rgb(renamed);
    }
    const std::vector<unsigned char>& jpeg = d.samples == 3 ? renamed : bytes;
    int width = 0, height = 0, components = 0;
    if (!stbi_info_from_memory(jpeg.data(), static_cast<int>(jpeg.size()), &width, &height,
                               &components)) {
        problem = "the JPEG frame could not be read";
        return false;
    }
    if (std::uint32_t(width) != d.columns || std::uint32_t(height) != d.rows ||
        std::uint32_t(components) != d.samples) {
        problem = "the JPEG frame is " + std::to_string(width) + " x " + std::to_string(height) +
                  " with " + std::to_string(components) + " components where the header gives " +
                  std::to_string(d.columns) + " x " + std::to_string(d.rows) + " with " +
                  std::to_string(d.samples);
        return false;
    }
    const std::unique_ptr<unsigned char, stb_free> pixels(
        stbi_load_from_memory(jpeg.data(), static_cast<int>(jpeg.size()), &width, &height,
                              &components, static_cast<int>(d.samples)));
    if (!pixels) {
        problem = "the JPEG frame could not be decoded";
        return false;
    }
    std::copy(pixels.get(), pixels.get() + out.count(), out.values.begin());
    return true;
}

}  // namespace velk
