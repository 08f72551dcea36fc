// Lists the cursors that a load of each file gives, one line each:
// "offset depth tag length vr-bytes-in-hex container". Used to hold the parser against an
// independent reading of real files; built with sanitizers, it also shows that
// no real file makes the load misbehave.
#include <cstdio>
#include <vector>

#include "parse/file.h"
#include "parse/mapping.h"
#include "parse/reparse.h"

using namespace velk;

namespace {

unsigned tag_at(const dcm_file_mapping& file, const dcm_cursor& c) {
    const auto* p = reinterpret_cast<const unsigned char*>(file.begin() + c.offset);
    return unsigned(p[0] | p[1] << 8) << 16 | unsigned(p[2] | p[3] << 8);
}

void list(const char* path) {
    dcm_file_mapping file(path);
    dcm_cursor_vector cursors;
    std::vector<dcm_container_context> contexts;
    dcm_tracking_insert visitor(cursors, 0, nullptr, true, contexts);
    if (file.is_open()) dcm_parse_file(file.begin(), file.end(), visitor);
    for (const dcm_cursor& c : cursors) {
        std::printf("%u %u %08X %u %02X%02X %u\n", c.offset, unsigned(c.depth), tag_at(file, c),
                    c.length, unsigned(static_cast<unsigned char>(c.vr[0])),
                    unsigned(static_cast<unsigned char>(c.vr[1])), unsigned(c.container));
    }
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) list(argv[i]);
    return 0;
}
