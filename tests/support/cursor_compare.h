// Field-wise comparison and printing of cursors, for readable test failures.
#pragma once

#include <ostream>

#include "parse/cursor.h"
#include "parse/record.h"

namespace velk {

inline bool operator==(const dcm_cursor& a, const dcm_cursor& b) {
    return a.offset == b.offset && a.length == b.length && a.vr[0] == b.vr[0] &&
           a.vr[1] == b.vr[1] && a.depth == b.depth && a.header_length == b.header_length &&
           a.container == b.container;
}

inline std::ostream& operator<<(std::ostream& os, const dcm_cursor& c) {
    return os << "{@" << c.offset << " len " << c.length << " vr " << int(c.vr[0]) << ','
              << int(c.vr[1]) << " depth " << int(c.depth) << " h" << int(c.header_length)
              << (c.container ? " C}" : "}");
}

inline bool operator==(const dcm_record& a, const dcm_record& b) {
    return a.offset == b.offset && a.length == b.length && a.level == b.level &&
           a.vr[0] == b.vr[0] && a.vr[1] == b.vr[1] && a.header_length == b.header_length &&
           a.syntax == b.syntax && a.container == b.container && a.recurse == b.recurse;
}

inline std::ostream& operator<<(std::ostream& os, const dcm_record& r) {
    return os << "{@" << r.offset << " len " << r.length << " vr " << int(r.vr[0]) << ','
              << int(r.vr[1]) << " level " << r.level << " h" << int(r.header_length) << " m"
              << int(r.syntax) << (r.container ? " C" : "") << (r.recurse ? "" : " opaque") << "}";
}

}  // namespace velk
