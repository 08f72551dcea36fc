// One frame of a Pixel Data element, decoded by the codec its transfer syntax
// names. Only that frame's bytes are read: a multi-frame file of any size costs
// one frame's memory.
#pragma once

#include "pixels/description.h"
#include "pixels/frame.h"

namespace velk {

// Frame `index` (0-based) of the described Pixel Data, or a sentence saying why
// there is none: no such frame, a compression velk does not decode, damage.
dcm_decoded_frame dcm_decode_frame(const dcm_pixel_description& d, std::uint32_t index);

}  // namespace velk
