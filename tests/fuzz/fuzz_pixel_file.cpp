// Fuzz target: a whole file's pixels, as velkdump --image and the viewer take
// them: the Interpret load, the Pixel Data's description from its data set,
// the fragments, and the first and last frame decoded and shown.
#include "fuzz_pixels.h"
#include "pixels/decode.h"
#include "present/row_model.h"

using namespace velk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::exact_input input(data, size);
    dcm_row_model rows(dcm_reading::interpret);
    rows.load({input.begin(), input.end()});
    const std::size_t row =
        dcm_find_pixel_row(input.begin(), input.end(), rows.records(), rows.reading());
    if (row >= rows.size()) return 0;
    dcm_pixel_description d;
    std::string problem;
    if (!dcm_describe_pixels(input.begin(), input.end(), rows.records(), row, rows.reading(), d,
                             problem))
        return 0;
    for (const std::uint32_t index : {0u, d.frames - 1}) {
        const dcm_decoded_frame decoded = dcm_decode_frame(d, index);
        fuzz::check_decoded(d, decoded.ok(), decoded.frame, decoded.problem);
    }
    return 0;
}
