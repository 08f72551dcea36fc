// The code tables of the character-set decoder, generated as data by
// tools/gen-charset-tables. Each maps a code to a Unicode code point of the Basic
// Multilingual Plane; 0 marks a code that decodes to nothing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velk {

// The order of the rows of dcm_single_byte_high.
enum class dcm_single_byte_set : std::uint8_t {
    latin1,
    latin2,
    latin3,
    latin4,
    greek,
    arabic,
    hebrew,
    cyrillic,
    latin5,
    thai,
    katakana
};
constexpr std::size_t dcm_single_byte_set_count = 11;

// The high half (0x80-0xFF) of each single-byte set; the low half is ASCII.
extern const std::uint16_t dcm_single_byte_high[dcm_single_byte_set_count][128];

// 94 x 94 sets, indexed (row - 0x21) * 94 + (cell - 0x21), bytes taken 7-bit.
constexpr std::size_t dcm_set94_size = 94 * 94;
extern const std::uint16_t dcm_jis_x0208[dcm_set94_size];
extern const std::uint16_t dcm_jis_x0212[dcm_set94_size];
extern const std::uint16_t dcm_ks_x1001[dcm_set94_size];
extern const std::uint16_t dcm_gb2312[dcm_set94_size];

// Two-byte codes of GB18030: lead 0x81-0xFE, trail 0x40-0x7E or 0x80-0xFE, indexed
// (lead - 0x81) * 190 + the trail's position among those 190 values.
constexpr std::size_t dcm_two_byte_trails = 190;
constexpr std::size_t dcm_two_byte_size = 126 * dcm_two_byte_trails;
extern const std::uint16_t dcm_gb18030_two[dcm_two_byte_size];

// GBK's two-byte codes are those of GB18030 but for these runs of indexes
// [first, last], which GBK leaves undefined.
struct dcm_index_run {
    std::uint16_t first;
    std::uint16_t last;
};
extern const dcm_index_run dcm_gbk_gaps[];
extern const std::size_t dcm_gbk_gaps_size;

// The four-byte codes of GB18030 in the Basic Multilingual Plane, as runs over the
// linear index of the code: from `index` on, code points rise one by one from
// `point` (0: a run of codes that decode to nothing) until the next run starts.
struct dcm_gb18030_run {
    std::uint16_t index;
    std::uint16_t point;
};
constexpr std::uint32_t dcm_gb18030_four_bmp_codes = 39420;
extern const dcm_gb18030_run dcm_gb18030_four[];
extern const std::size_t dcm_gb18030_four_size;

}  // namespace velk
