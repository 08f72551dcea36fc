// Fuzz target: the Interpret walk and its cells. The input's first byte picks the
// transfer syntax of a file meta group made here (implicit, explicit or big-endian
// VR, deflated, or the input's own bytes as a whole file); the rest is the data
// set. Every record must lie inside the bytes it counts in, in order, no more than
// their 8-byte headers allow; every cell of every record is asked for, and a
// container's re-walk must give the rows the load gave.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <zlib.h>

#include "fuzz_support.h"
#include "parse/interpret_walk.h"
#include "present/cell_text.h"
#include "present/interpret_cells.h"

using namespace velk;

namespace {

const char* const syntaxes[] = {"1.2.840.10008.1.2", "1.2.840.10008.1.2.1", "1.2.840.10008.1.2.2",
                                "1.2.840.10008.1.2.1.99"};

std::string le16(unsigned v) { return {char(v & 0xFF), char((v >> 8) & 0xFF)}; }

std::string part10(unsigned choice, const std::uint8_t* data, std::size_t size) {
    if (choice >= 4) return std::string(reinterpret_cast<const char*>(data), size);
    std::string uid = syntaxes[choice];
    if (uid.size() % 2) uid += '\0';
    std::string file(128, '\0');
    file += "DICM";
    file += le16(0x0002) + le16(0x0010) + "UI" + le16(unsigned(uid.size())) + uid;
    std::string set(reinterpret_cast<const char*>(data), size);
    if (choice == 3) {
        // Deflate the data set, so that the walk sees the input itself after inflating.
        std::vector<Bytef> packed(compressBound(uLong(set.size())) + 64);
        z_stream z{};
        deflateInit2(&z, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        z.next_in = reinterpret_cast<Bytef*>(&set[0]);
        z.avail_in = uInt(set.size());
        z.next_out = packed.data();
        z.avail_out = uInt(packed.size());
        deflate(&z, Z_FINISH);
        set.assign(reinterpret_cast<const char*>(packed.data()), z.total_out);
        deflateEnd(&z);
    }
    return file + set;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string built = part10(data[0] % 5, data + 1, size - 1);
    const fuzz::exact_input file(reinterpret_cast<const std::uint8_t*>(built.data()), built.size());
    dcm_interpret_document document;
    std::vector<dcm_record> records;
    dcm_read_records_interpret(file.begin(), file.end(), dcm_interpret_dictionary_vr, records,
                               document.data);
    document.find_charsets(file.begin(), file.end(), records);
    const std::size_t inflated = document.data.inflated.size();
    fuzz::require(records.size() <= (file.size() + inflated) / 8 + 2,
                  "no more records than headers fit");
    char cell[dcm_cell_capacity];
    for (std::size_t i = 0; i < records.size(); ++i) {
        const dcm_record& r = records[i];
        const std::size_t bytes = r.inflated ? inflated : file.size();
        fuzz::require(r.offset + std::uint64_t(r.header_length) <= bytes,
                      "a record's header lies inside its bytes");
        for (int column = 0; column < dcm_column_count; ++column)
            dcm_interpret_cell_text(file.begin(), file.end(), document, r, column, cell,
                                    sizeof cell);
        if (r.container && i % 7 == 0) {
            const char* begin = file.begin();
            const char* end = file.end();
            document.bytes_of(r, begin, end);
            const std::vector<dcm_record> again =
                dcm_reparse_record_interpret(begin, end, dcm_interpret_dictionary_vr, r);
            fuzz::require(again.empty() || (again.front().offset == r.offset &&
                                            i + again.size() <= records.size()),
                          "a re-walk gives the container and rows the load gave");
        }
    }
    return 0;
}
