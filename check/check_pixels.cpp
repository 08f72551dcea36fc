// The image pixel description (the standard's PS3.3 section C.7.6.3) against
// itself and against Pixel Data: the bytes native pixel data takes, bits stored
// and high bit, samples per pixel for each photometric interpretation, planar
// configuration, and an encapsulated basic offset table's offsets.
#include <cstdlib>
#include <set>
#include <string>

#include "check/check_source.h"
#include "parse/header.h"
#include "parse/tags.h"

namespace velk {

namespace {

// Samples per pixel of each photometric interpretation (section C.7.6.3.1.2).
struct photometric_samples {
    const char* name;
    std::uint16_t samples;
};
constexpr photometric_samples photometric_table[] = {
    {"MONOCHROME1", 1},
    {"MONOCHROME2", 1},
    {"PALETTE COLOR", 1},
    {"RGB", 3},
    {"YBR_FULL", 3},
    {"YBR_FULL_422", 3},
    {"YBR_PARTIAL_422", 3},
    {"YBR_PARTIAL_420", 3},
    {"YBR_ICT", 3},
    {"YBR_RCT", 3},
    {"HSV", 3},
    {"ARGB", 4},
    {"CMYK", 4},
};

class pixel_check {
public:
    explicit pixel_check(dcm_check_source& source) : m_source(source) {}

    void run() {
        const std::size_t pixels = m_source.top_level(tag_pixel_data);
        bits();
        photometric();
        if (pixels >= m_source.size()) return;
        if (m_source.record(pixels).length == undefined_length)
            offset_table(pixels);
        else
            native_length(pixels);
    }

private:
    bool us(std::uint32_t tag, std::uint16_t& value) const {
        const std::size_t row = m_source.top_level(tag);
        return row < m_source.size() && dcm_check_us(m_source.element(row), value);
    }

    void bits() {
        std::uint16_t allocated = 0, stored = 0, high = 0;
        if (!us(tag_bits_allocated, allocated) || !us(tag_bits_stored, stored)) return;
        const std::size_t stored_row = m_source.top_level(tag_bits_stored);
        if (stored > allocated)
            m_source.add(stored_row, dcm_severity::error, dcm_check_kind::pixel,
                         "Bits Stored " + std::to_string(stored) + " is more than Bits Allocated " +
                             std::to_string(allocated));
        if (us(tag_high_bit, high) && high + 1 != stored)
            m_source.add(m_source.top_level(tag_high_bit), dcm_severity::error,
                         dcm_check_kind::pixel,
                         "High Bit " + std::to_string(high) + " is not Bits Stored - 1 (" +
                             std::to_string(stored - 1) + ")");
    }

    void photometric() {
        std::uint16_t samples = 0;
        if (!us(tag_samples_per_pixel, samples)) return;
        const std::size_t samples_row = m_source.top_level(tag_samples_per_pixel);
        if (samples > 1 && m_source.top_level(tag_planar_configuration) >= m_source.size())
            m_source.add_for(m_source.top_level_place(tag_planar_configuration),
                             tag_planar_configuration, dcm_severity::error, dcm_check_kind::pixel,
                             "Planar Configuration is missing; it is required with " +
                                 std::to_string(samples) + " samples per pixel");
        const std::size_t row = m_source.top_level(tag_photometric_interpretation);
        if (row >= m_source.size()) return;
        const std::string name(dcm_trimmed(m_source.element(row).bytes()));
        for (const photometric_samples& p : photometric_table) {
            if (name != p.name) continue;
            if (p.samples != samples)
                m_source.add(samples_row, dcm_severity::error, dcm_check_kind::pixel,
                             "Samples per Pixel " + std::to_string(samples) + " does not fit " +
                                 name + ", which has " + std::to_string(p.samples));
            return;
        }
    }

    // Number of Frames, 1 when absent or not a number.
    std::uint64_t frames() const {
        const std::size_t row = m_source.top_level(tag_number_of_frames);
        if (row >= m_source.size()) return 1;
        const std::string text(dcm_trimmed(m_source.element(row).bytes()));
        char* end = nullptr;
        const long long n = std::strtoll(text.c_str(), &end, 10);
        return text.empty() || *end != '\0' || n < 1 ? 1 : std::uint64_t(n);
    }

    void native_length(std::size_t pixels) {
        std::uint16_t rows = 0, columns = 0, samples = 0, allocated = 0;
        if (!us(tag_rows, rows) || !us(tag_columns, columns) ||
            !us(tag_samples_per_pixel, samples) || !us(tag_bits_allocated, allocated))
            return;
        const std::uint64_t count = std::uint64_t(frames());
        // Each factor is below 2^16, so each pair's product fits in 32 bits; a
        // product that would pass 64 bits is no length a file can hold.
        const std::uint64_t plane = std::uint64_t(rows) * columns;
        const std::uint64_t depth = std::uint64_t(samples) * allocated;
        if (depth != 0 && plane > UINT64_MAX / depth) return;
        const std::uint64_t frame_bits = plane * depth;
        if (frame_bits != 0 && count > (UINT64_MAX - 7) / frame_bits) return;
        const std::uint64_t expected = (frame_bits * count + 7) / 8;
        const std::uint32_t declared = m_source.record(pixels).length;
        if (declared == expected || (expected % 2 == 1 && declared == expected + 1)) return;
        m_source.add(pixels, dcm_severity::error, dcm_check_kind::pixel,
                     "Pixel Data holds " + std::to_string(declared) +
                         " bytes; Rows x Columns x Samples per Pixel x Bits Allocated / 8 x Number "
                         "of Frames = " +
                         std::to_string(rows) + " x " + std::to_string(columns) + " x " +
                         std::to_string(samples) + " x " + std::to_string(allocated) + " / 8 x " +
                         std::to_string(count) + " = " + std::to_string(expected));
    }

    // The first item is the basic offset table: each of its offsets counts from
    // the first byte after it and must be where a fragment's item starts.
    void offset_table(std::size_t pixels) {
        const std::uint32_t level = m_source.record(pixels).level + 1;
        std::size_t table = pixels + 1;
        if (table >= m_source.size() || m_source.record(table).level != level ||
            m_source.tag(table) != tag_item)
            return;
        const dcm_check_element e = m_source.element(table);
        if (e.size < 4) return;
        const std::uint64_t first = m_source.record(table).value_offset() + e.size;
        std::set<std::uint64_t> starts;
        for (std::size_t row = table + 1;
             row < m_source.size() && m_source.record(row).level == level &&
             m_source.tag(row) == tag_item;
             ++row)
            starts.insert(m_source.record(row).offset - first);
        const std::uint64_t count = e.size / 4;
        for (std::uint64_t i = 0; i < count; ++i) {
            dcm_check_element at = e;
            at.value = e.value + 4 * i;
            at.size = 4;
            std::uint32_t offset = 0;
            dcm_check_ul(at, offset);
            if (starts.count(offset)) continue;
            m_source.add(table, dcm_severity::error, dcm_check_kind::pixel,
                         "Basic offset table entry " + std::to_string(i + 1) + " (" +
                             std::to_string(offset) +
                             ") does not point at the start of a fragment");
            return;  // one is enough: the rest are usually off by the same
        }
    }

    dcm_check_source& m_source;
};

}  // namespace

void dcm_check_pixels(dcm_check_source& source) { pixel_check(source).run(); }

}  // namespace velk
