#include "present/interpret_value.h"

#include <charconv>
#include <cstring>
#include <string>

#include "parse/tags.h"
#include "present/dictionary_full.h"
#include "present/render.h"

namespace velk {

namespace {

constexpr unsigned vr_code(char a, char b) {
    return (unsigned(static_cast<unsigned char>(a)) << 8) | static_cast<unsigned char>(b);
}

enum class kind {
    charset_text, plain_text, s16, u16, s32, u32, s64, u64, f32, f64, at, default_mode
};

kind classify(const char* vr) {
    switch (vr_code(vr[0], vr[1])) {
    case vr_code('S', 'H'): case vr_code('L', 'O'): case vr_code('S', 'T'):
    case vr_code('L', 'T'): case vr_code('P', 'N'): case vr_code('U', 'C'):
    case vr_code('U', 'T'):
        return kind::charset_text;
    case vr_code('A', 'E'): case vr_code('A', 'S'): case vr_code('C', 'S'):
    case vr_code('D', 'A'): case vr_code('D', 'S'): case vr_code('D', 'T'):
    case vr_code('I', 'S'): case vr_code('T', 'M'): case vr_code('U', 'I'):
    case vr_code('U', 'R'): case vr_code('A', 'I'):
        return kind::plain_text;
    case vr_code('S', 'S'): return kind::s16;
    case vr_code('U', 'S'): return kind::u16;
    case vr_code('S', 'L'): case vr_code('L', 'S'): return kind::s32;
    case vr_code('U', 'L'): case vr_code('O', 'L'): return kind::u32;
    case vr_code('S', 'V'): return kind::s64;
    case vr_code('U', 'V'): case vr_code('O', 'V'): return kind::u64;
    case vr_code('F', 'L'): return kind::f32;
    case vr_code('F', 'D'): case vr_code('O', 'D'): return kind::f64;
    case vr_code('A', 'T'): return kind::at;
    default: return kind::default_mode;
    }
}

// Keeps what a cell shows: up to the first NUL, at most `room` bytes, and never
// the first part of a UTF-8 character that does not fit.
struct cell {
    char* out;
    std::size_t room;
    std::size_t used = 0;
    bool full = false;

    bool write(const char* s, std::size_t n) {
        if (full) return false;
        std::size_t take = n < room - used ? n : room - used;
        if (const void* nul = std::memchr(s, 0, take)) {
            take = static_cast<std::size_t>(static_cast<const char*>(nul) - s);
            full = true;
        }
        if (take < n && !full) {
            // Cut by the room: step back to the start of a character.
            while (take > 0 && (static_cast<unsigned char>(s[take]) & 0xC0) == 0x80) --take;
            full = true;
        }
        std::memcpy(out + used, s, take);
        used += take;
        if (used == room) full = true;
        return !full;
    }
};

std::size_t format(std::int64_t v, char* out) {
    return static_cast<std::size_t>(std::to_chars(out, out + 24, v).ptr - out);
}
std::size_t format(std::uint64_t v, char* out) {
    return static_cast<std::size_t>(std::to_chars(out, out + 24, v).ptr - out);
}
std::size_t format(double v, char* out) { return dcm_format_double(v, out); }

// An attribute tag: group then element, each a 16-bit number in the byte order;
// written as the default mode writes AT, the element number in the high half.
struct tag_number {};

template <class T, class Wide, dcm_byte_order order>
Wide load_wide(const unsigned char* p) {
    if constexpr (std::is_same_v<T, tag_number>) {
        const std::uint32_t group = dcm_load<std::uint16_t, order>(p);
        const std::uint32_t element = dcm_load<std::uint16_t, order>(p + 2);
        return static_cast<Wide>((element << 16) | group);
    } else {
        return static_cast<Wide>(dcm_load<T, order>(p));
    }
}

template <class T, class Wide, dcm_byte_order order>
void numbers(cell& sink, const unsigned char* p, const unsigned char* last) {
    constexpr std::size_t size = std::is_same_v<T, tag_number> ? 4 : sizeof(T);
    char text[40];
    bool first = true;
    while (static_cast<std::size_t>(last - p) >= size) {
        std::size_t n = 0;
        if (!first) text[n++] = '/';
        n += format(load_wide<T, Wide, order>(p), text + n);
        if (!sink.write(text, n)) return;
        p += size;
        first = false;
    }
}

template <class T, class Wide>
void numbers(cell& sink, const unsigned char* p, const unsigned char* last, dcm_byte_order order) {
    if (order == dcm_byte_order::big) {
        numbers<T, Wide, dcm_byte_order::big>(sink, p, last);
    } else {
        numbers<T, Wide, dcm_byte_order::little>(sink, p, last);
    }
}

// Whether the n bytes at p are all below 80H and none is ESC (1BH): eight at a time.
bool plain_ascii(const unsigned char* p, std::size_t n) {
    constexpr std::uint64_t ones = 0x0101010101010101u, highs = 0x8080808080808080u;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        const std::uint64_t escapes = word ^ (0x1Bu * ones);  // a zero byte where ESC was
        if ((word | ((escapes - ones) & ~escapes)) & highs) return false;
    }
    for (; i < n; ++i) {
        if (p[i] >= 0x80 || p[i] == 0x1B) return false;
    }
    return true;
}

// Decodes no more bytes than a cell can show: every byte gives at least one byte
// of UTF-8 but for escape sequences, which a full cell's worth of input rarely is.
void text(cell& sink, const char* first, const char* last, const dcm_charset& charset,
          dcm_text_form form) {
    const std::size_t length = static_cast<std::size_t>(last - first);
    const std::size_t take = length < 4 * sink.room + 16 ? length : 4 * sink.room + 16;
    // Most text is ASCII, which every character set here leaves as it is (no
    // escape byte, so no code extension either; UTF-8, GB18030 and GBK keep ASCII).
    if (charset.first() != dcm_charset_term::jis_x0208 &&
        charset.first() != dcm_charset_term::jis_x0212) {
        const std::size_t shown = take < sink.room ? take : sink.room;
        if (plain_ascii(reinterpret_cast<const unsigned char*>(first), shown)) {
            sink.write(first, shown);
            return;
        }
    }
    std::string decoded;
    dcm_decode_text(charset, form, first, take, decoded);
    sink.write(decoded.data(), decoded.size());
}

// Two letters copied as one 16-bit unit: a VR stored a byte at a time and read
// back whole as the return value stalls the processor, and every implicit VR
// row asks for its VR twice.
dcm_shown_vr shown(const char* two, bool from_dictionary) {
    dcm_shown_vr vr{};
    std::memcpy(vr.vr, two, 2);
    vr.from_dictionary = from_dictionary;
    return vr;
}

}  // namespace

dcm_shown_vr dcm_interpret_vr(std::uint32_t tag, const char* as_read, std::uint32_t length) {
    const bool none = as_read[0] == 0 && as_read[1] == 0;
    const bool un = as_read[0] == 'U' && as_read[1] == 'N';
    if (!none && !un) return shown(as_read, false);
    // Pixel Data of undefined length is encapsulated: its fragments are bytes.
    if (tag == tag_pixel_data && length == 0xFFFFFFFFu) return shown("OB", true);
    const dcm_full_entry* entry = dcm_full_find(tag);
    if (entry && entry->vr[0] != 0) return shown(entry->vr, true);
    // Of all VRs only a sequence has an undefined length outside Pixel Data; items
    // and delimiters (group FFFE) have none.
    if (length == 0xFFFFFFFFu && (tag >> 16) != 0xFFFEu) return shown("SQ", true);
    return shown(as_read, false);
}

std::size_t dcm_interpret_vr_text(const dcm_shown_vr& vr, char* out) {
    std::size_t n = 0;
    if (vr.vr[0] == 0) return 0;
    if (vr.from_dictionary) out[n++] = '(';
    out[n++] = vr.vr[0];
    if (vr.vr[1] != 0) out[n++] = vr.vr[1];
    if (vr.from_dictionary) out[n++] = ')';
    return n;
}

bool dcm_charset_text_form(const char* vr, dcm_text_form& form) {
    if (classify(vr) != kind::charset_text) return false;
    const unsigned code = vr_code(vr[0], vr[1]);
    form = code == vr_code('P', 'N')                                 ? dcm_text_form::person_name
           : code == vr_code('S', 'H') || code == vr_code('L', 'O') ||
                   code == vr_code('U', 'C')                         ? dcm_text_form::multi
                                                                     : dcm_text_form::text;
    return true;
}

std::size_t dcm_interpret_value_cut(char* out, std::size_t capacity, const char* vr,
                                    const char* first, const char* last, dcm_byte_order order,
                                    const dcm_charset& charset, std::size_t limit) {
    if (capacity == 0) return 0;
    if (last < first) last = first;
    static const char no_vr[2] = {0, 0};
    if (!vr) vr = no_vr;
    cell sink{out, capacity - 1};
    const auto* p = reinterpret_cast<const unsigned char*>(first);
    const auto* end = reinterpret_cast<const unsigned char*>(last);
    dcm_text_form form = dcm_text_form::text;
    static const dcm_charset default_repertoire;
    switch (classify(vr)) {
    case kind::charset_text:
        dcm_charset_text_form(vr, form);
        if (sink.room > 0) text(sink, first, last, charset, form);
        break;
    case kind::plain_text:
        if (sink.room > 0) text(sink, first, last, default_repertoire, dcm_text_form::text);
        break;
    case kind::s16: numbers<std::int16_t, std::int64_t>(sink, p, end, order); break;
    case kind::u16: numbers<std::uint16_t, std::int64_t>(sink, p, end, order); break;
    case kind::s32: numbers<std::int32_t, std::int64_t>(sink, p, end, order); break;
    case kind::u32: numbers<std::uint32_t, std::int64_t>(sink, p, end, order); break;
    case kind::s64: numbers<std::int64_t, std::int64_t>(sink, p, end, order); break;
    case kind::u64: numbers<std::uint64_t, std::uint64_t>(sink, p, end, order); break;
    case kind::f32: numbers<float, double>(sink, p, end, order); break;
    case kind::f64: numbers<double, double>(sink, p, end, order); break;
    case kind::at: numbers<tag_number, std::int64_t>(sink, p, end, order); break;
    case kind::default_mode:
        return dcm_render_value_cut(out, capacity, vr[0] || vr[1] ? vr : nullptr, first, last,
                                    limit);
    }
    out[sink.used] = '\0';
    return sink.used;
}

}  // namespace velk
