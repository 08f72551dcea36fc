// The file entry: maps a part-10 file, checks the "DICM" marker at byte 128 and
// parses everything after it as one element stream, starting in explicit VR
// little endian (PS3.10 section 7.1).
#pragma once

#include "parse/parser.h"
#include "parse/record.h"
#include "parse/visitor.h"

namespace velk {

// Offset of the marker and of the first element of the file meta information.
constexpr unsigned dcm_marker_offset = 128;
constexpr unsigned dcm_stream_offset = 132;

// Loads the file at `path` (8-bit, in the ANSI code page on Windows) into the
// visitor. A file that cannot be opened or mapped, or lacks the marker, reports
// nothing, not even a base. An exception from the visitor passes through, with
// the mapping closed.
void dcm_load_file(const char* path, dcm_element_visitor& visitor);
#ifdef _WIN32
void dcm_load_file(const wchar_t* path, dcm_element_visitor& visitor);
#endif

// Parses the mapped bytes [begin, end) and answers how the walk ended (not_part10
// when there are no bytes or no marker). Every byte is walked, whatever the size.
dcm_walk_result dcm_parse_file(const char* begin, const char* end, dcm_element_visitor& visitor);

bool dcm_has_marker(const char* begin, const char* end);

// dcm_parse_file for a visitor of a known (final) type, whose calls the parser
// then makes directly: a walk of a million elements calls it a million times.
template <class Visitor>
dcm_walk_result dcm_parse_file_as(const char* begin, const char* end, Visitor& visitor) {
    dcm_walk_log log{begin, {}};
    if (!dcm_has_marker(begin, end)) {
        log.result.status = dcm_walk_status::not_part10;
        return log.result;
    }
    visitor.set_base(begin);
    const char* p = begin + dcm_stream_offset;
    dcm_parse(p, dcm_to_the_end, visitor, true, syntax_explicit_le, false, end, 0, &log);
    return log.result;
}

}  // namespace velk
