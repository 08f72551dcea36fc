#include "pixels/description.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "parse/syntax_registry.h"
#include "parse/tags.h"
#include "present/reading.h"

namespace velk {

namespace {

// One element's value as the bytes hold it: cut at the end of its bytes.
struct element_value {
    const char* data = nullptr;
    std::uint64_t size = 0;
    dcm_byte_order order = dcm_byte_order::little;
    char vr[2] = {0, 0};
};

struct record_reader {
    const char* file_begin;
    const char* file_end;
    const dcm_record_reading& reading;

    void bytes_of(const dcm_record& r, const char*& begin, const char*& end) const {
        const dcm_bytes bytes = reading.bytes_of({file_begin, file_end}, r);
        begin = bytes.begin;
        end = bytes.end;
    }

    // The tag, or 0 when its bytes are not there.
    std::uint32_t tag(const dcm_record& r) const {
        const char *b, *e;
        bytes_of(r, b, e);
        if (!dcm_fits(b + 0, e, std::uint64_t(r.offset) + 4)) return 0;
        return dcm_load_tag(b + r.offset, r.byte_order());
    }

    element_value value(const dcm_record& r) const {
        const char *b, *e;
        bytes_of(r, b, e);
        element_value v;
        v.order = r.byte_order();
        v.vr[0] = r.vr[0];
        v.vr[1] = r.vr[1];
        const std::uint64_t at = r.value_offset();
        const std::uint64_t have = dcm_bytes_left(b + 0, e);
        if (at > have) return v;
        v.data = b + at;
        const std::uint64_t left = have - at;
        v.size = r.length == undefined_length ? left : std::min<std::uint64_t>(r.length, left);
        return v;
    }
};

std::uint16_t us_value(const element_value& v, std::uint64_t index = 0) {
    if (v.size < 2 * (index + 1)) return 0;
    const char* p = v.data + 2 * index;
    return v.order == dcm_byte_order::big ? dcm_load<std::uint16_t, dcm_byte_order::big>(p)
                                          : dcm_load<std::uint16_t>(p);
}

// The text of a string value, without its padding.
std::string text_value(const element_value& v) {
    std::string s(v.data ? v.data : "",
                  v.data ? static_cast<std::size_t>(std::min<std::uint64_t>(v.size, 1024)) : 0);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
    std::size_t start = 0;
    while (start < s.size() && s[start] == ' ') ++start;
    return s.substr(start);
}

// Value number `index` of a decimal or integer string (backslash-separated).
bool number_value(const element_value& v, double& out, std::size_t index = 0) {
    const std::string text = text_value(v);
    std::size_t start = 0;
    for (std::size_t i = 0; i < index; ++i) {
        start = text.find('\\', start);
        if (start == std::string::npos) return false;
        ++start;
    }
    const std::string one = text.substr(start, text.find('\\', start) - start);
    if (one.empty()) return false;
    char* stop = nullptr;
    out = std::strtod(one.c_str(), &stop);
    while (stop && *stop == ' ') ++stop;
    return stop && *stop == '\0' && std::isfinite(out);
}

dcm_photometric photometric_of(const std::string& text) {
    if (text == "MONOCHROME1") return dcm_photometric::monochrome1;
    if (text == "MONOCHROME2") return dcm_photometric::monochrome2;
    if (text == "PALETTE COLOR") return dcm_photometric::palette_color;
    if (text == "RGB") return dcm_photometric::rgb;
    if (text == "YBR_FULL") return dcm_photometric::ybr_full;
    if (text == "YBR_FULL_422") return dcm_photometric::ybr_full_422;
    return dcm_photometric::other;
}

void read_palette_descriptor(const element_value& v, dcm_palette_lut& lut) {
    if (v.size < 6) return;
    const std::uint16_t entries = us_value(v, 0);
    lut.entries = entries == 0 ? dcm_palette_max_entries : entries;
    const std::uint16_t first = us_value(v, 1);
    lut.first_mapped = dcm_vr_is(v.vr, "SS") ? std::int16_t(first) : std::int32_t(first);
    lut.bits = us_value(v, 2) == 8 ? 8 : 16;
}

// The entries scaled to 16 bits. 8-bit entries come one a byte, or one a word
// when the value is long enough for words.
void read_palette_data(const element_value& v, dcm_palette_lut& lut) {
    if (lut.entries == 0) return;
    const bool words = lut.bits == 16 || v.size >= 2 * std::uint64_t(lut.entries);
    const std::uint64_t available = words ? v.size / 2 : v.size;
    const std::uint32_t n =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(lut.entries, available));
    lut.data.resize(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        std::uint32_t e = words ? us_value(v, i) : static_cast<unsigned char>(v.data[i]);
        if (lut.bits == 8) e = (e & 0xFFu) * 257u;
        lut.data[i] = static_cast<std::uint16_t>(e);
    }
}

void read_element(std::uint32_t tag, const element_value& v, dcm_pixel_description& d) {
    double number = 0;
    switch (tag) {
    case tag_samples_per_pixel: d.samples = us_value(v); break;
    case tag_photometric_interpretation:
        d.photometric_text = text_value(v);
        d.photometric = photometric_of(d.photometric_text);
        break;
    case tag_planar_configuration: d.planar = us_value(v) == 1; break;
    case tag_number_of_frames:
        if (number_value(v, number) && number >= 1 && number < 4294967296.0)
            d.frames = static_cast<std::uint32_t>(number);
        break;
    case tag_rows: d.rows = us_value(v); break;
    case tag_columns: d.columns = us_value(v); break;
    case tag_pixel_spacing: {
        double row_spacing = 0, column_spacing = 0;
        if (number_value(v, row_spacing, 0) && number_value(v, column_spacing, 1) &&
            row_spacing > 0 && column_spacing > 0)
            d.aspect = row_spacing / column_spacing;
        break;
    }
    case tag_pixel_aspect_ratio: {
        double vertical = 0, horizontal = 0;
        if (number_value(v, vertical, 0) && number_value(v, horizontal, 1) && vertical > 0 &&
            horizontal > 0)
            d.aspect = vertical / horizontal;
        break;
    }
    case tag_bits_allocated: d.bits_allocated = us_value(v); break;
    case tag_bits_stored: d.bits_stored = us_value(v); break;
    case tag_high_bit: d.high_bit = us_value(v); break;
    case tag_pixel_representation: d.is_signed = us_value(v) == 1; break;
    case tag_window_center:
        if (number_value(v, number)) d.window_center = number, d.has_window = true;
        break;
    case tag_window_width:
        if (number_value(v, number)) d.window_width = number;
        break;
    case tag_rescale_intercept:
        if (number_value(v, number)) d.intercept = number;
        break;
    case tag_rescale_slope:
        if (number_value(v, number)) d.slope = number;
        break;
    default:
        if (tag >= tag_red_palette_color_lookup_table_descriptor &&
            tag < tag_red_palette_color_lookup_table_descriptor + 3)
            read_palette_descriptor(v,
                                    d.palette[tag - tag_red_palette_color_lookup_table_descriptor]);
        break;
    }
}

bool is_palette_data(std::uint32_t tag) {
    return tag >= tag_red_palette_color_lookup_table_data &&
           tag < tag_red_palette_color_lookup_table_data + 3;
}

// The checks that make the description one a decoder can trust.
bool check(dcm_pixel_description& d, std::string& problem) {
    if (d.rows == 0 || d.columns == 0) {
        problem = "the Pixel Data's data set gives no Rows or Columns";
        return false;
    }
    if (d.samples != 1 && d.samples != 3) {
        problem = "Samples per Pixel " + std::to_string(d.samples) + " is not 1 or 3";
        return false;
    }
    const std::uint32_t a = d.bits_allocated;
    if (a != 1 && a != 8 && a != 16 && a != 32) {
        problem = "Bits Allocated " + std::to_string(a) + " is not 1, 8, 16 or 32";
        return false;
    }
    if (d.bits_stored == 0 || d.bits_stored > a) d.bits_stored = a;
    if (d.high_bit >= a || d.high_bit + 1 < d.bits_stored) d.high_bit = d.bits_stored - 1;
    if (d.window_width <= 0) d.has_window = false;
    if (d.slope == 0) d.slope = 1;
    return true;
}

}  // namespace

void dcm_pixel_codec_of(const std::string& uid, dcm_pixel_codec& codec, std::string& name) {
    const dcm_syntax_info* syntax = dcm_find_syntax(uid);
    if (!syntax) {
        codec = dcm_pixel_codec::unsupported;
        name = uid.empty() ? "an unnamed transfer syntax" : "the unknown transfer syntax " + uid;
        return;
    }
    name = syntax->name;
    switch (syntax->compression) {
    case dcm_compression::none: codec = dcm_pixel_codec::native; break;
    case dcm_compression::rle: codec = dcm_pixel_codec::rle; break;
    case dcm_compression::jpeg_baseline:
    case dcm_compression::jpeg_extended: codec = dcm_pixel_codec::jpeg_8bit; break;
    case dcm_compression::jpeg_lossless: codec = dcm_pixel_codec::jpeg_lossless; break;
    default: codec = dcm_pixel_codec::unsupported; break;
    }
}

std::size_t dcm_find_pixel_row(const char* begin, const char* end,
                               const std::vector<dcm_record>& records,
                               const dcm_record_reading& reading) {
    const record_reader reader{begin, end, reading};
    std::size_t nested = records.size();
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (reader.tag(records[i]) != tag_pixel_data) continue;
        if (records[i].level == 0) return i;
        if (nested == records.size()) nested = i;
    }
    return nested;
}

bool dcm_describe_pixels(const char* begin, const char* end, const std::vector<dcm_record>& records,
                         std::size_t pixel_row, const dcm_record_reading& reading,
                         dcm_pixel_description& d, std::string& problem) {
    d = dcm_pixel_description();
    const record_reader reader{begin, end, reading};
    if (pixel_row >= records.size() || reader.tag(records[pixel_row]) != tag_pixel_data) {
        problem = "the element is not Pixel Data";
        return false;
    }
    const dcm_record& pixels = records[pixel_row];
    // The elements of its own data set: back to the item (or the file's start)
    // that holds it, passing over what is nested deeper. Palette data is read
    // after its descriptor, which precedes it in tag order.
    std::size_t data_rows[3] = {records.size(), records.size(), records.size()};
    for (std::size_t i = pixel_row; i-- > 0;) {
        const dcm_record& r = records[i];
        if (r.level < pixels.level) break;
        if (r.level != pixels.level) continue;
        const std::uint32_t tag = reader.tag(r);
        if (tag == tag_transfer_syntax_uid) continue;
        if (is_palette_data(tag))
            data_rows[tag - tag_red_palette_color_lookup_table_data] = i;
        else
            read_element(tag, reader.value(r), d);
    }
    for (int c = 0; c < 3; ++c)
        if (data_rows[c] < records.size())
            read_palette_data(reader.value(records[data_rows[c]]), d.palette[c]);
    // The transfer syntax is in the file meta group, at the front.
    for (std::size_t i = 0; i < records.size() && records[i].level == 0; ++i) {
        const std::uint32_t tag = reader.tag(records[i]);
        if (tag == tag_transfer_syntax_uid) {
            d.syntax_uid = text_value(reader.value(records[i]));
            break;
        }
        if (tag > tag_transfer_syntax_uid) break;
    }
    dcm_pixel_codec_of(d.syntax_uid, d.codec, d.codec_name);
    d.encapsulated = pixels.length == undefined_length;
    // A file without meta information, or of a syntax velk does not know, holds
    // native values when its Pixel Data has a defined length.
    if (!d.encapsulated && d.codec == dcm_pixel_codec::unsupported)
        d.codec = dcm_pixel_codec::native;
    d.order = pixels.byte_order();
    const element_value v = reader.value(pixels);
    d.data = v.data;
    d.data_size = v.size;
    d.declared_size = pixels.length;
    return check(d, problem);
}

}  // namespace velk
