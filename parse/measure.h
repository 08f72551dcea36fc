// Measures an undefined-length value that is stepped over rather than descended
// into: the bytes up to and including the delimiter that ends it, as a walk that
// skips every element would consume them. The walk is iterative, so a value made
// of 100,000 nested undefined-length items costs a counter, not 100,000 calls.
#pragma once

#include <algorithm>
#include <cstdint>

#include "parse/header.h"

namespace velk {

// The syntax mode of each open level. A nested level starts in its parent's mode
// and only a Transfer Syntax UID changes it, so only changes are kept, each with
// the level it happened at. Should a hostile value hold more changes on one path
// than there are slots, later changes overwrite the innermost one: the walk stays
// bounded and deterministic, only its choice of mode becomes approximate.
class dcm_mode_stack {
public:
    explicit dcm_mode_stack(dcm_syntax initial) : m_initial(initial) {}

    dcm_syntax current() const { return m_count ? m_mode[m_count - 1] : m_initial; }

    void change(std::uint64_t level, dcm_syntax mode) {
        if (m_count && m_level[m_count - 1] == level) {
            m_mode[m_count - 1] = mode;
        } else if (m_count < slots) {
            m_level[m_count] = level;
            m_mode[m_count] = mode;
            ++m_count;
        } else {
            m_mode[m_count - 1] = mode;
        }
    }

    void leave(std::uint64_t level) {
        if (m_count && m_level[m_count - 1] == level) --m_count;
    }

private:
    static constexpr unsigned slots = 32;
    dcm_syntax m_initial;
    unsigned m_count = 0;
    std::uint64_t m_level[slots] = {};
    dcm_syntax m_mode[slots] = {};
};

template <class Ptr>
std::uint64_t dcm_measure_undefined(Ptr value, dcm_syntax mode, Ptr end) {
    Ptr p = value;
    std::uint64_t open = 0;  // levels open inside the measured value
    dcm_mode_stack modes(mode);
    for (;;) {
        dcm_syntax m = modes.current();
        dcm_header<Ptr> h;
        std::uint64_t unused = 0;
        if (!dcm_decode_header(p, end, m, h, unused)) break;
        if (m != modes.current()) modes.change(open, m);
        p = h.value;
        if (dcm_is_delimiter(h.tag)) {
            if (open == 0) break;
            modes.leave(open);
            --open;
        } else if (h.length == undefined_length) {
            ++open;
        } else {
            p += std::min<std::uint64_t>(h.length, dcm_bytes_left(p, end));
        }
    }
    return static_cast<std::uint64_t>(p - value);
}

}  // namespace velk
