// Fuzz target: character-set decoding. The input's first byte picks the Specific
// Character Set (one of the sets and code-extension combinations in use) and the
// text form; the rest is the value. The UTF-8 text must be well formed, the
// UTF-16 text must say the same, and neither may hold more than one character per
// input byte: a cut escape sequence or a broken code gives U+FFFD and goes on.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "present/charset.h"

using namespace velk;

namespace {

const char* const charsets[] = {
    "",
    "ISO_IR 100",
    "ISO_IR 166",
    "ISO_IR 13",
    "ISO_IR 192",
    "GB18030",
    "GBK",
    "\\ISO 2022 IR 87",
    "ISO 2022 IR 13\\ISO 2022 IR 87\\ISO 2022 IR 159",
    "\\ISO 2022 IR 149",
    "\\ISO 2022 IR 58",
    "ISO 2022 IR 100\\ISO 2022 IR 126\\ISO 2022 IR 144",
    "ISO 2022 IR 87",
};
constexpr std::size_t charset_count = sizeof charsets / sizeof charsets[0];

// The code points of well-formed UTF-8, or -1 at the first ill-formed byte.
long count_utf8(const std::string& s) {
    long count = 0;
    for (std::size_t i = 0; i < s.size(); ++count) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 0;
        if (n == 0 || i + n > s.size()) return -1;
        char32_t c = n == 1 ? b : b & (0x7F >> n);
        for (std::size_t j = 1; j < n; ++j) {
            const auto t = static_cast<unsigned char>(s[i + j]);
            if ((t & 0xC0) != 0x80) return -1;
            c = (c << 6) | (t & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < least[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return -1;
        i += n;
    }
    return count;
}

long count_utf16(const std::u16string& s) {
    long count = 0;
    for (std::size_t i = 0; i < s.size(); ++count) {
        if (s[i] >= 0xD800 && s[i] <= 0xDBFF) {
            if (i + 1 >= s.size() || s[i + 1] < 0xDC00 || s[i + 1] > 0xDFFF) return -1;
            i += 2;
        } else if (s[i] >= 0xDC00 && s[i] <= 0xDFFF) {
            return -1;
        } else {
            ++i;
        }
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const char* name = charsets[data[0] % charset_count];
    const auto form = static_cast<dcm_text_form>((data[0] / charset_count) % 3);
    const dcm_charset charset = dcm_charset_from_value(name, std::char_traits<char>::length(name));
    const fuzz::exact_input value(data + 1, size - 1);
    std::string utf8;
    std::u16string utf16;
    dcm_decode_text(charset, form, value.begin(), value.size(), utf8);
    dcm_decode_text(charset, form, value.begin(), value.size(), utf16);
    const long points = count_utf8(utf8);
    fuzz::require(points >= 0, "the decoded text is well-formed UTF-8");
    fuzz::require(points == count_utf16(utf16), "UTF-8 and UTF-16 hold the same characters");
    fuzz::require(static_cast<std::size_t>(points) <= value.size(),
                  "at most one character per input byte");
    // The Specific Character Set value itself comes from the file too.
    const dcm_charset own = dcm_charset_from_value(value.begin(), value.size());
    fuzz::require(own.count >= 1 && own.count <= dcm_charset::max_terms, "a bounded term list");
    return 0;
}
