// Fuzz target: a whole part-10 file in memory. Loads it as the viewer does,
// produces the text of every cell of every row, then walks every container
// again on its own, as an expand does, which must give back exactly the rows
// the load gave for it.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"

using namespace velk;

namespace {

// The rows after `row` nested in it, by true level.
std::size_t nested_end(const fuzz::loaded_file& file, std::size_t row) {
    std::size_t end = row + 1;
    while (end < file.rows.size() && file.rows[end].level > file.rows[row].level) ++end;
    return end;
}

bool same(const dcm_record& a, const dcm_record& b) {
    return a.offset == b.offset && a.length == b.length && a.vr[0] == b.vr[0] &&
           a.vr[1] == b.vr[1] && a.level == b.level && a.header_length == b.header_length &&
           a.syntax == b.syntax && a.container == b.container && a.recurse == b.recurse;
}

void expand_every_container(const fuzz::exact_input& file, const fuzz::loaded_file& loaded) {
    for (std::size_t i = 0; i < loaded.rows.size(); ++i) {
        const dcm_record& row = loaded.rows[i];
        if (!row.container) continue;
        const std::size_t end = nested_end(loaded, i);
        const std::vector<dcm_record> again = dcm_reparse_record(file.begin(), file.end(), row);
        fuzz::require(again.size() == end - i, "an expand gives as many rows as the load");
        fuzz::require(std::equal(again.begin(), again.end(), loaded.rows.begin() + i, same),
                      "an expand gives the rows of the load");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::exact_input file(data, size);
    const fuzz::loaded_file loaded = fuzz::load(file.begin(), file.end());
    fuzz::render_every_cell(file.begin(), file.end(), loaded.rows);
    expand_every_container(file, loaded);
    return 0;
}
