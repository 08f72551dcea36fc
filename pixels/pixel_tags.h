// The tags the pixel room reads. Kept here until the shared tag list exists.
#pragma once

#include <cstdint>

namespace velk {

constexpr std::uint32_t tag_transfer_syntax_uid = 0x00020010u;
constexpr std::uint32_t tag_samples_per_pixel = 0x00280002u;
constexpr std::uint32_t tag_photometric_interpretation = 0x00280004u;
constexpr std::uint32_t tag_planar_configuration = 0x00280006u;
constexpr std::uint32_t tag_number_of_frames = 0x00280008u;
constexpr std::uint32_t tag_rows = 0x00280010u;
constexpr std::uint32_t tag_columns = 0x00280011u;
constexpr std::uint32_t tag_pixel_spacing = 0x00280030u;
constexpr std::uint32_t tag_pixel_aspect_ratio = 0x00280034u;
constexpr std::uint32_t tag_bits_allocated = 0x00280100u;
constexpr std::uint32_t tag_bits_stored = 0x00280101u;
constexpr std::uint32_t tag_high_bit = 0x00280102u;
constexpr std::uint32_t tag_pixel_representation = 0x00280103u;
constexpr std::uint32_t tag_window_center = 0x00281050u;
constexpr std::uint32_t tag_window_width = 0x00281051u;
constexpr std::uint32_t tag_rescale_intercept = 0x00281052u;
constexpr std::uint32_t tag_rescale_slope = 0x00281053u;
constexpr std::uint32_t tag_red_palette_color_lookup_table_descriptor = 0x00281101u;
constexpr std::uint32_t tag_red_palette_color_lookup_table_data = 0x00281201u;
constexpr std::uint32_t tag_pixel_data = 0x7FE00010u;

}  // namespace velk
