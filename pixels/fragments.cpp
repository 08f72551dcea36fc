#include "pixels/fragments.h"

#include "parse/header.h"
#include "parse/reader.h"

namespace velk {

bool dcm_read_fragments(const char* data, std::uint64_t size, dcm_fragments& out,
                        std::string& problem) {
    out = dcm_fragments();
    const char* const end = data + size;
    const char* p = data;
    bool first = true;
    const char* first_fragment = nullptr;
    while (dcm_fits(p, end, 8)) {
        const std::uint32_t tag = dcm_load_tag(p, dcm_byte_order::little);
        const std::uint32_t length = dcm_load<std::uint32_t>(p + 4);
        if (tag != tag_item) break;  // the sequence delimiter, or damage: the items end
        const char* value = p + 8;
        const std::uint64_t held = std::min<std::uint64_t>(length, dcm_bytes_left(value, end));
        if (first) {
            for (std::uint64_t i = 0; i + 4 <= held; i += 4)
                out.offset_table.push_back(dcm_load<std::uint32_t>(value + i));
            first = false;
        } else {
            if (out.fragments.size() >= dcm_fragment_cap) {
                problem = "the Pixel Data holds more than " + std::to_string(dcm_fragment_cap) +
                          " fragments";
                return false;
            }
            if (!first_fragment) first_fragment = p;
            out.fragments.push_back({std::uint64_t(p - first_fragment), value,
                                     static_cast<std::uint32_t>(held), held < length});
        }
        if (held < length || length == undefined_length) break;
        p = value + length;
    }
    if (first) {
        problem = "the encapsulated Pixel Data holds no items";
        return false;
    }
    return true;
}

namespace {

bool starts_image(const dcm_fragment& f) {
    return f.size >= 2 && static_cast<unsigned char>(f.data[0]) == 0xFF &&
           static_cast<unsigned char>(f.data[1]) == 0xD8;
}

// The fragments [first, last) of frame `index`.
bool frame_span(const dcm_fragments& f, std::uint32_t index, std::uint32_t frames, bool jpeg,
                std::size_t& first, std::size_t& last) {
    const std::size_t n = f.fragments.size();
    if (frames == 1) {
        first = 0;
        last = n;
        return n > 0;
    }
    if (f.offset_table.size() == frames) {
        const std::uint64_t from = f.offset_table[index];
        const std::uint64_t to = index + 1 < frames ? f.offset_table[index + 1] : UINT64_MAX;
        first = last = n;
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint64_t at = f.fragments[i].item_offset;
            if (at >= from && first == n) first = i;
            if (at >= to) {
                last = i;
                break;
            }
        }
        return first < last;
    }
    if (n == frames) {
        first = index;
        last = index + 1;
        return true;
    }
    if (!jpeg) return false;
    // Without an offset table, each frame begins with a fragment that begins a JPEG image.
    std::uint32_t seen = 0;
    first = last = n;
    for (std::size_t i = 0; i < n; ++i) {
        if (!starts_image(f.fragments[i])) continue;
        if (seen == index) first = i;
        if (seen == index + 1) {
            last = i;
            break;
        }
        ++seen;
    }
    return first < last;
}

}  // namespace

bool dcm_frame_bytes(const dcm_fragments& f, std::uint32_t index, std::uint32_t frames, bool jpeg,
                     std::vector<unsigned char>& out, std::string& problem) {
    std::size_t first = 0, last = 0;
    if (index >= frames || !frame_span(f, index, frames, jpeg, first, last)) {
        problem = "the fragments hold no frame " + std::to_string(index + 1) + " of " +
                  std::to_string(frames);
        return false;
    }
    std::uint64_t total = 0;
    for (std::size_t i = first; i < last; ++i) total += f.fragments[i].size;
    out.clear();
    out.reserve(static_cast<std::size_t>(total));
    for (std::size_t i = first; i < last; ++i) {
        const dcm_fragment& g = f.fragments[i];
        out.insert(out.end(), g.data, g.data + g.size);
        if (g.cut) {
            problem = "the file ends inside a fragment of frame " + std::to_string(index + 1);
            return false;
        }
    }
    return true;
}

}  // namespace velk
