#include "present/charset.h"

#include <algorithm>
#include <cstring>

#include "present/charset_tables.h"

namespace velk {

namespace {

constexpr char32_t replacement = 0xFFFD;
constexpr unsigned char esc = 0x1B;

// ---- Reading (0008,0005) ----

struct term_name {
    const char* squeezed;  // upper case, without blanks, "_" and "-"
    dcm_charset_term term;
};

// ISO 2022 spellings ("ISO2022IR100") are reduced to the ISO_IR form first.
constexpr term_name term_names[] = {
    {"", dcm_charset_term::ascii},
    {"ISOIR6", dcm_charset_term::ascii},
    {"ISOIR100", dcm_charset_term::latin1},
    {"ISOIR101", dcm_charset_term::latin2},
    {"ISOIR109", dcm_charset_term::latin3},
    {"ISOIR110", dcm_charset_term::latin4},
    {"ISOIR126", dcm_charset_term::greek},
    {"ISOIR127", dcm_charset_term::arabic},
    {"ISOIR138", dcm_charset_term::hebrew},
    {"ISOIR144", dcm_charset_term::cyrillic},
    {"ISOIR148", dcm_charset_term::latin5},
    {"ISOIR166", dcm_charset_term::thai},
    {"ISOIR13", dcm_charset_term::jis_x0201},
    {"ISOIR87", dcm_charset_term::jis_x0208},
    {"ISOIR159", dcm_charset_term::jis_x0212},
    {"ISOIR149", dcm_charset_term::ks_x1001},
    {"ISOIR58", dcm_charset_term::gb2312},
    {"ISO202258", dcm_charset_term::gb2312},
    {"ISOIR192", dcm_charset_term::utf8},
    {"GB18030", dcm_charset_term::gb18030},
    {"GBK", dcm_charset_term::gbk},
    {"ISO2022GBK", dcm_charset_term::gbk},
};

dcm_charset_term term_of(const char* text, std::size_t n) {
    char squeezed[32];
    std::size_t used = 0;
    for (std::size_t i = 0; i < n; ++i) {
        char c = text[i];
        if (c == ' ' || c == '_' || c == '-' || c == '\0') continue;
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (used + 1 >= sizeof squeezed) return dcm_charset_term::unknown;
        squeezed[used++] = c;
    }
    squeezed[used] = '\0';
    // "ISO2022IR100" names the same set as "ISOIR100".
    if (std::strncmp(squeezed, "ISO2022IR", 9) == 0) {
        std::memmove(squeezed + 3, squeezed + 7, used - 7 + 1);
    }
    for (const term_name& t : term_names) {
        if (std::strcmp(squeezed, t.squeezed) == 0) return t.term;
    }
    return dcm_charset_term::unknown;
}

// ---- The decoder ----

enum class g0_set : std::uint8_t { ascii, jis_x0208, jis_x0212 };
enum class g1_kind : std::uint8_t { none, single, ks_x1001, gb2312 };
enum class whole_kind : std::uint8_t { iso2022, utf8, gb18030, gbk };

struct state {
    g0_set g0 = g0_set::ascii;
    g1_kind g1 = g1_kind::single;
    dcm_single_byte_set single = dcm_single_byte_set::latin1;
};

bool is_single_byte(dcm_charset_term t) {
    return t >= dcm_charset_term::latin1 && t <= dcm_charset_term::jis_x0201;
}

dcm_single_byte_set single_set_of(dcm_charset_term t) {
    if (t == dcm_charset_term::jis_x0201) return dcm_single_byte_set::katakana;
    return static_cast<dcm_single_byte_set>(static_cast<int>(t) -
                                            static_cast<int>(dcm_charset_term::latin1));
}

// The state a value, and each part after a delimiter, starts in.
state initial_state(dcm_charset_term first) {
    state s;
    if (is_single_byte(first)) {
        s.single = single_set_of(first);
    } else if (first == dcm_charset_term::jis_x0208) {
        s.g0 = g0_set::jis_x0208;
    } else if (first == dcm_charset_term::jis_x0212) {
        s.g0 = g0_set::jis_x0212;
    } else if (first == dcm_charset_term::ks_x1001) {
        s.g1 = g1_kind::ks_x1001;
    } else if (first == dcm_charset_term::gb2312) {
        s.g1 = g1_kind::gb2312;
    }
    return s;
}

whole_kind whole_of(dcm_charset_term first) {
    switch (first) {
    case dcm_charset_term::utf8: return whole_kind::utf8;
    case dcm_charset_term::gb18030: return whole_kind::gb18030;
    case dcm_charset_term::gbk: return whole_kind::gbk;
    default: return whole_kind::iso2022;
    }
}

bool is_delimiter(unsigned char b, dcm_text_form form) {
    if (b == '\r' || b == '\n' || b == '\t' || b == '\f') return true;
    if (form == dcm_text_form::text) return false;
    if (b == '\\') return true;
    return form == dcm_text_form::person_name && (b == '^' || b == '=');
}

// The escape sequence at p (p[0] is ESC) applied to s. Returns its length, or 0
// when the bytes are no sequence this decoder knows (a cut one included).
std::size_t apply_escape(const unsigned char* p, std::size_t left, state& s) {
    struct sequence {
        const char* bytes;  // after ESC
        void (*apply)(state&);
    };
    static const sequence sequences[] = {
        {"(B", [](state& t) { t.g0 = g0_set::ascii; }},
        {"(J", [](state& t) { t.g0 = g0_set::ascii; }},  // JIS X 0201 roman: read as ASCII
        {"$B", [](state& t) { t.g0 = g0_set::jis_x0208; }},
        {"$@", [](state& t) { t.g0 = g0_set::jis_x0208; }},
        {"$(D", [](state& t) { t.g0 = g0_set::jis_x0212; }},
        {")I",
         [](state& t) {
             t.g1 = g1_kind::single;
             t.single = dcm_single_byte_set::katakana;
         }},
        {"$)C", [](state& t) { t.g1 = g1_kind::ks_x1001; }},
        {"$)A", [](state& t) { t.g1 = g1_kind::gb2312; }},
        {"-A",
         [](state& t) {
             t.g1 = g1_kind::single;
             t.single = dcm_single_byte_set::latin1;
         }},
        {"-B",
         [](state& t) {
             t.g1 = g1_kind::single;
             t.single = dcm_single_byte_set::latin2;
         }},
        {"-C",
         [](state& t) {
             t.g1 = g1_kind::single;
             t.single = dcm_single_byte_set::latin3;
         }},
        {"-D",
         [](state& t) {
             t.g1 = g1_kind::single;
             t.single = dcm_single_byte_set::latin4;
         }},
        {"-F",
         [](state& t) {
             t.g1 = g1_kind::single;
             t.single = dcm_single_byte_set::greek;
         }},
        {"-G",
         [](state& t) {
             t.g1 = g1_kind::single;
             t.single = dcm_single_byte_set::arabic;
         }},
        {"-H",
         [](state& t) {
             t.g1 = g1_kind::single;
             t.single = dcm_single_byte_set::hebrew;
         }},
        {"-L",
         [](state& t) {
             t.g1 = g1_kind::single;
             t.single = dcm_single_byte_set::cyrillic;
         }},
        {"-M",
         [](state& t) {
             t.g1 = g1_kind::single;
             t.single = dcm_single_byte_set::latin5;
         }},
        {"-T",
         [](state& t) {
             t.g1 = g1_kind::single;
             t.single = dcm_single_byte_set::thai;
         }},
    };
    for (const sequence& q : sequences) {
        const std::size_t n = std::strlen(q.bytes);
        if (left >= n + 1 && std::memcmp(p + 1, q.bytes, n) == 0) {
            q.apply(s);
            return n + 1;
        }
    }
    return 0;
}

std::uint16_t set94(const std::uint16_t* table, unsigned char row, unsigned char cell) {
    return table[(std::size_t(row & 0x7F) - 0x21) * 94 + (std::size_t(cell & 0x7F) - 0x21)];
}

bool in_94(unsigned char b) { return b >= 0x21 && b <= 0x7E; }
bool in_94_high(unsigned char b) { return b >= 0xA1 && b <= 0xFE; }

// Decodes one code at p; stores the code point and returns the bytes used (>= 1).
template <class Emit>
void decode_iso2022(dcm_charset_term first, dcm_text_form form, const unsigned char* p,
                    std::size_t n, Emit emit) {
    const state start = initial_state(first);
    state s = start;
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b == esc) {
            const std::size_t used = apply_escape(p + i, n - i, s);
            if (used == 0) {
                emit(replacement);
                ++i;
            } else {
                i += used;
            }
            continue;
        }
        if (b < 0x80) {
            if (s.g0 != g0_set::ascii && in_94(b)) {
                if (i + 1 < n && in_94(p[i + 1])) {
                    const auto* table = s.g0 == g0_set::jis_x0208 ? dcm_jis_x0208 : dcm_jis_x0212;
                    const std::uint16_t c = set94(table, b, p[i + 1]);
                    emit(c ? char32_t(c) : replacement);
                    i += 2;
                } else {
                    emit(replacement);
                    ++i;
                }
                continue;
            }
            emit(b);
            ++i;
            if (is_delimiter(b, form)) s = start;
            continue;
        }
        if (s.g1 == g1_kind::single) {
            const std::uint16_t c = dcm_single_byte_high[static_cast<int>(s.single)][b - 0x80];
            emit(c ? char32_t(c) : replacement);
            ++i;
        } else if (s.g1 != g1_kind::none && in_94_high(b) && i + 1 < n && in_94_high(p[i + 1])) {
            const auto* table = s.g1 == g1_kind::ks_x1001 ? dcm_ks_x1001 : dcm_gb2312;
            const std::uint16_t c = set94(table, b, p[i + 1]);
            emit(c ? char32_t(c) : replacement);
            i += 2;
        } else {
            emit(replacement);
            ++i;
        }
    }
}

// UTF-8, each ill-formed part replaced by one U+FFFD per maximal subpart.
template <class Emit>
void decode_utf8(const unsigned char* p, std::size_t n, Emit emit) {
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            emit(b);
            ++i;
            continue;
        }
        std::size_t need;
        char32_t c;
        unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            need = 1;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 2;
            c = b & 0x0F;
            if (b == 0xE0) low = 0xA0;
            if (b == 0xED) high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 3;
            c = b & 0x07;
            if (b == 0xF0) low = 0x90;
            if (b == 0xF4) high = 0x8F;
        } else {
            emit(replacement);
            ++i;
            continue;
        }
        std::size_t j = 1;
        for (; j <= need && i + j < n; ++j) {
            const unsigned char t = p[i + j];
            if (t < (j == 1 ? low : 0x80) || t > (j == 1 ? high : 0xBF)) break;
            c = (c << 6) | (t & 0x3F);
        }
        if (j == need + 1) {
            emit(c);
        } else {
            emit(replacement);
        }
        i += j;
    }
}

int trail_position(unsigned char t) {
    if (t >= 0x40 && t <= 0x7E) return t - 0x40;
    if (t >= 0x80 && t <= 0xFE) return t - 0x41;
    return -1;
}

bool in_gbk_gap(std::size_t index) {
    const dcm_index_run* end = dcm_gbk_gaps + dcm_gbk_gaps_size;
    const dcm_index_run* run =
        std::upper_bound(dcm_gbk_gaps, end, index,
                         [](std::size_t i, const dcm_index_run& r) { return i < r.first; });
    return run != dcm_gbk_gaps && index <= (run - 1)->last;
}

char32_t gb18030_four(std::uint32_t linear) {
    if (linear < dcm_gb18030_four_bmp_codes) {
        const dcm_gb18030_run* end = dcm_gb18030_four + dcm_gb18030_four_size;
        const dcm_gb18030_run* run =
            std::upper_bound(dcm_gb18030_four, end, linear,
                             [](std::uint32_t i, const dcm_gb18030_run& r) { return i < r.index; });
        if (run == dcm_gb18030_four) return replacement;
        --run;
        return run->point ? char32_t(run->point + (linear - run->index)) : replacement;
    }
    // From 0x90308130 on, the codes count the supplementary planes from U+10000.
    constexpr std::uint32_t supplementary_first = 15 * 12600;
    if (linear >= supplementary_first && linear - supplementary_first <= 0xFFFFF)
        return char32_t(0x10000 + (linear - supplementary_first));
    return replacement;
}

template <class Emit>
void decode_gb(bool gbk, const unsigned char* p, std::size_t n, Emit emit) {
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            emit(b);
            ++i;
            continue;
        }
        if (b == 0x80 || b == 0xFF || i + 1 >= n) {
            emit(replacement);
            ++i;
            continue;
        }
        const unsigned char t = p[i + 1];
        const int position = trail_position(t);
        if (position >= 0) {
            const std::size_t index = std::size_t(b - 0x81) * dcm_two_byte_trails + position;
            const std::uint16_t c = dcm_gb18030_two[index];
            emit(c && !(gbk && in_gbk_gap(index)) ? char32_t(c) : replacement);
            i += 2;
            continue;
        }
        const bool four = !gbk && t >= 0x30 && t <= 0x39 && i + 3 < n && p[i + 2] >= 0x81 &&
                          p[i + 2] <= 0xFE && p[i + 3] >= 0x30 && p[i + 3] <= 0x39;
        if (!four) {
            emit(replacement);
            ++i;
            continue;
        }
        const std::uint32_t linear =
            ((std::uint32_t(b - 0x81) * 10 + (t - 0x30)) * 126 + (p[i + 2] - 0x81)) * 10 +
            (p[i + 3] - 0x30);
        emit(gb18030_four(linear));
        i += 4;
    }
}

template <class Emit>
void decode(const dcm_charset& charset, dcm_text_form form, const char* bytes, std::size_t n,
            Emit emit) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    switch (whole_of(charset.first())) {
    case whole_kind::utf8: decode_utf8(p, n, emit); break;
    case whole_kind::gb18030: decode_gb(false, p, n, emit); break;
    case whole_kind::gbk: decode_gb(true, p, n, emit); break;
    case whole_kind::iso2022: decode_iso2022(charset.first(), form, p, n, emit); break;
    }
}

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void append_utf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 | (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
    }
}

}  // namespace

dcm_charset dcm_charset_from_value(const char* value, std::size_t length) {
    dcm_charset charset;
    charset.count = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= length; ++i) {
        if (i < length && value[i] != '\\') continue;
        if (charset.count < dcm_charset::max_terms) {
            dcm_charset_term t = term_of(value + start, i - start);
            // An unknown first term decodes as the default repertoire.
            if (charset.count == 0 && t == dcm_charset_term::unknown) t = dcm_charset_term::ascii;
            charset.terms[charset.count++] = t;
        }
        start = i + 1;
    }
    return charset;
}

void dcm_decode_text(const dcm_charset& charset, dcm_text_form form, const char* bytes,
                     std::size_t n, std::string& out) {
    out.reserve(out.size() + n);
    decode(charset, form, bytes, n, [&out](char32_t c) { append_utf8(out, c); });
}

void dcm_decode_text(const dcm_charset& charset, dcm_text_form form, const char* bytes,
                     std::size_t n, std::u16string& out) {
    out.reserve(out.size() + n);
    decode(charset, form, bytes, n, [&out](char32_t c) { append_utf16(out, c); });
}

}  // namespace velk
