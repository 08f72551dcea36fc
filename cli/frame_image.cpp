#include "cli/frame_image.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "parse/file.h"
#include "pixels/decode.h"
#include "present/row_model.h"

// stb_image_write's code is compiled here once; it writes to memory, and the
// file is written here, so that a UTF-8 path opens on Windows too.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>

namespace velk {

namespace {

bool ends_with(std::string text, const char* suffix) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string s(suffix);
    return text.size() > s.size() && text.compare(text.size() - s.size(), s.size(), s) == 0;
}

void collect(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

bool write_file(const std::string& path, const char* data, std::size_t size) {
    std::ofstream out(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
    out.write(data, static_cast<std::streamsize>(size));
    return static_cast<bool>(out.flush());
}

// The frame's description and values, or a sentence.
bool decode_file_frame(const std::string& path, std::uint32_t frame, dcm_pixel_description& d,
                       dcm_frame& values, std::string& problem) {
    const dcm_file_mapping file(std::filesystem::u8path(path).c_str());
    if (!file.is_open()) return problem = "cannot be opened or mapped", false;
    if (!dcm_has_marker(file.begin(), file.end()))
        return problem = "not a DICOM part-10 file (no \"DICM\" at byte 128)", false;
    dcm_row_model rows(dcm_reading::interpret);
    rows.load(dcm_bytes::of(file));
    const dcm_record_reading& reading = rows.reading();
    const std::size_t row = dcm_find_pixel_row(file.begin(), file.end(), rows.records(), reading);
    if (row >= rows.size()) return problem = "the file holds no Pixel Data", false;
    if (!dcm_describe_pixels(file.begin(), file.end(), rows.records(), row, reading, d, problem))
        return false;
    dcm_decoded_frame decoded = dcm_decode_frame(d, frame - 1);
    if (!decoded.ok()) return problem = decoded.problem, false;
    values = std::move(decoded.frame);
    return true;
}

}  // namespace

bool image_format_of(const std::string& path, image_format& format) {
    if (ends_with(path, ".png"))
        format = image_format::png;
    else if (ends_with(path, ".npy"))
        format = image_format::npy;
    else
        return false;
    return true;
}

std::string npy_bytes(const dcm_frame& frame) {
    const char kind = frame.is_signed ? 'i' : 'u';
    const char order = frame.value_size == 1 ? '|' : '<';
    std::string shape = "(" + std::to_string(frame.rows) + ", " + std::to_string(frame.columns);
    shape += frame.samples > 1 ? ", " + std::to_string(frame.samples) + ")" : ")";
    std::string header = std::string("{'descr': '") + order + kind +
                         std::to_string(frame.value_size) +
                         "', 'fortran_order': False, 'shape': " + shape + ", }";
    // The magic, the version, the header's length, then the header padded with
    // blanks and ended by a newline so that the values start at a multiple of 64.
    const std::size_t prefix = 10;
    const std::size_t total = (prefix + header.size() + 1 + 63) / 64 * 64;
    header.append(total - prefix - header.size() - 1, ' ');
    header += '\n';
    std::string out("\x93NUMPY\x01\x00", 8);
    out += static_cast<char>(header.size() & 0xFF);
    out += static_cast<char>(header.size() >> 8);
    out += header;
    out.append(reinterpret_cast<const char*>(frame.values.data()), frame.values.size());
    return out;
}

std::vector<unsigned char> png_bytes(const dcm_display_image& image) {
    std::vector<unsigned char> out;
    const int stride = static_cast<int>(image.columns * image.channels);
    stbi_write_png_to_func(collect, &out, static_cast<int>(image.columns),
                           static_cast<int>(image.rows), static_cast<int>(image.channels),
                           image.pixels.data(), stride);
    return out;
}

int velkdump_frame_image(const std::string& path, std::uint32_t frame,
                         const std::string& image_path, std::FILE* err) {
    image_format format = image_format::png;
    image_format_of(image_path, format);
    dcm_pixel_description d;
    dcm_frame values;
    std::string problem;
    if (!decode_file_frame(path, frame, d, values, problem)) {
        std::fprintf(err, "velkdump: %s: %s\n", path.c_str(), problem.c_str());
        return 1;
    }
    bool written;
    if (format == image_format::npy) {
        const std::string bytes = npy_bytes(values);
        written = write_file(image_path, bytes.data(), bytes.size());
    } else {
        const dcm_display_image image = dcm_display(d, values, dcm_default_window(d, values));
        const std::vector<unsigned char> bytes = png_bytes(image);
        written = !bytes.empty() &&
                  write_file(image_path, reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    if (!written) {
        std::fprintf(err, "velkdump: %s: cannot be written\n", image_path.c_str());
        return 1;
    }
    return 0;
}

}  // namespace velk
