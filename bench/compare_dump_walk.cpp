// The floor velkdump is measured against: a walk of the element headers with the
// same parser that prints one short line per element (tag and offset) and
// nothing else: no dictionary, no values, no conversion.
//
// usage: velk_compare_dump_walk FILE
#include <cstdio>
#include <vector>

#include "parse/file.h"
#include "parse/mapping.h"

using namespace velk;

namespace {

class line_per_element : public dcm_element_visitor {
public:
    explicit line_per_element(std::FILE* out) : m_out(out) { m_buffer.reserve(1 << 20); }
    ~line_per_element() { flush(); }

    void set_base(const void* base) override { m_base = static_cast<const char*>(base); }
    bool enter(const void*, std::uint32_t, std::uint32_t, dcm_syntax) override { return true; }
    bool leave(std::uint64_t) override { return false; }
    dcm_visit element(const void* start, dcm_syntax, std::uint32_t tag, const char*, bool,
                      const void*, std::uint32_t) override {
        char line[40];
        const int n = std::snprintf(line, sizeof line, "(%04X,%04X);%u\n", tag >> 16, tag & 0xFFFF,
                                    unsigned(static_cast<const char*>(start) - m_base));
        m_buffer.insert(m_buffer.end(), line, line + n);
        if (m_buffer.size() > (1 << 20) - 64) flush();
        return visit_descend;
    }

private:
    void flush() {
        std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_out);
        m_buffer.clear();
    }

    std::FILE* m_out;
    const char* m_base = nullptr;
    std::vector<char> m_buffer;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: velk_compare_dump_walk FILE\n", stderr);
        return 2;
    }
    dcm_file_mapping file(argv[1]);
    if (!file.is_open()) return 1;
    line_per_element visitor(stdout);
    dcm_parse_file(file.begin(), file.end(), visitor);
    return 0;
}
