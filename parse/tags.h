// Tags the program reads by name, named as the data dictionary names them
// (PS3.6 section 6, and section 7 for the file meta and directory groups).
// A tag is the group in the high half and the element in the low half, as
// dcm_load_tag reads it. Add tags in tag order.
#pragma once

#include <cstdint>

namespace velk {

constexpr std::uint32_t dcm_tag(std::uint16_t group, std::uint16_t element) {
    return (std::uint32_t(group) << 16) | element;
}

constexpr std::uint16_t dcm_tag_group(std::uint32_t tag) { return std::uint16_t(tag >> 16); }

// File meta information (group 0002).
constexpr std::uint32_t tag_file_meta_information_group_length = 0x00020000u;
constexpr std::uint32_t tag_file_meta_information_version = 0x00020001u;
constexpr std::uint32_t tag_media_storage_sop_class_uid = 0x00020002u;
constexpr std::uint32_t tag_media_storage_sop_instance_uid = 0x00020003u;
constexpr std::uint32_t tag_transfer_syntax_uid = 0x00020010u;
constexpr std::uint32_t tag_implementation_class_uid = 0x00020012u;
constexpr std::uint32_t tag_implementation_version_name = 0x00020013u;

// The directory of a file set (group 0004).
constexpr std::uint32_t tag_offset_of_the_first_directory_record_of_the_root_directory_entity =
    0x00041200u;
constexpr std::uint32_t tag_offset_of_the_last_directory_record_of_the_root_directory_entity =
    0x00041202u;
constexpr std::uint32_t tag_directory_record_sequence = 0x00041220u;
constexpr std::uint32_t tag_offset_of_the_next_directory_record = 0x00041400u;
constexpr std::uint32_t tag_record_in_use_flag = 0x00041410u;
constexpr std::uint32_t tag_offset_of_referenced_lower_level_directory_entity = 0x00041420u;
constexpr std::uint32_t tag_directory_record_type = 0x00041430u;
constexpr std::uint32_t tag_referenced_file_id = 0x00041500u;
constexpr std::uint32_t tag_referenced_sop_class_uid_in_file = 0x00041510u;
constexpr std::uint32_t tag_referenced_sop_instance_uid_in_file = 0x00041511u;
constexpr std::uint32_t tag_referenced_transfer_syntax_uid_in_file = 0x00041512u;

// Identification, patient, study and series.
constexpr std::uint32_t tag_specific_character_set = 0x00080005u;
constexpr std::uint32_t tag_sop_class_uid = 0x00080016u;
constexpr std::uint32_t tag_sop_instance_uid = 0x00080018u;
constexpr std::uint32_t tag_study_date = 0x00080020u;
constexpr std::uint32_t tag_modality = 0x00080060u;
constexpr std::uint32_t tag_study_description = 0x00081030u;
constexpr std::uint32_t tag_series_description = 0x0008103Eu;
constexpr std::uint32_t tag_patient_name = 0x00100010u;
constexpr std::uint32_t tag_patient_id = 0x00100020u;
constexpr std::uint32_t tag_study_instance_uid = 0x0020000Du;
constexpr std::uint32_t tag_series_instance_uid = 0x0020000Eu;
constexpr std::uint32_t tag_study_id = 0x00200010u;
constexpr std::uint32_t tag_series_number = 0x00200011u;
constexpr std::uint32_t tag_instance_number = 0x00200013u;

// Image pixel description (group 0028).
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
constexpr std::uint32_t tag_green_palette_color_lookup_table_descriptor = 0x00281102u;
constexpr std::uint32_t tag_blue_palette_color_lookup_table_descriptor = 0x00281103u;
constexpr std::uint32_t tag_red_palette_color_lookup_table_data = 0x00281201u;
constexpr std::uint32_t tag_green_palette_color_lookup_table_data = 0x00281202u;
constexpr std::uint32_t tag_blue_palette_color_lookup_table_data = 0x00281203u;

constexpr std::uint32_t tag_pixel_data = 0x7FE00010u;
constexpr std::uint32_t tag_data_set_trailing_padding = 0xFFFCFFFCu;

// Items and delimitation items (group FFFE, PS3.5 section 7.5): no VR in any syntax.
constexpr std::uint32_t tag_item = 0xFFFEE000u;
constexpr std::uint32_t tag_item_delimiter = 0xFFFEE00Du;      // Item Delimitation Item
constexpr std::uint32_t tag_sequence_delimiter = 0xFFFEE0DDu;  // Sequence Delimitation Item
constexpr std::uint16_t item_group = 0xFFFEu;

// The file meta information's group, always explicit VR little endian.
constexpr std::uint16_t file_meta_group = 0x0002u;

}  // namespace velk
