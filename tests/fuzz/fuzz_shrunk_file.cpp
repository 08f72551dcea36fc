// Fuzz target: a file that changed after it was loaded. The input is loaded as
// the viewer loads it; then, against a copy cut short at a few places (the file
// shrank) and against a copy of the same size with other bytes (the file was
// replaced), every cell is rendered, containers are collapsed and expanded
// again as the list does it, and the copy is loaded afresh as a refresh does.
// Each copy is exactly sized, so a read past its end is caught.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "present/row_model.h"

using namespace velk;

namespace {

// A cut that varies with the input without the fuzzer steering it byte by byte.
std::size_t hashed_cut(const std::uint8_t* data, std::size_t size) {
    std::uint32_t h = 2166136261u;  // FNV-1a
    for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
    return size ? h % size : 0;
}

// What must hold whatever the file did: collapsed rows are containers inside
// the list.
void check_consistent(const dcm_row_model& rows) {
    for (int r : rows.collapsed()) {
        fuzz::require(
            r >= 0 && std::size_t(r) < rows.size() && rows.records()[std::size_t(r)].container,
            "a collapsed row is a container in the list");
    }
}

// Collapses and expands containers, the list's rows as they stand, against the
// changed bytes; then renders the cells of every row against them. Each toggle
// costs a walk and moves the rows after it, so only the first containers are
// toggled: a search finds more in many quick runs than in a few slow ones.
void toggle_containers(dcm_row_model& rows, const fuzz::exact_input& now) {
    constexpr std::size_t most_toggles = 64;
    std::size_t toggles = 0;
    for (std::size_t i = 0; i < rows.size() && toggles < most_toggles; ++i) {
        if (!rows.records()[i].container) continue;
        rows.collapse(i);
        rows.expand(i, {now.begin(), now.end()});
        ++toggles;
    }
    check_consistent(rows);
    fuzz::render_every_cell(now.begin(), now.end(), rows.records());
}

void change_and_use(const fuzz::exact_input& file, const std::string& changed) {
    const fuzz::exact_input now(reinterpret_cast<const std::uint8_t*>(changed.data()),
                                changed.size());
    dcm_row_model rows;
    rows.load({file.begin(), file.end()});
    toggle_containers(rows, now);
    rows.load({now.begin(), now.end()});  // refresh
    check_consistent(rows);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::exact_input file(data, size);
    const std::string bytes(file.begin(), file.size());
    for (std::size_t cut : {hashed_cut(data, size), size / 2, size ? size - 1 : 0}) {
        change_and_use(file, bytes.substr(0, cut));
    }
    // Replaced by a file of the same size: the bytes from the middle on first.
    change_and_use(file, bytes.substr(size / 2) + bytes.substr(0, size / 2));
    return 0;
}
