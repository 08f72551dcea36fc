// The decoders of one frame, each from what its codec needs: the description
// (size, layout, bits) and the frame's bytes. Each fills `out` (its layout set
// by dcm_frame_layout) or answers false with a sentence; none reads outside the
// bytes it is given.
#pragma once

#include <string>
#include <vector>

#include "pixels/description.h"
#include "pixels/frame.h"

namespace velk {

// False with a sentence when the frame would pass dcm_frame_sample_cap.
bool dcm_frame_within_cap(const dcm_pixel_description& d, std::string& problem);

// Sets out's rows, columns, samples, value size and signedness from the
// description and allocates its values. False with a sentence when the frame
// would pass dcm_frame_sample_cap.
bool dcm_frame_layout(const dcm_pixel_description& d, dcm_frame& out, std::string& problem);

// Native values: frame `index` of the Pixel Data's bytes, masked to Bits
// Stored below High Bit and sign-extended when signed.
bool dcm_decode_native(const dcm_pixel_description& d, std::uint32_t index, dcm_frame& out,
                       std::string& problem);

// RLE Lossless: one frame's segments (a 64-byte header, then the segments).
bool dcm_decode_rle(const dcm_pixel_description& d, const std::vector<unsigned char>& bytes,
                    dcm_frame& out, std::string& problem);

// JPEG baseline and extended with 8-bit samples, through stb_image.
bool dcm_decode_jpeg_8bit(const dcm_pixel_description& d, const std::vector<unsigned char>& bytes,
                          dcm_frame& out, std::string& problem);

// JPEG lossless, process 14 (any predictor, 2 to 16 bits, point transform).
bool dcm_decode_jpeg_lossless(const dcm_pixel_description& d,
                              const std::vector<unsigned char>& bytes, dcm_frame& out,
                              std::string& problem);

// Applies Bits Stored, High Bit and the Pixel Representation to every value of
// a frame whose values came whole out of a decoder.
void dcm_mask_values(const dcm_pixel_description& d, dcm_frame& frame);

}  // namespace velk
