// Fuzz target: the json of a whole part-10 file in memory. The document must be
// well-formed JSON that parses back to the same object, every binary value a
// BulkDataURI inside the file, and the csv of the same rows well formed, one
// record of seven fields per row.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/csv_writer.h"
#include "cli/json_writer.h"
#include "csv_reader.h"
#include "fuzz_support.h"

using namespace velk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::exact_input file(data, size);
    const dcm_bytes bytes{file.begin(), file.end()};
    dcm_row_model rows;
    rows.load(bytes);

    const nlohmann::json document = dicom_json(rows, bytes, "file:///fuzz");
    for (const bool one_line : {true, false}) {
        const std::string text = json_text(document, one_line);
        const nlohmann::json back = nlohmann::json::parse(text, nullptr, false);
        fuzz::require(!back.is_discarded() && back.is_object(), "the json parses as an object");
        fuzz::require(!one_line || text.find('\n') == std::string::npos, "one line when asked");
    }

    text_output csv;
    write_csv_rows(rows, bytes, nullptr, csv);
    test::csv_records records;
    fuzz::require(test::read_csv(csv.take(), records), "the csv is well formed");
    fuzz::require(records.size() == rows.size(), "one csv record per row");
    for (const auto& record : records) fuzz::require(record.size() == 7, "seven fields a record");
    return 0;
}
