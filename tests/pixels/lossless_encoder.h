// A small lossless JPEG (process 14) encoder for the tests: one table giving
// every difference category a 5-bit code, any predictor, point transform and
// restart interval, components interleaved in one scan.
#pragma once

#include <cstdint>
#include <vector>

namespace velk::test {

struct lossless_jpeg_settings {
    int precision = 16;
    int predictor = 1;
    int point_transform = 0;
    int restart_interval = 0;  // in pixels; 0 for none
};

class lossless_jpeg_encoder {
public:
    // `samples` holds rows x columns x components values, components side by side.
    std::vector<unsigned char> encode(const std::vector<std::uint16_t>& samples, int rows,
                                      int columns, int components,
                                      const lossless_jpeg_settings& s) {
        m_out = {0xFF, 0xD8};
        const int p = s.precision;
        segment(0xC3,
                {std::uint8_t(p), std::uint8_t(rows >> 8), std::uint8_t(rows),
                 std::uint8_t(columns >> 8), std::uint8_t(columns), std::uint8_t(components)},
                components);
        std::vector<unsigned char> table = {0x00, 0, 0, 0, 0, 17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        for (int i = 0; i <= 16; ++i) table.push_back(std::uint8_t(i));
        raw_segment(0xC4, table);
        if (s.restart_interval)
            raw_segment(0xDD,
                        {std::uint8_t(s.restart_interval >> 8), std::uint8_t(s.restart_interval)});
        std::vector<unsigned char> scan = {std::uint8_t(components)};
        for (int c = 0; c < components; ++c)
            scan.push_back(std::uint8_t(c + 1)), scan.push_back(0x00);
        scan.push_back(std::uint8_t(s.predictor));
        scan.push_back(0);
        scan.push_back(std::uint8_t(s.point_transform));
        raw_segment(0xDA, scan);
        const auto at = [&](int y, int x, int c) {
            return std::int32_t(samples[(std::size_t(y) * columns + x) * components + c] >>
                                s.point_transform);
        };
        int left = s.restart_interval, marker = 0;
        bool first_line = true, first = true;
        for (int y = 0; y < rows; ++y, first_line = false) {
            for (int x = 0; x < columns; ++x) {
                if (s.restart_interval && left == 0) {
                    flush();
                    m_out.push_back(0xFF);
                    m_out.push_back(std::uint8_t(0xD0 + (marker++ & 7)));
                    left = s.restart_interval;
                    first_line = first = true;
                }
                for (int c = 0; c < components; ++c) {
                    std::int32_t px;
                    if (first)
                        px = 1 << (p - s.point_transform - 1);
                    else if (first_line)
                        px = at(y, x - 1, c);
                    else if (x == 0)
                        px = at(y - 1, 0, c);
                    else {
                        const std::int32_t a = at(y, x - 1, c), b = at(y - 1, x, c),
                                           d = at(y - 1, x - 1, c);
                        const std::int32_t v[] = {
                            0,           a, b, d, a + b - d, a + ((b - d) >> 1), b + ((a - d) >> 1),
                            (a + b) >> 1};
                        px = v[s.predictor];
                    }
                    put_difference(std::int32_t((std::uint32_t(at(y, x, c) - px)) & 0xFFFF));
                }
                first = false;
                if (s.restart_interval) --left;
            }
        }
        flush();
        m_out.push_back(0xFF);
        m_out.push_back(0xD9);
        return m_out;
    }

private:
    void raw_segment(unsigned char marker, const std::vector<unsigned char>& body) {
        m_out.push_back(0xFF);
        m_out.push_back(marker);
        m_out.push_back(std::uint8_t((body.size() + 2) >> 8));
        m_out.push_back(std::uint8_t(body.size() + 2));
        m_out.insert(m_out.end(), body.begin(), body.end());
    }
    void segment(unsigned char marker, std::vector<unsigned char> body, int components) {
        for (int c = 0; c < components; ++c)
            body.insert(body.end(), {std::uint8_t(c + 1), 0x11, 0});
        raw_segment(marker, body);
    }
    void put_bits(std::uint32_t v, int n) {
        for (int i = n - 1; i >= 0; --i) {
            m_byte = (m_byte << 1) | ((v >> i) & 1);
            if (++m_bits == 8) emit();
        }
    }
    void emit() {
        m_out.push_back(std::uint8_t(m_byte));
        if (m_byte == 0xFF) m_out.push_back(0);
        m_byte = 0;
        m_bits = 0;
    }
    void flush() {
        while (m_bits) put_bits(1, 1);
    }
    // A difference modulo 2^16, written as its category and extra bits.
    void put_difference(std::int32_t modulo) {
        std::int32_t d = modulo > 32768 ? modulo - 65536 : modulo;
        if (d == 32768) return put_bits(16, 5);
        int category = 0;
        for (std::int32_t m = d < 0 ? -d : d; m; m >>= 1) ++category;
        put_bits(std::uint32_t(category), 5);
        if (category) put_bits(std::uint32_t(d < 0 ? d - 1 : d) & ((1u << category) - 1), category);
    }

    std::vector<unsigned char> m_out;
    std::uint32_t m_byte = 0;
    int m_bits = 0;
};

}  // namespace velk::test
