// Writes the bad-input catalogue into a folder, for the tests and tools that
// open its files by name (velkdump, the viewer under wine, the fuzzers).
//
//   velk_make_catalogue FOLDER           NAME.dcm for every case
//   velk_make_catalogue FOLDER --seeds   only the cases small enough to seed a fuzzer
//   velk_make_catalogue FOLDER --values  the value of every element of those
//                                        cases, as the value renderer's fuzzer
//                                        takes it: two VR bytes, a limit, the bytes
//   velk_make_catalogue FOLDER --uids    their Transfer Syntax UID values
//
// With the first two, catalogue.txt lists one line "NAME ROWS" per file written.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "catalogue.h"
#include "parse/cursor.h"
#include "parse/file.h"

using namespace velk;

namespace {

bool write_file(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

std::vector<std::string> seed_files() {
    std::vector<std::string> files;
    for (const catalogue::case_file& c : catalogue::all_cases()) {
        std::string bytes = c.make();
        if (bytes.size() <= catalogue::seed_size_limit) files.push_back(std::move(bytes));
    }
    return files;
}

std::vector<dcm_cursor> rows_of(const std::string& bytes) {
    std::vector<dcm_cursor> rows;
    dcm_cursor_insert<std::back_insert_iterator<std::vector<dcm_cursor>>> visitor(
        std::back_inserter(rows), 0, nullptr);
    dcm_parse_file(bytes.data(), bytes.data() + bytes.size(), visitor);
    return rows;
}

// The value bytes of a row that lie in the file, at most `most` of them.
std::string value_of(const std::string& bytes, const dcm_cursor& row, std::size_t most) {
    const std::size_t at = std::size_t(row.offset) + row.header_length;
    if (at >= bytes.size()) return std::string();
    return bytes.substr(at, std::min<std::size_t>({row.length, most, bytes.size() - at}));
}

bool is_transfer_syntax(const std::string& bytes, const dcm_cursor& row) {
    return bytes.compare(row.offset, 4, std::string("\x02\x00\x10\x00", 4)) == 0;
}

// Distinct inputs for one of the small fuzzers, drawn from the seed files.
std::set<std::string> small_inputs(bool uids) {
    constexpr std::size_t longest_value = 512;  // longer ones only slow the fuzzer
    constexpr char ob_limit = 24;               // what the list passes
    std::set<std::string> inputs;
    for (const std::string& bytes : seed_files()) {
        for (const dcm_cursor& row : rows_of(bytes)) {
            const std::string value = value_of(bytes, row, longest_value);
            if (uids && is_transfer_syntax(bytes, row)) inputs.insert(value);
            if (!uids && (row.vr[0] || row.vr[1]))
                inputs.insert(std::string(row.vr, 2) + ob_limit + value);
        }
    }
    if (uids) inputs.insert("1.2.840.10008.1.2 ");  // a blank pad is not the standard's NUL
    return inputs;
}

bool write_inputs(const std::string& folder, const std::set<std::string>& inputs) {
    std::size_t n = 0;
    for (const std::string& input : inputs) {
        char name[32];
        std::snprintf(name, sizeof name, "input_%04zu", n++);
        if (!write_file(folder + name, input)) return false;
    }
    return true;
}

bool write_cases(const std::string& folder, bool seeds_only) {
    std::string manifest;
    for (const catalogue::case_file& c : catalogue::all_cases()) {
        const std::string bytes = c.make();
        if (seeds_only && bytes.size() > catalogue::seed_size_limit) continue;
        if (!write_file(folder + c.name + ".dcm", bytes)) return false;
        manifest += std::string(c.name) + " " + std::to_string(c.rows) + "\n";
    }
    return write_file(folder + "catalogue.txt", manifest);
}

}  // namespace

int main(int argc, char** argv) {
    // FILE --sparse-pixels N: one sparse file of N fragments of 1 GiB, for the
    // large-file tests and benchmark.
    if (argc == 4 && std::string(argv[2]) == "--sparse-pixels") {
        const unsigned fragments = unsigned(std::strtoul(argv[3], nullptr, 10));
        if (catalogue::write_sparse_pixel_file(argv[1], fragments, std::uint32_t(1) << 30))
            return 0;
        std::fprintf(stderr, "cannot write the sparse file %s\n", argv[1]);
        return 1;
    }
    const std::string mode = argc == 3 ? argv[2] : "";
    if (argc < 2 || argc > 3 ||
        (argc == 3 && mode != "--seeds" && mode != "--values" && mode != "--uids")) {
        std::fprintf(stderr,
                     "usage: %s FOLDER [--seeds | --values | --uids] | FILE --sparse-pixels N\n",
                     argv[0]);
        return 2;
    }
    std::error_code error;
    std::filesystem::create_directories(argv[1], error);
    const std::string folder = std::string(argv[1]) + "/";
    const bool written = mode == "--values" ? write_inputs(folder, small_inputs(false))
                         : mode == "--uids" ? write_inputs(folder, small_inputs(true))
                                            : write_cases(folder, mode == "--seeds");
    if (!written) {
        std::fprintf(stderr, "cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
