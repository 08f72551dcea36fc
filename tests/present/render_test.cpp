#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "present/render.h"

namespace velk {

namespace {

std::string bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list) s += static_cast<char>(b);
    return s;
}

template <class T>
std::string le(T v) {
    std::string s(sizeof v, '\0');
    std::memcpy(&s[0], &v, sizeof v);  // the test machines are little endian
    return s;
}

// The whole text: a buffer larger than any rendering of the value.
std::string render(const char* vr, const std::string& value, std::size_t limit = 0) {
    std::string out(4 * value.size() + 64, '\0');
    out.resize(dcm_render_value_cut(&out[0], out.size(), vr, value.data(),
                                    value.data() + value.size(), limit));
    return out;
}

struct render_case {
    const char* label;
    const char* vr;  // null: no VR pointer at all
    std::string value;
    std::size_t limit;
    std::string expected;
};

std::ostream& operator<<(std::ostream& os, const render_case& c) { return os << c.label; }

std::string counting(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>(i);
    return s;
}

class RenderValue : public testing::TestWithParam<render_case> {};

TEST_P(RenderValue, WritesTheExpectedText) {
    const render_case& c = GetParam();
    EXPECT_EQ(render(c.vr, c.value, c.limit), c.expected);
}

const char zero_vr[2] = {0, 0};

INSTANTIATE_TEST_SUITE_P(
    Cases, RenderValue,
    testing::Values(
        render_case{"us_pair", "US", bytes({0, 2, 0, 2}), 24, "512/512"},
        render_case{"us_empty", "US", "", 24, ""},
        render_case{"ss_minus_one", "SS", bytes({0xFF, 0xFF}), 24, "-1"},
        render_case{"us_65535", "US", bytes({0xFF, 0xFF}), 24, "65535"},
        render_case{"ul_max", "UL", bytes({0xFF, 0xFF, 0xFF, 0xFF}), 24, "4294967295"},
        render_case{"sl_minus_one", "SL", bytes({0xFF, 0xFF, 0xFF, 0xFF}), 24, "-1"},
        render_case{"ls_like_sl", "LS", bytes({0xFE, 0xFF, 0xFF, 0xFF}), 24, "-2"},
        render_case{"at_one_number", "AT", bytes({0x18, 0x00, 0x63, 0x10}), 24, "274923544"},
        render_case{"fd_big", "FD", le(1234567.0), 24, "1.23457e+006"},
        render_case{"fl_tenth", "FL", le(0.1f), 24, "0.1"},
        render_case{"fd_list", "FD", le(0.5) + le(100.0) + le(-2.25), 24, "0.5/100/-2.25"},
        render_case{"cs_verbatim", "CS", "DERIVED\\SECONDARY ", 24, "DERIVED\\SECONDARY "},
        render_case{"ui_cut_at_nul", "UI", std::string("1.2\0", 4), 24, "1.2"},
        render_case{"ai_is_text", "AI", "abc", 24, "abc"},
        render_case{"ob_limited", "OB", counting(30), 24,
                    "000102030405060708090A0B0C0D0E0F1011121314151617"},
        render_case{"ob_high_bytes", "OB", bytes({0x80, 0xFF}), 24, "80FF"},
        render_case{"ob_no_limit", "OB", counting(30), 0,
                    "000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D"},
        render_case{"ow_any", "OW", counting(7), 24, "other word data"},
        render_case{"ow_empty", "OW", "", 24, "other word data"},
        render_case{"of_text", "OF", "", 24, "other float data"},
        render_case{"sq_nothing", "SQ", "abc", 24, ""},
        render_case{"un_nothing", "UN", "abc", 24, ""},
        render_case{"dl_nothing", "DL", "abc", 24, ""},
        render_case{"no_vr", zero_vr, "abc", 24, ""},
        render_case{"null_vr", nullptr, "abc", 24, ""},
        render_case{"lower_case_unknown", "ob", "abc", 24, "uknown value representation"},
        render_case{"one_zero_byte_unknown", "A\0", "abc", 24, "uknown value representation"},
        // A trailing part too short for a number is not shown.
        render_case{"us_odd_length", "US", bytes({1, 0, 2}), 24, "1"},
        render_case{"ul_short", "UL", bytes({1, 0, 0}), 24, ""},
        render_case{"fd_seven_extra", "FD", le(2.0) + "1234567", 24, "2"}),
    [](const testing::TestParamInfo<render_case>& info) { return std::string(info.param.label); });

struct double_case {
    double value;
    const char* expected;
};

class FormatDouble : public testing::TestWithParam<double_case> {};

TEST_P(FormatDouble, MatchesTheClassicGForm) {
    char out[16];
    const std::size_t n = dcm_format_double(GetParam().value, out);
    EXPECT_EQ(std::string(out, n), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatDouble,
    testing::Values(double_case{0.0, "0"}, double_case{-0.0, "-0"}, double_case{1.0, "1"},
                    double_case{0.5, "0.5"}, double_case{100.0, "100"}, double_case{-2.25, "-2.25"},
                    double_case{1234567.0, "1.23457e+006"}, double_case{123456.0, "123456"},
                    double_case{999999.5, "1e+006"}, double_case{0.0001, "0.0001"},
                    double_case{0.00001, "1e-005"}, double_case{0.000123456789, "0.000123457"},
                    double_case{3.14159265, "3.14159"}, double_case{1e100, "1e+100"},
                    double_case{-1.5e-300, "-1.5e-300"},
                    double_case{1.7976931348623157e308, "1.79769e+308"},
                    double_case{4.9406564584124654e-324, "4.94066e-324"}, double_case{0.1f, "0.1"},
                    double_case{2.5, "2.5"}, double_case{0.125, "0.125"},
                    double_case{1e15, "1e+015"},
                    double_case{std::numeric_limits<double>::quiet_NaN(), "nan"},
                    double_case{-std::numeric_limits<double>::quiet_NaN(), "nan"},
                    double_case{std::numeric_limits<double>::infinity(), "inf"},
                    double_case{-std::numeric_limits<double>::infinity(), "-inf"}));

// The cell's cut rendering must equal rendering the whole value and cutting it at
// the first NUL and to capacity - 1 characters, whatever the value and capacity.
struct cut_case {
    const char* label;
    const char* vr;
    std::string value;
};

std::ostream& operator<<(std::ostream& os, const cut_case& c) { return os << c.label; }

std::string reference_cut(const std::string& whole, std::size_t capacity) {
    std::string s = whole.substr(0, whole.find('\0'));
    return s.substr(0, capacity - 1);
}

std::string many_us(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += le(static_cast<std::uint16_t>(i * 37));
    return s;
}

std::string many_fd(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += le(i * 1234.5678e3 - 17);
    return s;
}

class RenderCut : public testing::TestWithParam<cut_case> {};

TEST_P(RenderCut, EqualsRenderingWholeThenCutting) {
    const cut_case& c = GetParam();
    const std::string whole = render(c.vr, c.value, 24);
    for (std::size_t capacity : {1, 2, 3, 7, 48, 49, 259, 260, 261, 5000}) {
        std::string out(capacity + 1, '#');
        const std::size_t n = dcm_render_value_cut(&out[0], capacity, c.vr, c.value.data(),
                                                   c.value.data() + c.value.size(), 24);
        const std::string expected = reference_cut(whole, capacity);
        EXPECT_EQ(out.substr(0, n), expected) << "capacity " << capacity;
        EXPECT_EQ(out[n], '\0') << "capacity " << capacity;
        EXPECT_EQ(out[capacity], '#') << "wrote past capacity " << capacity;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, RenderCut,
    testing::Values(cut_case{"long_text", "LT", std::string(1000, 'x') + "end"},
                    cut_case{"text_with_nul", "LO", std::string("abc\0def", 7)},
                    cut_case{"leading_nul", "UI", std::string("\0abc", 4)},
                    cut_case{"many_us", "US", many_us(5000)},
                    cut_case{"many_fd", "FD", many_fd(3000)},
                    cut_case{"ob_dump", "OB", std::string(100, '\x5A')},
                    cut_case{"fixed_text", "OW", "ab"}, cut_case{"unknown", "XX", "ab"},
                    cut_case{"empty", "US", ""}),
    [](const testing::TestParamInfo<cut_case>& info) { return std::string(info.param.label); });

TEST(RenderCut, ZeroCapacityWritesNothing) {
    char out = '#';
    EXPECT_EQ(dcm_render_value_cut(&out, 0, "LO", "abc", "abc" + 3, 24), 0u);
    EXPECT_EQ(out, '#');
}

}  // namespace

}  // namespace velk
