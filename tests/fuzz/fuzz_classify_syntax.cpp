// Fuzz target: the Transfer Syntax UID classification, and the header decoding
// that calls it. The whole input is the UID value: it must be classified as the
// two recognised UIDs compare as NUL-terminated strings, and a value too long
// for the classifier's buffer is neither. The input is also decoded as one
// element header in each syntax mode, whose fields must lie inside it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "parse/header.h"

using namespace velk;

namespace {

dcm_syntax expected_syntax(const fuzz::exact_input& value) {
    if (value.size() >= 255) return syntax_other;  // no room for the terminator
    const std::string text(value.begin(), value.size());
    const std::string uid = text.substr(0, text.find('\0'));
    if (uid == "1.2.840.10008.1.2") return syntax_implicit_le;
    if (uid == "1.2.840.10008.1.2.1") return syntax_explicit_le;
    return syntax_other;
}

void check_header(const fuzz::exact_input& bytes, dcm_syntax mode) {
    dcm_header<const char*> h;
    std::uint64_t consumed = 0;
    if (!dcm_decode_header(bytes.begin(), bytes.end(), mode, h, consumed)) {
        fuzz::require(consumed == 0, "a header that does not fit consumes nothing");
        return;
    }
    const std::uint32_t header = h.header_length();
    fuzz::require(h.start == bytes.begin() && (header == 8 || header == 12) &&
                      header <= bytes.size() && consumed == header,
                  "a decoded header lies inside the bytes");
    fuzz::require(mode >= syntax_other && mode <= syntax_explicit_le, "a known syntax mode");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::exact_input value(data, size);
    fuzz::require(dcm_classify_syntax(value.begin(), static_cast<std::uint32_t>(size)) ==
                      expected_syntax(value),
                  "a Transfer Syntax UID classified as a NUL-terminated string");
    for (dcm_syntax mode : {syntax_other, syntax_implicit_le, syntax_explicit_le}) {
        check_header(value, mode);
    }
    return 0;
}
