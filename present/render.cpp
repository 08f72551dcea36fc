#include "present/render.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "parse/reader.h"
#include "parse/vr_table.h"

namespace velk {

namespace {

// How the default reading writes a value of VR `vr`: nothing for an element
// without one, a note for a code it does not read.
dcm_default_cell classify(const char* vr) {
    if (!vr || (vr[0] == 0 && vr[1] == 0)) return dcm_default_cell::empty;
    const dcm_vr_info* info = dcm_find_vr(vr);
    return info ? info->default_cell : dcm_default_cell::unknown;
}

// Where the text goes. `write` answers false once the sink wants nothing more,
// which lets a bounded rendering stop early.
// Keeps the prefix a list cell shows: up to the first NUL, at most `room` characters.
struct cut_sink {
    char* out;
    std::size_t room;
    std::size_t used = 0;
    bool done = false;

    bool write(const char* s, std::size_t n) {
        if (done) return false;
        std::size_t take = n < room - used ? n : room - used;
        if (const void* nul = std::memchr(s, 0, take)) {
            take = static_cast<std::size_t>(static_cast<const char*>(nul) - s);
            done = true;
        }
        std::memcpy(out + used, s, take);
        used += take;
        if (used == room) done = true;
        return !done;
    }
};

std::size_t format_number(std::int64_t v, char* out) {
    return static_cast<std::size_t>(std::to_chars(out, out + 24, v).ptr - out);
}

std::size_t format_number(double v, char* out) { return dcm_format_double(v, out); }

// Every whole number of the value, joined by "/".
template <class T, class Wide, class Sink>
void render_numbers(Sink& sink, const unsigned char* p, const unsigned char* last) {
    char text[32];
    bool first = true;
    while (static_cast<std::size_t>(last - p) >= sizeof(T)) {
        std::size_t n = 0;
        if (!first) text[n++] = '/';
        n += format_number(static_cast<Wide>(dcm_load<T>(p)), text + n);
        if (!sink.write(text, n)) return;
        p += sizeof(T);
        first = false;
    }
}

template <class Sink>
void render_hex(Sink& sink, const unsigned char* p, const unsigned char* last, std::size_t limit) {
    static const char digits[] = "0123456789ABCDEF";
    std::size_t count = static_cast<std::size_t>(last - p);
    if (limit != 0 && limit < count) count = limit;
    char text[64];
    while (count > 0) {
        const std::size_t chunk = count < sizeof text / 2 ? count : sizeof text / 2;
        for (std::size_t i = 0; i < chunk; ++i) {
            text[2 * i] = digits[p[i] >> 4];
            text[2 * i + 1] = digits[p[i] & 0xF];
        }
        if (!sink.write(text, 2 * chunk)) return;
        p += chunk;
        count -= chunk;
    }
}

template <class Sink>
void write_text(Sink& sink, const char* s) {
    sink.write(s, std::strlen(s));
}

template <class Sink>
void render(Sink& sink, const char* vr, const char* first, const char* last, std::size_t limit) {
    const auto* p = reinterpret_cast<const unsigned char*>(first);
    const auto* end = reinterpret_cast<const unsigned char*>(last);
    if (end < p) end = p;
    switch (classify(vr)) {
    case dcm_default_cell::text:
        if (end > p) sink.write(first, static_cast<std::size_t>(end - p));
        break;
    case dcm_default_cell::s16: render_numbers<std::int16_t, std::int64_t>(sink, p, end); break;
    case dcm_default_cell::u16: render_numbers<std::uint16_t, std::int64_t>(sink, p, end); break;
    case dcm_default_cell::s32: render_numbers<std::int32_t, std::int64_t>(sink, p, end); break;
    case dcm_default_cell::u32: render_numbers<std::uint32_t, std::int64_t>(sink, p, end); break;
    case dcm_default_cell::f32: render_numbers<float, double>(sink, p, end); break;
    case dcm_default_cell::f64: render_numbers<double, double>(sink, p, end); break;
    case dcm_default_cell::hex: render_hex(sink, p, end, limit); break;
    case dcm_default_cell::other_word: write_text(sink, "other word data"); break;
    case dcm_default_cell::other_float: write_text(sink, "other float data"); break;
    case dcm_default_cell::unknown: write_text(sink, "uknown value representation"); break;
    case dcm_default_cell::empty: break;
    }
}

// Appends the exponent as printf's classic Windows form has it: a sign and at
// least three digits.
std::size_t write_exponent(int e, char* out) {
    std::size_t n = 0;
    out[n++] = 'e';
    out[n++] = e < 0 ? '-' : '+';
    const unsigned a = static_cast<unsigned>(e < 0 ? -e : e);
    out[n++] = static_cast<char>('0' + a / 100 % 10);
    out[n++] = static_cast<char>('0' + a / 10 % 10);
    out[n++] = static_cast<char>('0' + a % 10);
    return n;
}

}  // namespace

std::size_t dcm_format_double(double v, char* out) {
    if (std::isnan(v)) {
        std::memcpy(out, "nan", 3);
        return 3;
    }
    if (std::isinf(v)) {
        if (v < 0) {
            std::memcpy(out, "-inf", 4);
            return 4;
        }
        std::memcpy(out, "inf", 3);
        return 3;
    }
    // Six significant digits, correctly rounded: "d.ddddde[+-]x..."; the same
    // bytes on every platform, unlike printf.
    char sci[32];
    const char* end = std::to_chars(sci, sci + sizeof sci, v, std::chars_format::scientific, 5).ptr;
    const char* p = sci;
    std::size_t n = 0;
    if (*p == '-') out[n++] = *p++;
    char digits[6] = {p[0], p[2], p[3], p[4], p[5], p[6]};
    const char* e = p + 7;  // at 'e'
    int exponent = 0;
    std::from_chars(e + 2, end, exponent);
    if (e[1] == '-') exponent = -exponent;
    int kept = 6;  // significant digits after dropping trailing zeros
    while (kept > 1 && digits[kept - 1] == '0') --kept;
    if (exponent < -4 || exponent >= 6) {
        out[n++] = digits[0];
        if (kept > 1) {
            out[n++] = '.';
            for (int i = 1; i < kept; ++i) out[n++] = digits[i];
        }
        return n + write_exponent(exponent, out + n);
    }
    if (exponent < 0) {
        out[n++] = '0';
        out[n++] = '.';
        for (int i = -1; i > exponent; --i) out[n++] = '0';
        for (int i = 0; i < kept; ++i) out[n++] = digits[i];
        return n;
    }
    for (int i = 0; i <= exponent; ++i) out[n++] = digits[i];
    if (kept > exponent + 1) {
        out[n++] = '.';
        for (int i = exponent + 1; i < kept; ++i) out[n++] = digits[i];
    }
    return n;
}

std::size_t dcm_render_value_cut(char* out, std::size_t capacity, const char* vr, const char* first,
                                 const char* last, std::size_t limit) {
    if (capacity == 0) return 0;
    cut_sink sink{out, capacity - 1};
    if (sink.room > 0) render(sink, vr, first, last, limit);
    out[sink.used] = '\0';
    return sink.used;
}

}  // namespace velk
