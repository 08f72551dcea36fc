// Lists the records that a load of each file gives, one line each:
// "offset depth tag length vr-bytes-in-hex container". Used to hold the parser against an
// independent reading of real files; built with sanitizers, it also shows that
// no real file makes the load misbehave.
#include <cstdio>
#include <vector>

#include "parse/file.h"
#include "parse/mapping.h"
#include "parse/record.h"

using namespace velk;

namespace {

unsigned tag_at(const dcm_file_mapping& file, const dcm_record& c) {
    const auto* p = reinterpret_cast<const unsigned char*>(file.begin() + c.offset);
    return unsigned(p[0] | p[1] << 8) << 16 | unsigned(p[2] | p[3] << 8);
}

void list(const char* path) {
    dcm_file_mapping file(path);
    std::vector<dcm_record> records;
    dcm_read_records(file.begin(), file.end(), records);
    for (const dcm_record& c : records) {
        std::printf("%llu %u %08X %u %02X%02X %u\n", static_cast<unsigned long long>(c.offset),
                    c.depth(), tag_at(file, c), c.length,
                    unsigned(static_cast<unsigned char>(c.vr[0])),
                    unsigned(static_cast<unsigned char>(c.vr[1])), unsigned(c.container));
    }
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) list(argv[i]);
    return 0;
}
