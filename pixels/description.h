// What a frame is, read from the data set that holds the Pixel Data: its size,
// its sample layout, how it is compressed and where its bytes lie. An icon image
// in a sequence item is described by its own item's elements, not the top data
// set's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "parse/reader.h"
#include "parse/record.h"

namespace velk {

class dcm_record_reading;

// How a frame's bytes are turned into values.
enum class dcm_pixel_codec : std::uint8_t {
    native,         // the values as they are, frame after frame
    rle,            // RLE Lossless
    jpeg_8bit,      // JPEG baseline or extended with 8-bit samples
    jpeg_lossless,  // JPEG lossless, process 14
    unsupported,    // a compression velk does not decode: `codec_name` says which
};

enum class dcm_photometric : std::uint8_t {
    monochrome1,
    monochrome2,
    palette_color,
    rgb,
    ybr_full,
    ybr_full_422,
    other,  // shown as its samples are: grey for one, RGB for three
};

// One colour's palette lookup table: its descriptor and its entries, scaled to
// 16 bits whatever the file's entry size.
struct dcm_palette_lut {
    std::uint32_t entries = 0;      // 0 when there is none
    std::int32_t first_mapped = 0;  // the stored value the first entry stands for
    std::uint16_t bits = 16;        // the entries' size, 8 or 16
    std::vector<std::uint16_t> data;
};

// Palette tables have at most 65536 entries: the descriptor's 16-bit count, with
// 0 meaning 65536.
constexpr std::uint32_t dcm_palette_max_entries = 65536;

struct dcm_pixel_description {
    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    std::uint32_t samples = 1;
    std::uint32_t bits_allocated = 0;
    std::uint32_t bits_stored = 0;
    std::uint32_t high_bit = 0;
    bool is_signed = false;
    bool planar = false;  // Planar Configuration 1: all of one sample, then the next
    std::uint32_t frames = 1;
    std::string photometric_text;
    dcm_photometric photometric = dcm_photometric::monochrome2;

    double slope = 1;
    double intercept = 0;
    bool has_window = false;
    double window_center = 0;
    double window_width = 0;
    // Pixel Aspect Ratio, or the ratio of Pixel Spacing: a row's height over a
    // column's width. 1 when neither is given.
    double aspect = 1;

    dcm_palette_lut palette[3];

    std::string syntax_uid;
    dcm_pixel_codec codec = dcm_pixel_codec::native;
    std::string codec_name;  // the compression's name, for the sentence when unsupported
    dcm_byte_order order = dcm_byte_order::little;
    bool encapsulated = false;
    // The Pixel Data's value bytes as the file holds them: at most its declared
    // length, cut at the end of the bytes. For encapsulated data, the items.
    const char* data = nullptr;
    std::uint64_t data_size = 0;
    std::uint64_t declared_size = 0;  // the declared length (undefined_length kept)
};

// The description of the Pixel Data at `pixel_row` of `records` (a whole load,
// every container expanded, in file order), from the elements of its own data
// set. [begin, end) are the file's bytes; `reading` is the rows' reading, which
// knows the bytes each record counts in (a deflated data set's inflated bytes). Answers false with
// a sentence in `problem` when the row is no Pixel Data or the elements cannot describe a frame.
bool dcm_describe_pixels(const char* begin, const char* end, const std::vector<dcm_record>& records,
                         std::size_t pixel_row, const dcm_record_reading& reading,
                         dcm_pixel_description& out, std::string& problem);

// The row of the first Pixel Data (7FE0,0010) of the top data set, or of any
// level when the top data set has none; records.size() when there is none.
std::size_t dcm_find_pixel_row(const char* begin, const char* end,
                               const std::vector<dcm_record>& records,
                               const dcm_record_reading& reading);

// The codec and the compression's name for a transfer syntax UID.
void dcm_pixel_codec_of(const std::string& syntax_uid, dcm_pixel_codec& codec, std::string& name);

}  // namespace velk
