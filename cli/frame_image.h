// velkdump --image: one frame of a file's Pixel Data written as an image file,
// PNG (the frame as shown) or NPY (its stored values).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "pixels/display.h"
#include "pixels/frame.h"

namespace velk {

enum class image_format { png, npy };

// The format a file name's extension names (.png, .npy, in any case).
bool image_format_of(const std::string& path, image_format& format);

// numpy's file format (version 1.0) of a frame's values: shape rows x columns,
// and x samples when there are three; the type by the values' size and sign.
std::string npy_bytes(const dcm_frame& frame);

// A PNG of an 8-bit grey or RGB image.
std::vector<unsigned char> png_bytes(const dcm_display_image& image);

// Writes frame `frame` (from 1) of the file at `path` to `image_path`. Answers
// the exit status: 0, or 1 with a sentence on `err` when the file has no such
// frame, velk cannot decode it, or the image cannot be written.
int velkdump_frame_image(const std::string& path, std::uint32_t frame,
                         const std::string& image_path, std::FILE* err);

}  // namespace velk
