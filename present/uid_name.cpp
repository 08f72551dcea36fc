#include "present/uid_name.h"

#include <algorithm>

namespace velk {

const char* dcm_sop_class_name(std::string_view uid) {
    while (!uid.empty() && (uid.back() == '\0' || uid.back() == ' ')) uid.remove_suffix(1);
    const dcm_uid_name* first = dcm_sop_class_names;
    const dcm_uid_name* last = first + dcm_sop_class_names_size;
    const dcm_uid_name* found = std::lower_bound(
        first, last, uid,
        [](const dcm_uid_name& row, std::string_view key) { return row.uid < key; });
    return found != last && found->uid == uid ? found->name : nullptr;
}

}  // namespace velk
