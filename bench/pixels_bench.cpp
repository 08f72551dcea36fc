// The time to show a frame: map the file, load its rows (the Interpret
// reading), describe and decode frame 1, find its window and make the 8-bit
// image. pixels_bench.py runs it beside pydicom doing the same.
//
// usage: velk_pixels_bench RUNS FILE...   prints "FILE MEDIAN_MS MEDIAN_CPU_MS" per
// file: the wall clock, and the processor time the process used (on a machine
// shared with other work, the wall clock also counts the waits for a processor).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "parse/mapping.h"
#include "pixels/decode.h"
#include "pixels/display.h"
#include "present/row_model.h"

using namespace velk;

namespace {

// One showing of frame 1; answers the image's first byte, so that nothing is optimised away.
int show_first_frame(const char* path) {
    const dcm_file_mapping file(path);
    dcm_row_model rows(dcm_reading::interpret);
    rows.load(dcm_bytes::of(file));
    const std::size_t row =
        dcm_find_pixel_row(file.begin(), file.end(), rows.records(), rows.reading());
    dcm_pixel_description d;
    std::string problem;
    if (!dcm_describe_pixels(file.begin(), file.end(), rows.records(), row, rows.reading(), d,
                             problem))
        return -1;
    const dcm_decoded_frame decoded = dcm_decode_frame(d, 0);
    if (!decoded.ok()) return -1;
    const dcm_display_image image =
        dcm_display(d, decoded.frame, dcm_default_window(d, decoded.frame));
    return image.pixels.empty() ? -1 : image.pixels[0];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: velk_pixels_bench RUNS FILE...\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    for (int f = 2; f < argc; ++f) {
        std::vector<double> ms, cpu_ms;
        for (int i = 0; i < runs; ++i) {
            const auto start = std::chrono::steady_clock::now();
            const std::clock_t cpu_start = std::clock();
            if (show_first_frame(argv[f]) < 0) {
                std::fprintf(stderr, "%s: no frame\n", argv[f]);
                return 1;
            }
            cpu_ms.push_back(1000.0 * double(std::clock() - cpu_start) / CLOCKS_PER_SEC);
            ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
        }
        std::sort(ms.begin(), ms.end());
        std::sort(cpu_ms.begin(), cpu_ms.end());
        std::printf("%s %.3f %.3f\n", argv[f], ms[ms.size() / 2], cpu_ms[cpu_ms.size() / 2]);
    }
    return 0;
}
