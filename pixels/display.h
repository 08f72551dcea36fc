// A frame as it is shown: stored values through the Modality LUT (Rescale Slope
// and Intercept) and the VOI window to 8-bit grey, MONOCHROME1 inverted;
// palette and YBR frames turned to RGB. Colour frames are not windowed.
#pragma once

#include <cstdint>
#include <vector>

#include "pixels/description.h"
#include "pixels/frame.h"

namespace velk {

struct dcm_window {
    double center = 0;
    double width = 1;
};

struct dcm_display_image {
    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    std::uint32_t channels = 1;  // 1: grey, 3: RGB
    std::vector<unsigned char> pixels;
};

// Whether the frame is shown in grey through a window (one sample, no palette).
bool dcm_is_windowed(const dcm_pixel_description& d);

// A stored value through the Modality LUT.
inline double dcm_rescaled(const dcm_pixel_description& d, std::int64_t stored) {
    return double(stored) * d.slope + d.intercept;
}

// The window a frame is first shown with: the file's first Window Center and
// Width, or one that spans the frame's own rescaled minimum to maximum.
dcm_window dcm_default_window(const dcm_pixel_description& d, const dcm_frame& frame);

// The 8-bit image of a decoded frame, grey frames through `window`.
dcm_display_image dcm_display(const dcm_pixel_description& d, const dcm_frame& frame,
                              const dcm_window& window);

}  // namespace velk
