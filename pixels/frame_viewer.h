// What the inspector's image shows, without a window: the Pixel Data of one
// document, the frame shown and its window (level and width), moved by a drag
// as radiology viewers do, and the value under the pointer. Each frame is
// decoded from the file's bytes when it is asked for; only that frame is held.
#pragma once

#include <cstdint>
#include <string>

#include "pixels/decode.h"
#include "pixels/display.h"
#include "present/row_model.h"

namespace velk {

class dcm_frame_viewer {
public:
    // Reads the document in `file` (the Interpret reading, kept for the inflated
    // bytes of a deflated data set) and shows frame 1 of the Pixel Data whose
    // element starts at `offset` (`inflated`: in the inflated bytes), or of the
    // file's first Pixel Data when no element starts there. False with a
    // sentence (problem()) when there is nothing to show.
    bool open(dcm_bytes file, std::uint64_t offset, bool inflated);
    // Shows frame `index` (0-based) of the same Pixel Data, read from `file`.
    bool show_frame(dcm_bytes file, std::uint32_t index);

    bool has_image() const { return !m_image.pixels.empty(); }
    const dcm_display_image& image() const { return m_image; }
    const std::string& problem() const { return m_problem; }
    std::uint32_t frame() const { return m_frame_index; }
    std::uint32_t frames() const { return m_description.frames; }
    // A row's height over a column's width.
    double aspect() const { return m_description.aspect; }
    const dcm_window& window() const { return m_window; }
    // Whether the frame is shown through the window (grey, no palette).
    bool windowed() const { return dcm_is_windowed(m_description); }

    // A drag of (dx, dy) screen pixels: right widens the window, down raises
    // its center, by steps that grow with the frame's range of values.
    void drag(int dx, int dy);
    // The window the frame was first shown with: the file's, or its extremes.
    void restore_window();
    // "column, row: stored value (rescaled value)" for the pixel at (column,
    // row), from 1; empty outside the frame.
    std::string pixel_text(std::uint32_t column, std::uint32_t row) const;

private:
    void render();

    dcm_row_model m_rows{dcm_reading::interpret};
    std::size_t m_pixel_row = 0;
    dcm_pixel_description m_description;
    dcm_frame m_frame;
    std::uint32_t m_frame_index = 0;
    dcm_window m_window;
    double m_drag_step = 1;  // window units per screen pixel
    dcm_display_image m_image;
    std::string m_problem;
};

}  // namespace velk
