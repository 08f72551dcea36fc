#include "present/unknown_value.h"

#include <cstring>

#include "present/render.h"

namespace velk {

bool dcm_is_printable_text(const char* first, const char* last) {
    const char* end = last;
    while (end > first && (end[-1] == '\0' || end[-1] == ' ')) --end;
    if (end == first) return false;
    for (const char* p = first; p < end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if ((c < 0x20 || c > 0x7E) && c != '\t' && c != '\r' && c != '\n') return false;
    }
    return true;
}

std::size_t dcm_unknown_value_cut(char* out, std::size_t capacity, const char* first,
                                  const char* last, std::size_t limit) {
    if (capacity == 0) return 0;
    if (last < first) last = first;
    if (!dcm_is_printable_text(first, last))
        return dcm_render_value_cut(out, capacity, "OB", first, last, limit);
    std::size_t n = static_cast<std::size_t>(last - first);
    if (const void* nul = std::memchr(first, 0, n))
        n = static_cast<std::size_t>(static_cast<const char*>(nul) - first);
    if (n > capacity - 1) n = capacity - 1;
    std::memcpy(out, first, n);
    out[n] = '\0';
    return n;
}

}  // namespace velk
