// Parse throughput on a generated explicit VR file of 100,000 elements with
// nested sequences, beside the cost of merely reading the same bytes from disk.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "dicom_builder.h"
#include "parse/cursor.h"
#include "parse/file.h"
#include "parse/mapping.h"
#include "parse/record.h"

using namespace velk;

namespace {

// 100,000 elements: a header, then groups of ten plain elements, each tenth
// group inside a sequence (alternately of defined and undefined length).
std::string hundred_thousand_elements() {
    test::dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    std::size_t elements = 1;
    for (int group = 0; elements < 100000; ++group) {
        const bool nested = group % 10 == 0;
        test::dicom_builder items;
        items.item();
        for (int i = 0; i < 10; ++i)
            items.explicit_element(0x0018, std::uint16_t(0x1000 + i), "LO",
                                   "value" + std::to_string(i % 10) + ".");
        items.item_end();
        if (!nested) {
            for (int i = 0; i < 10; ++i)
                b.explicit_element(0x0020, std::uint16_t(0x0010 + i), "DS", "1.25");
            elements += 10;
        } else if (group % 20 == 0) {
            b.sequence(0x0008, 0x1140).raw(items.bytes()).sequence_end();
            elements += 14;
        } else {
            b.sequence(0x0008, 0x1140, std::uint32_t(items.size())).raw(items.bytes());
            elements += 13;
        }
    }
    return b.bytes();
}

const std::string& file_bytes() {
    static const std::string bytes = hundred_thousand_elements();
    return bytes;
}

const std::string& file_path() {
    static const std::string path = [] {
        std::string p = "/tmp/velk_parse_bench.dcm";
        test::dicom_builder().raw(file_bytes()).write(p);
        return p;
    }();
    return path;
}

void count_elements(benchmark::State& state, std::size_t elements) {
    state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(elements));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(file_bytes().size()));
}

// The parse alone, from bytes in memory into a reserved collection.
void ParseInMemory(benchmark::State& state) {
    const std::string& bytes = file_bytes();
    std::vector<dcm_cursor> cursors;
    cursors.reserve(200000);
    for (auto _ : state) {
        cursors.clear();
        dcm_cursor_insert<std::back_insert_iterator<std::vector<dcm_cursor>>> v(
            std::back_inserter(cursors), 0, nullptr);
        dcm_parse_file(bytes.data(), bytes.data() + bytes.size(), v);
        benchmark::DoNotOptimize(cursors.data());
    }
    count_elements(state, cursors.size());
}
BENCHMARK(ParseInMemory)->Unit(benchmark::kMillisecond);

// What a document load does: map the file and read its records.
void LoadFromDisk(benchmark::State& state) {
    const std::string& path = file_path();
    std::vector<dcm_record> records;
    for (auto _ : state) {
        records.clear();
        records.reserve(50000);
        const dcm_file_mapping file(path.c_str());
        dcm_read_records(file.begin(), file.end(), records);
        benchmark::DoNotOptimize(records.data());
    }
    count_elements(state, records.size());
}
BENCHMARK(LoadFromDisk)->Unit(benchmark::kMillisecond);

// The floor: reading the same file into memory with stdio, touching every byte.
void PlainRead(benchmark::State& state) {
    const std::string& path = file_path();
    std::vector<char> buffer(file_bytes().size());
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), f);
        std::fclose(f);
        unsigned sum = 0;
        for (std::size_t i = 0; i < n; i += 64) sum += static_cast<unsigned char>(buffer[i]);
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(file_bytes().size()));
}
BENCHMARK(PlainRead)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
