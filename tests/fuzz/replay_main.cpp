// Runs a fuzz target without libFuzzer, over every file named and every file in
// each folder named, in name order. The host and sanitizer builds replay the
// seed corpus this way, so that the targets build everywhere and what they once
// found stays fixed. Exits non-zero when no input was found.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> inputs(int argc, char** argv) {
    std::vector<std::filesystem::path> found;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path named(argv[i]);
        if (!std::filesystem::is_directory(named)) {
            found.push_back(named);
            continue;
        }
        std::vector<std::filesystem::path> inside;
        for (const auto& entry : std::filesystem::directory_iterator(named)) {
            if (entry.is_regular_file()) inside.push_back(entry.path());
        }
        std::sort(inside.begin(), inside.end());
        found.insert(found.end(), inside.begin(), inside.end());
    }
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::filesystem::path> files = inputs(argc, argv);
    for (const std::filesystem::path& path : files) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs\n", files.size());
    return files.empty() ? 1 : 0;
}
