// Fuzz target: the check over a whole part-10 file in memory, in both readings.
// Every finding must lie inside the bytes its offset counts in, and be no more
// than a few per row: the check reads only what the file holds and is bounded.
#include <cstddef>
#include <cstdint>

#include "check/check.h"
#include "fuzz_support.h"

using namespace velk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::exact_input file(data, size);
    for (const dcm_reading reading : {dcm_reading::standard, dcm_reading::interpret}) {
        dcm_row_model rows(reading);
        const dcm_bytes bytes{file.begin(), file.end()};
        rows.load(bytes);
        const dcm_findings findings = dcm_check(rows, bytes);
        const dcm_bytes inflated_bytes = rows.reading().inflated();
        const std::size_t inflated = std::size_t(inflated_bytes.end - inflated_bytes.begin);
        for (const dcm_finding& f : findings.list) {
            fuzz::require(f.offset <= (f.inflated ? inflated : file.size()),
                          "a finding lies inside the bytes its offset counts in");
            fuzz::require(!findings.message(f).empty(), "every finding has a sentence");
        }
        fuzz::require(findings.list.size() <= 8 * rows.size() + 64, "a few findings per row");
    }
    return 0;
}
