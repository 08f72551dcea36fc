// The element list's row bookkeeping on 100,000 rows (and the load of a million,
// with its memory per row): the load, and collapsing
// and expanding a container of 10,000 rows, which must cost the same whatever
// number of collapsed rows lies below it and grow only linearly with the list.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>

#include "present/row_model.h"
#include "view_bench_file.h"

using namespace velk;

namespace {

const view_bench_file& file() {
    static const view_bench_file f = make_view_bench_file();
    return f;
}

void BM_LoadRows(benchmark::State& state) {
    const std::string& bytes = file().bytes;
    dcm_row_model rows;
    for (auto _ : state) {
        rows.load({bytes.data(), bytes.data() + bytes.size()});
        benchmark::DoNotOptimize(rows.size());
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(rows.size()));
}
BENCHMARK(BM_LoadRows)->Unit(benchmark::kMillisecond);

// Argument: how many of the small containers below the big one are collapsed.
void BM_CollapseExpandBelowCollapsedRows(benchmark::State& state) {
    const view_bench_file& f = file();
    const char* begin = f.bytes.data();
    const char* end = begin + f.bytes.size();
    dcm_row_model rows;
    rows.load({begin, end});
    std::int64_t wanted = state.range(0);
    for (std::size_t r = rows.size(); r-- > f.big_row + 10001 && wanted > 0;) {
        if (rows.records()[r].container && rows.records()[r].level == 0) {
            rows.collapse(r);
            --wanted;
        }
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(rows.collapse(f.big_row));
        benchmark::DoNotOptimize(rows.expand(f.big_row, {begin, end}));
    }
    state.counters["collapsed"] = double(rows.collapsed().size());
}
BENCHMARK(BM_CollapseExpandBelowCollapsedRows)
    ->Arg(0)
    ->Arg(100)
    ->Arg(400)
    ->Unit(benchmark::kMicrosecond);

// Argument: rows in the list; the container keeps its 10,000 rows.
void BM_CollapseExpandInLongerLists(benchmark::State& state) {
    const view_bench_file f = make_view_bench_file(std::size_t(state.range(0)));
    const char* begin = f.bytes.data();
    const char* end = begin + f.bytes.size();
    dcm_row_model rows;
    rows.load({begin, end});
    for (auto _ : state) {
        benchmark::DoNotOptimize(rows.collapse(f.big_row));
        benchmark::DoNotOptimize(rows.expand(f.big_row, {begin, end}));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CollapseExpandInLongerLists)
    ->RangeMultiplier(2)
    ->Range(25000, 400000)
    ->Complexity()
    ->Unit(benchmark::kMicrosecond);

// A million rows: the load, and the resident memory each row of the list holds
// (read from /proc/self/statm before the run's first load and after its last,
// with the model kept; the file's bytes are made before either).
std::size_t resident_bytes() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    unsigned long size = 0, resident = 0;
    if (f) {
        if (std::fscanf(f, "%lu %lu", &size, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return std::size_t(resident) * std::size_t(::sysconf(_SC_PAGESIZE));
}

void BM_LoadMillionRows(benchmark::State& state) {
    static const view_bench_file f = make_view_bench_file(1000000, 10000);
    const char* begin = f.bytes.data();
    const char* end = begin + f.bytes.size();
    // Before the first load of the run: the memory later loads reuse stays counted.
    static const std::size_t before = resident_bytes();
    dcm_row_model rows;
    for (auto _ : state) {
        rows.load({begin, end});
        benchmark::DoNotOptimize(rows.size());
    }
    state.counters["rows"] = double(rows.size());
    state.counters["resident_bytes_per_row"] =
        double(resident_bytes() - before) / double(rows.size());
}
BENCHMARK(BM_LoadMillionRows)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
