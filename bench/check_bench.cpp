// The check over a whole load of the list's benchmark files (100,000 and
// 1,000,000 rows: plain elements, small sequences, one big one, and tags that
// repeat, so that the findings run to the cap), without the load: what the
// viewer runs after the first paint.
#include <benchmark/benchmark.h>

#include "check/check.h"
#include "present/row_model.h"
#include "view_bench_file.h"

using namespace velk;

namespace {

void BM_CheckWholeLoad(benchmark::State& state) {
    const view_bench_file file = make_view_bench_file(std::size_t(state.range(0)));
    const dcm_bytes bytes{file.bytes.data(), file.bytes.data() + file.bytes.size()};
    dcm_row_model rows;
    rows.load(bytes);
    std::size_t findings = 0;
    for (auto _ : state) {
        const dcm_findings found = dcm_check(rows, bytes);
        findings = found.list.size();
        benchmark::DoNotOptimize(findings);
    }
    state.counters["rows"] = double(rows.size());
    state.counters["findings"] = double(findings);
}
BENCHMARK(BM_CheckWholeLoad)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
