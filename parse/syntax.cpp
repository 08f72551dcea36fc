#include "parse/header.h"

#include <cstring>
#include <string_view>

#include "parse/syntax_registry.h"

namespace velk {

dcm_syntax dcm_classify_syntax(const void* value, std::uint32_t length) {
    // The value is read as a NUL-terminated string, so the standard's NUL pad
    // is accepted and a blank pad is not: the UID must be the whole of it.
    char text[255] = {};
    if (length >= sizeof text) return syntax_other;
    copy_bytes(static_cast<const char*>(value), length, text);
    const std::string_view uid(text, std::strlen(text));
    if (uid == uid_implicit_vr_little_endian) return syntax_implicit_le;
    if (uid == uid_explicit_vr_little_endian) return syntax_explicit_le;
    return syntax_other;
}

}  // namespace velk
