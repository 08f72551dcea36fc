#include "parse/file.h"

#include <cstdint>
#include <cstring>

#include "parse/mapping.h"
#include "parse/parser.h"

namespace velk {

namespace {

template <class Char>
void load(const Char* path, dcm_element_visitor& visitor) {
    dcm_file_mapping file(path);
    if (file.is_open()) dcm_parse_file(file.begin(), file.end(), visitor);
}

}  // namespace

void dcm_load_file(const char* path, dcm_element_visitor& visitor) { load(path, visitor); }

#ifdef _WIN32
void dcm_load_file(const wchar_t* path, dcm_element_visitor& visitor) { load(path, visitor); }
#endif

bool dcm_has_marker(const char* begin, const char* end) {
    if (!begin || !dcm_fits(begin, end, dcm_stream_offset)) return false;
    char marker[4] = {};
    copy_bytes(begin + dcm_marker_offset, 4, marker);
    return std::memcmp(marker, "DICM", 4) == 0;
}

dcm_walk_result dcm_parse_file(const char* begin, const char* end, dcm_element_visitor& visitor) {
    return dcm_parse_file_as(begin, end, visitor);
}

}  // namespace velk
