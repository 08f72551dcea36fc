// Fuzz target: csv quoting. The input, cut into fields at each 0xFF byte, is
// written as one record of csv fields; a strict RFC 4180 reader must give back
// exactly those fields, whatever bytes they hold.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/csv_writer.h"
#include "csv_reader.h"
#include "fuzz_support.h"

using namespace velk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF)
            fields.emplace_back();
        else
            fields.back() += static_cast<char>(data[i]);
    }
    std::string record;
    for (const std::string& field : fields) {
        const std::size_t at = record.size();
        record.resize(at + csv_field_room(field.size()) + 1);
        char* end = csv_field(field.data(), field.size(), &record[at]);
        *end++ = ',';
        record.resize(static_cast<std::size_t>(end - record.data()));
    }
    record.back() = '\r';
    record += '\n';
    test::csv_records back;
    fuzz::require(test::read_csv(record, back), "the record is well formed");
    fuzz::require(back.size() == 1 && back[0] == fields, "the fields come back as they were");
    return 0;
}
