// Encapsulated pixel data: the items after a Pixel Data of undefined length (a
// Basic Offset Table, then the fragments), and which fragments make up a frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velk {

// The most fragments read from one Pixel Data: 2^22, far beyond a frame per
// fragment of the longest cine loops seen; each costs 16 bytes here.
constexpr std::size_t dcm_fragment_cap = std::size_t(1) << 22;

struct dcm_fragment {
    std::uint64_t item_offset;  // of its item header, from the first fragment's item header
    const char* data;
    std::uint32_t size;  // the bytes the file holds, at most the declared length
    bool cut;            // the file ends inside it
};

struct dcm_fragments {
    std::vector<std::uint32_t> offset_table;  // the Basic Offset Table, often empty
    std::vector<dcm_fragment> fragments;
};

// Reads the items of the value [data, data + size). False with a sentence when
// there is not even an offset table item.
bool dcm_read_fragments(const char* data, std::uint64_t size, dcm_fragments& out,
                        std::string& problem);

// The bytes of frame `index` of `frames` (0-based), its fragments joined. False
// with a sentence when the fragments do not hold it. `jpeg`: frames may be
// told apart by their start-of-image marker.
bool dcm_frame_bytes(const dcm_fragments& f, std::uint32_t index, std::uint32_t frames, bool jpeg,
                     std::vector<unsigned char>& out, std::string& problem);

}  // namespace velk
