#include "pixels/frame_viewer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace velk {

bool dcm_frame_viewer::open(dcm_bytes file, std::uint64_t offset, bool inflated) {
    *this = dcm_frame_viewer();
    m_rows.load(file);
    const std::vector<dcm_record>& records = m_rows.records();
    m_pixel_row = records.size();
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records[i].offset == offset && records[i].inflated == inflated) m_pixel_row = i;
    const dcm_record_reading& reading = m_rows.reading();
    dcm_pixel_description d;
    std::string problem;
    if (m_pixel_row >= records.size() ||
        !dcm_describe_pixels(file.begin, file.end, records, m_pixel_row, reading, d, problem))
        m_pixel_row = dcm_find_pixel_row(file.begin, file.end, records, reading);
    if (m_pixel_row >= records.size()) {
        m_problem = "the file holds no Pixel Data";
        return false;
    }
    return show_frame(file, 0);
}

bool dcm_frame_viewer::show_frame(dcm_bytes file, std::uint32_t index) {
    const bool first = m_image.pixels.empty() && m_frame.values.empty();
    m_image = dcm_display_image();
    m_frame = dcm_frame();
    // The description points into the bytes: it is read again from the bytes of now.
    if (!dcm_describe_pixels(file.begin, file.end, m_rows.records(), m_pixel_row, m_rows.reading(),
                             m_description, m_problem))
        return false;
    m_frame_index = std::min(index, m_description.frames - 1);
    dcm_decoded_frame decoded = dcm_decode_frame(m_description, m_frame_index);
    m_description.data = nullptr;  // not kept past the bytes
    if (!decoded.ok()) {
        m_problem = decoded.problem;
        return false;
    }
    m_problem.clear();
    m_frame = std::move(decoded.frame);
    if (first) restore_window();
    render();
    return true;
}

void dcm_frame_viewer::restore_window() {
    m_window = dcm_default_window(m_description, m_frame);
    // A drag across a few hundred pixels spans the frame's range of values.
    const dcm_window extremes = [&] {
        dcm_pixel_description without = m_description;
        without.has_window = false;
        return dcm_default_window(without, m_frame);
    }();
    m_drag_step = std::max(extremes.width / 256, 1e-3);
    render();
}

void dcm_frame_viewer::drag(int dx, int dy) {
    if (!dcm_is_windowed(m_description)) return;
    m_window.width = std::max(1.0, m_window.width + dx * m_drag_step);
    m_window.center += dy * m_drag_step;
    render();
}

void dcm_frame_viewer::render() {
    if (m_frame.values.empty()) return;
    m_image = dcm_display(m_description, m_frame, m_window);
}

std::string dcm_frame_viewer::pixel_text(std::uint32_t column, std::uint32_t row) const {
    if (column < 1 || row < 1 || column > m_frame.columns || row > m_frame.rows) return {};
    const std::size_t at =
        (std::size_t(row - 1) * m_frame.columns + (column - 1)) * m_frame.samples;
    char text[160];
    if (m_frame.samples == 1) {
        const std::int64_t v = m_frame.value(at);
        std::snprintf(text, sizeof text, "column %u, row %u: %lld (%g)", column, row,
                      static_cast<long long>(v), dcm_rescaled(m_description, v));
    } else {
        std::snprintf(text, sizeof text, "column %u, row %u: %lld %lld %lld", column, row,
                      static_cast<long long>(m_frame.value(at)),
                      static_cast<long long>(m_frame.value(at + 1)),
                      static_cast<long long>(m_frame.value(at + 2)));
    }
    return text;
}

}  // namespace velk
