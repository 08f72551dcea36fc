// The filter and the inspector on the 100,000-element file the element list is
// measured on: each keystroke of a filter typed letter by letter, a filter that
// matches nothing, and opening the inspector on a short value and on a value of
// a gigabyte (a sparse file) with its first page of lines. Portable, and run
// under wine as velk.exe would run it. Prints the median and the fastest of
// several runs, and each as a ratio: a keystroke against the 100 ms a keystroke
// may take, the gigabyte value against the short one.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "parse/mapping.h"
#include "present/cell_text.h"
#include "present/inspect.h"
#include "present/row_model.h"
#include "view/row_filter.h"
#include "view_bench_file.h"

using namespace velk;

namespace {

double milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Prints the median and the fastest of the runs and the median's ratio to
// `against` (a budget, or another figure of this run); answers the median.
double report(const char* what, std::vector<double> times, double against,
              const char* against_what) {
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("%-50s median %8.2f ms  fastest %8.2f ms  %6.3f x %s\n", what, median,
                times.front(), median / against, against_what);
    return median;
}

constexpr double keystroke_budget_ms = 100;

// A file whose last element is an OB value of `size` bytes, written sparse.
std::string write_big_value_file(const std::filesystem::path& path, std::uint32_t size) {
    test::dicom_builder b;
    b.preamble()
        .transfer_syntax(test::explicit_le_uid())
        .explicit_header(0x7FE0, 0x0010, "OB", size);
    std::ofstream out(path, std::ios::binary);
    out.write(b.bytes().data(), std::streamsize(b.size()));
    out.close();
    std::filesystem::resize_file(path, b.size() + size);
    return path.string();
}

}  // namespace

int main() {
    constexpr int runs = 9;
    const view_bench_file file = make_view_bench_file();
    const char* begin = file.bytes.data();
    const char* end = begin + file.bytes.size();
    dcm_row_model rows;
    rows.load({begin, end});
    const auto cells = [&](std::size_t row, int column, char* out, std::size_t capacity) {
        return rows.cell_text({begin, end}, row, column, out, capacity);
    };
    std::printf("%zu rows\n", rows.size());

    // "1.2.3" is typed letter by letter, then erased; the worst keystroke is a
    // first letter, which looks at every row.
    const std::vector<std::string> typed = {"1", "1.", "1.2", "1.2.", "1.2.3"};
    std::vector<double> first_letter, later_letters, no_match;
    for (int run = 0; run < runs; ++run) {
        dcm_row_filter filter;
        for (const std::string& text : typed) {
            const double ms =
                milliseconds([&] { filter.apply(rows.records(), dcm_column_count, cells, text); });
            (text.size() == 1 ? first_letter : later_letters).push_back(ms);
        }
        dcm_row_filter fresh;
        no_match.push_back(
            milliseconds([&] { fresh.apply(rows.records(), dcm_column_count, cells, "zzz"); }));
    }
    report("filter: first letter (every row looked at)", first_letter, keystroke_budget_ms,
           "budget");
    report("filter: each further letter (previous matches)", later_letters, keystroke_budget_ms,
           "budget");
    report("filter: a text nothing holds, from scratch", no_match, keystroke_budget_ms, "budget");

    const auto inspect = [&](const char* what, const char* b, const char* e, const dcm_record& c) {
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            times.push_back(milliseconds([&] {
                const dcm_inspection in(b, e, c, "");
                std::size_t n = 0;
                for (std::size_t i = 0; i < std::min<std::size_t>(in.line_count(), 60); ++i)
                    n += in.line(i, b, e).size();
                if (n == 0) std::puts("nothing shown");
            }));
        }
        return report(what, times, keystroke_budget_ms, "budget");
    };
    inspect("inspector: a short value, 60 lines", begin, end, rows.record(10));
    const std::filesystem::path big =
        std::filesystem::temp_directory_path() / "velk_browse_bench_big.dcm";
    write_big_value_file(big, 1u << 30);
    {
        dcm_file_mapping map(big.string().c_str());
        dcm_row_model big_rows;
        big_rows.load(dcm_bytes::of(map));
        std::vector<double> times;
        for (int run = 0; run < runs; ++run)
            times.push_back(milliseconds([&] {
                dcm_file_mapping again(big.string().c_str());
                const dcm_inspection in(again.begin(), again.end(), big_rows.records().back(), "");
                for (std::size_t i = 0; i < 60; ++i) in.line(i, again.begin(), again.end());
            }));
        report("inspector: 1 GiB value, mapped, 60 lines", times, keystroke_budget_ms, "budget");
    }
    std::filesystem::remove(big);
    return 0;
}
