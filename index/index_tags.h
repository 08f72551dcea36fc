// The tags the folder index and the directory tree read, in tag order. Kept in
// this one place until the shared tag table takes them.
#pragma once

#include <cstdint>

namespace velk {

constexpr std::uint32_t tag_media_storage_sop_class_uid = 0x00020002u;
constexpr std::uint32_t tag_transfer_syntax_uid = 0x00020010u;
constexpr std::uint32_t tag_offset_of_first_root_record = 0x00041200u;
constexpr std::uint32_t tag_directory_record_sequence = 0x00041220u;
constexpr std::uint32_t tag_offset_of_next_record = 0x00041400u;
constexpr std::uint32_t tag_offset_of_lower_records = 0x00041420u;
constexpr std::uint32_t tag_directory_record_type = 0x00041430u;
constexpr std::uint32_t tag_referenced_file_id = 0x00041500u;
constexpr std::uint32_t tag_referenced_sop_class_uid_in_file = 0x00041510u;
constexpr std::uint32_t tag_specific_character_set = 0x00080005u;
constexpr std::uint32_t tag_sop_class_uid = 0x00080016u;
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
constexpr std::uint32_t tag_number_of_frames = 0x00280008u;
constexpr std::uint32_t tag_rows = 0x00280010u;
constexpr std::uint32_t tag_columns = 0x00280011u;

}  // namespace velk
