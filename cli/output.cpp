#include "cli/output.h"

#include <algorithm>

namespace velk {

namespace {

// One write per megabyte or so on a stream.
constexpr std::size_t flush_size = 1 << 20;

}  // namespace

char* text_output::claim(std::size_t n) {
    if (m_text.size() < m_used + n) m_text.resize(std::max(m_used + n, 2 * m_text.size()));
    return &m_text[m_used];
}

void text_output::commit(char* end) {
    m_used = static_cast<std::size_t>(end - m_text.data());
    flush_when_full();
}

void text_output::put(std::string_view text) {
    char* p = claim(text.size());
    text.copy(p, text.size());
    commit(p + text.size());
}

void text_output::start() {
    if (m_started) return;
    m_started = true;
    std::string lead;
    lead.swap(m_lead);
    put(lead);
}

void text_output::flush_when_full() {
    if (m_stream && m_used >= flush_size) flush();
}

void text_output::flush() {
    if (!m_stream || m_used == 0) return;
    if (std::fwrite(m_text.data(), 1, m_used, m_stream) != m_used || std::fflush(m_stream) != 0)
        m_failed = true;
    m_used = 0;
}

std::string text_output::take() {
    m_text.resize(m_used);
    m_used = 0;
    std::string text;
    text.swap(m_text);
    return text;
}

}  // namespace velk
