// Names of SOP classes by UID, for the folder index and the directory tree.
#pragma once

#include <cstddef>
#include <string_view>

namespace velk {

struct dcm_uid_name {
    const char* uid;
    const char* name;
};

// The generated table (present/tables/sop_class_names.cpp), ascending by UID.
extern const dcm_uid_name dcm_sop_class_names[];
extern const std::size_t dcm_sop_class_names_size;

// The name of the SOP class `uid` (its value as read: trailing NUL and space
// padding are ignored), or null when the UID is not a known SOP class.
const char* dcm_sop_class_name(std::string_view uid);

}  // namespace velk
