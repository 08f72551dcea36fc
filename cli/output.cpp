#include "cli/output.h"

#include <algorithm>
#include <cstring>

namespace velk {

char* text_output::make_room(std::size_t n) {
    // With a stream the text held goes out first, so that the buffer stays about
    // one flush long instead of growing with the listing (each growth touched
    // fresh pages and copied the text).
    if (m_stream) flush();
    if (m_capacity < m_used + n) {
        const std::size_t capacity =
            m_stream ? flush_size + n : std::max(m_used + n, 2 * m_capacity);
        std::unique_ptr<char[]> grown(new char[capacity]);
        if (m_used) std::memcpy(grown.get(), m_text.get(), m_used);
        m_text = std::move(grown);
        m_capacity = capacity;
    }
    return m_text.get() + m_used;
}

void text_output::put(std::string_view text) {
    char* p = claim(text.size());
    text.copy(p, text.size());
    commit(p + text.size());
}

void text_output::write_through(std::string_view text) {
    // Long enough that a write of its own costs less than the copy.
    constexpr std::size_t long_text = 64 * 1024;
    if (!m_stream || text.size() < long_text) {
        put(text);
        return;
    }
    flush();
    if (std::fwrite(text.data(), 1, text.size(), m_stream) != text.size() ||
        std::fflush(m_stream) != 0)
        m_failed = true;
}

void text_output::start() {
    if (m_started) return;
    m_started = true;
    std::string lead;
    lead.swap(m_lead);
    put(lead);
}

void text_output::flush() {
    if (!m_stream || m_used == 0) return;
    if (std::fwrite(m_text.get(), 1, m_used, m_stream) != m_used || std::fflush(m_stream) != 0)
        m_failed = true;
    m_used = 0;
}

void text_output::clear() {
    m_used = 0;
    m_lead.clear();
    m_started = false;
}

std::string text_output::take() {
    std::string text(m_text.get(), m_used);
    m_used = 0;
    return text;
}

}  // namespace velk
