// JPEG lossless, process 14 (ITU T.81 Annex H): Huffman-coded differences from
// a prediction by one of seven predictors, 2 to 16 bits a sample, with a point
// transform. Components interleave in one scan or come one scan each; every
// component samples at the full size (the only layout a frame of pixel data
// uses).
#include <algorithm>
#include <array>

#include "pixels/decoders.h"

namespace velk {

namespace {

// One Huffman table (T.81 Annex C): the codes of each length, in order.
struct huffman_table {
    bool defined = false;
    std::array<std::int32_t, 18> max_code{};  // the largest code of each length, -1 for none
    std::array<std::int32_t, 17> min_code{};
    std::array<std::int32_t, 17> first_value{};  // index in values of the first code of each length
    std::array<unsigned char, 256> values{};

    bool build(const unsigned char* counts, const unsigned char* symbols, std::size_t n) {
        std::copy(symbols, symbols + n, values.begin());
        std::int32_t code = 0;
        std::int32_t index = 0;
        for (int length = 1; length <= 16; ++length) {
            const int count = counts[length - 1];
            first_value[length] = index;
            min_code[length] = code;
            code += count;
            index += count;
            max_code[length] = count ? code - 1 : -1;
            if (code > (1 << length)) return false;  // more codes than the length holds
            code <<= 1;
        }
        max_code[17] = INT32_MAX;
        defined = true;
        return true;
    }
};

// The entropy-coded bits of a scan: stuffed zero bytes removed; at a marker or
// the end of the bytes only zero bits come, and `ran_out` says so.
class bit_reader {
public:
    bit_reader(const unsigned char* p, const unsigned char* end) : m_p(p), m_end(end) {}

    int bit() {
        if (m_bits == 0) fill();
        --m_bits;
        return (m_byte >> m_bits) & 1;
    }
    std::uint32_t bits(int n) {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i) v = (v << 1) | std::uint32_t(bit());
        return v;
    }
    // Drops the rest of the byte and reads a restart marker; false when none is there.
    bool restart() {
        m_bits = 0;
        while (m_p + 1 < m_end && m_p[0] == 0xFF && m_p[1] == 0xFF) ++m_p;
        if (m_p + 1 < m_end && m_p[0] == 0xFF && m_p[1] >= 0xD0 && m_p[1] <= 0xD7) {
            m_p += 2;
            return true;
        }
        return false;
    }
    // Where the scan's bytes end: the next marker.
    const unsigned char* position() const { return m_p; }
    bool ran_out() const { return m_ran_out; }

private:
    void fill() {
        m_bits = 8;
        if (m_p < m_end && *m_p != 0xFF) {
            m_byte = *m_p++;
        } else if (m_p + 1 < m_end && m_p[1] == 0x00) {
            m_byte = 0xFF;
            m_p += 2;
        } else {
            m_byte = 0;
            m_ran_out = true;
        }
    }

    const unsigned char* m_p;
    const unsigned char* m_end;
    unsigned m_byte = 0;
    int m_bits = 0;
    bool m_ran_out = false;
};

struct component {
    int id;
    int sampling;  // H and V, which must be 1 each
};

struct scan_component {
    int index;  // in the frame's components
    int table;
};

class lossless_decoder {
public:
    lossless_decoder(const dcm_pixel_description& d, dcm_frame& out) : m_d(d), m_out(out) {}

    bool decode(const std::vector<unsigned char>& bytes, std::string& problem);

private:
    bool read_frame_header(const unsigned char* p, std::size_t n, std::string& problem);
    bool read_tables(const unsigned char* p, std::size_t n, std::string& problem);
    bool read_scan(const unsigned char* p, std::size_t n, const unsigned char*& next,
                   const unsigned char* end, std::string& problem);
    int decode_difference(bit_reader& in, const huffman_table& table, bool& bad) const;
    std::int32_t predict(const std::vector<std::uint16_t>& plane, std::size_t x, std::size_t y,
                         int predictor, bool first_line, bool first_sample) const;

    const dcm_pixel_description& m_d;
    dcm_frame& m_out;
    std::array<huffman_table, 4> m_tables;
    std::vector<component> m_components;
    std::vector<std::vector<std::uint16_t>> m_planes;
    int m_precision = 0;
    std::uint32_t m_width = 0, m_height = 0;
    std::uint32_t m_restart_interval = 0;
    int m_point_transform = 0;
    bool m_have_frame = false;
};

std::uint16_t be16(const unsigned char* p) { return std::uint16_t((p[0] << 8) | p[1]); }

bool lossless_decoder::read_frame_header(const unsigned char* p, std::size_t n,
                                         std::string& problem) {
    if (n < 6) return problem = "the JPEG frame header is cut", false;
    m_precision = p[0];
    m_height = be16(p + 1);
    m_width = be16(p + 3);
    const int count = p[5];
    if (m_precision < 2 || m_precision > 16)
        return problem =
                   "the lossless JPEG precision " + std::to_string(m_precision) + " is not 2 to 16",
               false;
    if (n < 6 + 3 * std::size_t(count)) return problem = "the JPEG frame header is cut", false;
    if (m_width != m_d.columns || m_height != m_d.rows || std::uint32_t(count) != m_d.samples)
        return problem = "the JPEG frame is " + std::to_string(m_width) + " x " +
                         std::to_string(m_height) + " with " + std::to_string(count) +
                         " components where the header gives " + std::to_string(m_d.columns) +
                         " x " + std::to_string(m_d.rows) + " with " + std::to_string(m_d.samples),
               false;
    for (int i = 0; i < count; ++i) {
        const component c{p[6 + 3 * i], p[7 + 3 * i]};
        if (c.sampling != 0x11)
            return problem = "subsampled lossless JPEG components are not decoded", false;
        m_components.push_back(c);
    }
    m_planes.assign(m_components.size(),
                    std::vector<std::uint16_t>(std::size_t(m_width) * m_height));
    m_have_frame = true;
    return true;
}

bool lossless_decoder::read_tables(const unsigned char* p, std::size_t n, std::string& problem) {
    std::size_t at = 0;
    while (at < n) {
        if (n - at < 17) return problem = "a JPEG Huffman table is cut", false;
        const int kind = p[at] >> 4, slot = p[at] & 15;
        std::size_t symbols = 0;
        for (int i = 0; i < 16; ++i) symbols += p[at + 1 + i];
        if (symbols > 256 || n - at - 17 < symbols)
            return problem = "a JPEG Huffman table is cut", false;
        // Lossless scans use only the tables of the first kind (DC).
        if (kind == 0 && slot < 4 && !m_tables[slot].build(p + at + 1, p + at + 17, symbols))
            return problem = "a JPEG Huffman table holds more codes than it can", false;
        at += 17 + symbols;
    }
    return true;
}

int lossless_decoder::decode_difference(bit_reader& in, const huffman_table& table,
                                        bool& bad) const {
    std::int32_t code = in.bit();
    int length = 1;
    while (code > table.max_code[length]) {
        code = (code << 1) | in.bit();
        if (++length > 16) {
            bad = true;
            return 0;
        }
    }
    const std::int32_t index = table.first_value[length] + code - table.min_code[length];
    const int category = index < 256 ? table.values[index] : 0;
    if (category == 0) return 0;
    if (category >= 16) return 32768;
    const std::int32_t v = static_cast<std::int32_t>(in.bits(category));
    return v < (1 << (category - 1)) ? v - (1 << category) + 1 : v;
}

std::int32_t lossless_decoder::predict(const std::vector<std::uint16_t>& plane, std::size_t x,
                                       std::size_t y, int predictor, bool first_line,
                                       bool first_sample) const {
    if (first_sample) return 1 << (m_precision - m_point_transform - 1);
    const std::size_t w = m_width;
    if (first_line) return plane[y * w + x - 1];
    if (x == 0) return plane[(y - 1) * w];
    const std::int32_t a = plane[y * w + x - 1], b = plane[(y - 1) * w + x],
                       c = plane[(y - 1) * w + x - 1];
    switch (predictor) {
    case 1: return a;
    case 2: return b;
    case 3: return c;
    case 4: return a + b - c;
    case 5: return a + ((b - c) >> 1);
    case 6: return b + ((a - c) >> 1);
    default: return (a + b) >> 1;
    }
}

bool lossless_decoder::read_scan(const unsigned char* p, std::size_t n, const unsigned char*& next,
                                 const unsigned char* end, std::string& problem) {
    if (!m_have_frame) return problem = "a JPEG scan comes before its frame header", false;
    if (n < 1 || n < 1 + 2 * std::size_t(p[0]) + 3)
        return problem = "a JPEG scan header is cut", false;
    std::vector<scan_component> parts;
    for (int i = 0; i < p[0]; ++i) {
        const int id = p[1 + 2 * i];
        const auto it = std::find_if(m_components.begin(), m_components.end(),
                                     [id](const component& c) { return c.id == id; });
        const int table = p[2 + 2 * i] >> 4;
        if (it == m_components.end() || table > 3 || !m_tables[table].defined)
            return problem = "a JPEG scan names a component or table that is not there", false;
        parts.push_back({int(it - m_components.begin()), table});
    }
    const unsigned char* tail = p + 1 + 2 * p[0];
    const int predictor = tail[0];
    m_point_transform = tail[2] & 15;
    if (predictor < 1 || predictor > 7)
        return problem =
                   "the JPEG scan is not lossless (predictor " + std::to_string(predictor) + ")",
               false;
    if (m_point_transform >= m_precision)
        return problem = "the JPEG point transform is too large", false;

    bit_reader in(p + n, end);
    const std::uint32_t modulo_mask = 0xFFFF;
    std::uint32_t units_left = m_restart_interval;
    bool first_line = true, first_sample = true;
    bool bad = false;
    for (std::size_t y = 0; y < m_height && !bad; ++y) {
        for (std::size_t x = 0; x < m_width && !bad; ++x) {
            if (m_restart_interval && units_left == 0) {
                if (!in.restart()) return problem = "a JPEG restart marker is missing", false;
                units_left = m_restart_interval;
                first_line = first_sample = true;
            }
            for (const scan_component& part : parts) {
                std::vector<std::uint16_t>& plane = m_planes[std::size_t(part.index)];
                const std::int32_t px = predict(plane, x, y, predictor, first_line, first_sample);
                const int diff = decode_difference(in, m_tables[std::size_t(part.table)], bad);
                plane[y * m_width + x] =
                    static_cast<std::uint16_t>(std::uint32_t(px + diff) & modulo_mask);
            }
            first_sample = false;
            if (m_restart_interval) --units_left;
        }
        first_line = false;
    }
    if (bad) return problem = "the JPEG data holds a code that no table gives", false;
    if (in.ran_out()) return problem = "the JPEG data ends before the frame's last sample", false;
    next = in.position();
    return true;
}

bool lossless_decoder::decode(const std::vector<unsigned char>& bytes, std::string& problem) {
    const unsigned char* p = bytes.data();
    const unsigned char* const end = p + bytes.size();
    if (bytes.size() < 4 || p[0] != 0xFF || p[1] != 0xD8)
        return problem = "the frame does not begin with a JPEG start-of-image marker", false;
    p += 2;
    bool scanned = false;
    while (end - p >= 2) {
        if (p[0] != 0xFF)
            return problem = "the JPEG data holds bytes where a marker should be", false;
        const unsigned char marker = p[1];
        p += 2;
        if (marker == 0xFF) {  // a fill byte before the marker
            --p;
            continue;
        }
        if (marker == 0xD9) break;  // end of image
        if (end - p < 2) break;
        const std::size_t length = be16(p);
        if (length < 2 || std::size_t(end - p) < length)
            return problem = "a JPEG segment is cut", false;
        const unsigned char* body = p + 2;
        const std::size_t n = length - 2;
        p += length;
        bool ok = true;
        switch (marker) {
        case 0xC3: ok = read_frame_header(body, n, problem); break;
        case 0xC4: ok = read_tables(body, n, problem); break;
        case 0xDD: m_restart_interval = n >= 2 ? be16(body) : 0; break;
        case 0xDA:
            ok = read_scan(body, n, p, end, problem);
            scanned = true;
            break;
        default:
            if ((marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                 marker != 0xCC))
                return problem = "the JPEG frame is not lossless (process 14)", false;
            break;
        }
        if (!ok) return false;
    }
    if (!scanned) return problem = "the JPEG data holds no scan", false;
    const std::size_t pixels = std::size_t(m_width) * m_height;
    const std::size_t samples = m_components.size();
    for (std::size_t c = 0; c < samples; ++c)
        for (std::size_t i = 0; i < pixels; ++i)
            m_out.set(i * samples + c, std::uint32_t(m_planes[c][i]) << m_point_transform);
    return true;
}

}  // namespace

bool dcm_decode_jpeg_lossless(const dcm_pixel_description& d,
                              const std::vector<unsigned char>& bytes, dcm_frame& out,
                              std::string& problem) {
    if (!dcm_frame_layout(d, out, problem)) return false;
    if (lossless_decoder(d, out).decode(bytes, problem)) {
        dcm_mask_values(d, out);
        return true;
    }
    return false;
}

}  // namespace velk
