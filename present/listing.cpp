#include "present/listing.h"

namespace velk {

namespace {

// Code page 1252's characters for the bytes 80H to 9FH; A0H to FFH are Latin-1.
const char16_t cp1252_high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t cp1252(unsigned char b) {
    return b >= 0x80 && b < 0xA0 ? cp1252_high[b - 0x80] : char16_t(b);
}

char* utf8(char16_t u, char* out) {
    if (u < 0x80) {
        *out++ = static_cast<char>(u);
    } else if (u < 0x800) {
        *out++ = static_cast<char>(0xC0 | (u >> 6));
        *out++ = static_cast<char>(0x80 | (u & 0x3F));
    } else {
        *out++ = static_cast<char>(0xE0 | (u >> 12));
        *out++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (u & 0x3F));
    }
    return out;
}

}  // namespace

char* dcm_cp1252_to_utf8::operator()(const char* text, std::size_t n, char* out) const {
    for (std::size_t i = 0; i < n; ++i)
        out = utf8(cp1252(static_cast<unsigned char>(text[i])), out);
    return out;
}

}  // namespace velk
