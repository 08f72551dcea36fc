// Where a listing's text goes: a buffer that is written to a stream as it grows
// when it has one, and is kept whole when it has none (a file listed on a worker
// thread, waiting for its turn). It is the sink the row model's writers claim
// room in.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace velk {

class text_output {
public:
    using unit = char;

    explicit text_output(std::FILE* stream = nullptr) : m_stream(stream) {}
    ~text_output() { flush(); }
    text_output(const text_output&) = delete;
    text_output& operator=(const text_output&) = delete;

    // Room for at least n characters, then the end of what was written there.
    // Called for every row: the common case is inline.
    char* claim(std::size_t n) {
        return m_capacity - m_used >= n ? m_text.get() + m_used : make_room(n);
    }
    void commit(char* end) {
        m_used = static_cast<std::size_t>(end - m_text.get());
        if (m_stream && m_used >= flush_size) flush();
    }
    void put(std::string_view text);
    // Text already whole elsewhere: a long one goes to the stream as it is,
    // after what is held, without being copied; a short one is held as put() holds it.
    void write_through(std::string_view text);

    // Text that is written just before the first output after start(): a file's
    // heading, which a file left out must not leave behind.
    void set_lead(std::string lead) {
        m_lead = std::move(lead);
        m_started = false;
    }
    void start();
    bool started() const { return m_started; }

    // Writes what is held to the stream (nothing without one).
    void flush();
    bool failed() const { return m_failed; }

    // The text held, for an output without a stream; take() empties it.
    std::string_view text() const { return {m_text.get(), m_used}; }
    std::string take();
    // Drops the text held and the lead, keeping the room for the next text.
    void clear();

private:
    // One write per megabyte or so on a stream.
    static constexpr std::size_t flush_size = 1 << 20;

    char* make_room(std::size_t n);

    std::FILE* m_stream;
    // Not zeroed when it grows: its pages are touched only as text is written.
    std::unique_ptr<char[]> m_text;
    std::size_t m_capacity = 0;
    std::size_t m_used = 0;  // m_text beyond m_used is claimed room, not text
    std::string m_lead;
    bool m_started = false;
    bool m_failed = false;
};

}  // namespace velk
