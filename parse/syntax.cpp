#include "parse/header.h"

#include <cstring>

namespace velk {

dcm_syntax dcm_classify_syntax(const void* value, std::uint32_t length) {
    // The value is compared as a NUL-terminated string, so the standard's NUL
    // pad is accepted and a blank pad is not.
    char text[255] = {};
    if (length >= sizeof text) return syntax_other;
    copy_bytes(static_cast<const char*>(value), length, text);
    text[length] = 0;
    if (std::strcmp(text, "1.2.840.10008.1.2") == 0) return syntax_implicit_le;
    if (std::strcmp(text, "1.2.840.10008.1.2.1") == 0) return syntax_explicit_le;
    return syntax_other;
}

}  // namespace velk
