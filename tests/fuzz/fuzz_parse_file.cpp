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
    while (end < file.rows.size() && file.levels[end] > file.levels[row]) ++end;
    return end;
}

bool same(const dcm_cursor& a, const dcm_cursor& b) {
    return a.offset == b.offset && a.length == b.length && a.vr[0] == b.vr[0] &&
           a.vr[1] == b.vr[1] && a.depth == b.depth && a.header_length == b.header_length &&
           a.container == b.container;
}

void expand_every_container(const fuzz::exact_input& file, const fuzz::loaded_file& loaded) {
    for (std::size_t i = 0; i < loaded.rows.size(); ++i) {
        const dcm_cursor& row = loaded.rows[i];
        if (!row.container) continue;
        const std::size_t end = nested_end(loaded, i);
        const dcm_container_context* context = dcm_find_context(loaded.contexts, row.offset);
        if (!context) {
            // Reported as a container but never entered: a delimiter of undefined length.
            fuzz::require(end == i + 1, "a container entered without a context");
            continue;
        }
        std::vector<std::uint32_t> levels;
        const dcm_cursor_vector again =
            dcm_reparse_container(file.begin(), file.end(), row, *context, &levels);
        fuzz::require(again.size() == end - i, "an expand gives as many rows as the load");
        fuzz::require(std::equal(again.begin(), again.end(), loaded.rows.begin() + i, same),
                      "an expand gives the rows of the load");
        fuzz::require(std::equal(levels.begin(), levels.end(), loaded.levels.begin() + i),
                      "an expand gives the levels of the load");
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
