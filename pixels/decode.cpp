#include "pixels/decode.h"

#include "pixels/decoders.h"
#include "pixels/fragments.h"

namespace velk {

namespace {

bool decode_encapsulated(const dcm_pixel_description& d, std::uint32_t index, dcm_frame& out,
                         std::string& problem) {
    dcm_fragments fragments;
    if (!dcm_read_fragments(d.data, d.data_size, fragments, problem)) return false;
    const bool jpeg = d.codec != dcm_pixel_codec::rle;
    std::vector<unsigned char> bytes;
    if (!dcm_frame_bytes(fragments, index, d.frames, jpeg, bytes, problem)) return false;
    switch (d.codec) {
    case dcm_pixel_codec::native: {
        // Uncompressed frames in fragments: each frame's values as its fragments hold them.
        dcm_pixel_description one = d;
        one.data = reinterpret_cast<const char*>(bytes.data());
        one.data_size = bytes.size();
        one.frames = 1;
        return dcm_decode_native(one, 0, out, problem);
    }
    case dcm_pixel_codec::rle: return dcm_decode_rle(d, bytes, out, problem);
    case dcm_pixel_codec::jpeg_8bit: return dcm_decode_jpeg_8bit(d, bytes, out, problem);
    case dcm_pixel_codec::jpeg_lossless: return dcm_decode_jpeg_lossless(d, bytes, out, problem);
    default: return false;
    }
}

}  // namespace

dcm_decoded_frame dcm_decode_frame(const dcm_pixel_description& d, std::uint32_t index) {
    dcm_decoded_frame result;
    if (index >= d.frames) {
        result.problem = "there is no frame " + std::to_string(index + 1) +
                         ": the Pixel Data holds " + std::to_string(d.frames);
        return result;
    }
    if (d.codec == dcm_pixel_codec::unsupported) {
        result.problem = "the pixel data is in " + d.codec_name + ", which velk does not decode";
        return result;
    }
    bool ok;
    try {
        ok = d.encapsulated ? decode_encapsulated(d, index, result.frame, result.problem)
                            : dcm_decode_native(d, index, result.frame, result.problem);
    } catch (const std::bad_alloc&) {
        ok = false;
        result.problem = "the frame does not fit in memory";
    }
    if (!ok) {
        if (result.problem.empty()) result.problem = "the frame could not be decoded";
        result.frame = dcm_frame();
    }
    return result;
}

}  // namespace velk
