// Fuzz target: the value renderer, for every VR code. The input is two VR bytes,
// one byte of OB dump limit (0: none), then the value. The value is rendered
// under each VR of the table, under the input's own two bytes and under no VR;
// the text a list cell keeps must be the full text cut at its first NUL and at
// the cell's capacity. Its first eight bytes are also formatted as a double,
// which must read back as printf's "%g" reads back.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz_support.h"
#include "present/render.h"

using namespace velk;

namespace {

// Every code the renderer knows, and a few it must not take for one.
const char* const vr_codes[] = {"AE", "AI", "AS", "CS", "DA", "DS", "DT",       "IS",   "LO",
                                "LT", "PN", "SH", "ST", "TM", "UI", "UT",       "SS",   "US",
                                "SL", "LS", "UL", "AT", "FL", "FD", "OB",       "OW",   "OF",
                                "SQ", "DL", "UN", "ob", "Ob", "XX", "\x00\x00", "\x00U"};

void check_cut(const char* vr, const fuzz::exact_input& value, std::size_t limit) {
    // Larger than any rendering of the value: the whole text up to its first NUL.
    std::string shown(4 * value.size() + 64, '\0');
    shown.resize(
        dcm_render_value_cut(&shown[0], shown.size(), vr, value.begin(), value.end(), limit));
    for (std::size_t capacity : {0, 1, 2, 17, 260}) {
        const std::unique_ptr<char[]> out(new char[capacity]);
        const std::size_t n =
            dcm_render_value_cut(out.get(), capacity, vr, value.begin(), value.end(), limit);
        if (capacity == 0) {
            fuzz::require(n == 0, "nothing fits a buffer of no characters");
            continue;
        }
        const std::size_t expected = std::min(shown.size(), capacity - 1);
        fuzz::require(
            n == expected && std::memcmp(out.get(), shown.data(), n) == 0 && out[n] == '\0',
            "a cell keeps the full text up to its first NUL and its capacity");
    }
}

void check_double(const fuzz::exact_input& value) {
    if (value.size() < 8) return;
    double v;
    std::memcpy(&v, value.begin(), sizeof v);
    char text[17] = {};
    const std::size_t n = dcm_format_double(v, text);
    fuzz::require(n <= 16, "a double's text fits 16 characters");
    const double back = std::strtod(text, nullptr);
    if (std::isnan(v)) {
        fuzz::require(std::isnan(back), "NaN reads back as NaN");
        return;
    }
    char reference[40];
    std::snprintf(reference, sizeof reference, "%.6g", v);
    fuzz::require(back == std::strtod(reference, nullptr), "a double reads back as \"%g\" does");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const fuzz::exact_input own_vr(data, 2);
    const std::size_t limit = data[2];
    const fuzz::exact_input value(data + 3, size - 3);
    for (const char* vr : vr_codes) check_cut(vr, value, limit);
    check_cut(own_vr.begin(), value, limit);
    check_cut(nullptr, value, limit);
    check_double(value);
    return 0;
}
