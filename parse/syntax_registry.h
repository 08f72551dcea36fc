// Every transfer syntax the program knows, once: its UID, the name shown for
// it, and how a data set in it is encoded (PS3.5 section 10 and annex A; the
// UIDs and names of PS3.6 annex A, table A-1). Retired syntaxes are left out but
// Explicit VR Big Endian, which files still use.
//
// A new question about syntaxes is a new column: add a member with a default
// value at the end of dcm_syntax_info.
#pragma once

#include <cstdint>
#include <string_view>

#include "parse/reader.h"

namespace velk {

// How the pixel data of a syntax is compressed, for a decoder to pick by.
enum class dcm_compression : std::uint8_t {
    none,
    rle,
    jpeg_baseline,  // process 1
    jpeg_extended,  // processes 2 and 4
    jpeg_lossless,  // process 14, either selection value
    jpeg_ls,
    jpeg2000,  // part 1, part 2 and high-throughput
    jpeg_xl,
    video,  // MPEG-2, H.264, H.265
    other,  // pixel data referenced or carried elsewhere
};

struct dcm_syntax_info {
    std::string_view uid;
    const char* name;
    dcm_byte_order byte_order;
    bool explicit_vr;
    bool deflated;      // the data set after the file meta is deflated
    bool encapsulated;  // pixel data in fragments
    dcm_compression compression;
};

// The four syntaxes the walks read by name.
constexpr std::string_view uid_implicit_vr_little_endian = "1.2.840.10008.1.2";
constexpr std::string_view uid_explicit_vr_little_endian = "1.2.840.10008.1.2.1";
constexpr std::string_view uid_deflated_explicit_vr_little_endian = "1.2.840.10008.1.2.1.99";
constexpr std::string_view uid_explicit_vr_big_endian = "1.2.840.10008.1.2.2";

// The whole registry, in UID order.
extern const dcm_syntax_info dcm_syntax_table[];
extern const std::size_t dcm_syntax_count;

// The syntax whose UID is `uid` (a value as read: trailing NUL and space padding
// are ignored), or null when it is not one of the table's.
const dcm_syntax_info* dcm_find_syntax(std::string_view uid);

}  // namespace velk
