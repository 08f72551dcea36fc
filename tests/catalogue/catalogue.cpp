#include "catalogue.h"

#include <cstdint>
#include <fstream>
#include <vector>

#include "dicom_builder.h"
#include "tests/pixels/lossless_encoder.h"

namespace velk {

namespace catalogue {
namespace {

using test::dicom_builder;
using test::le32;

std::uint32_t u32(std::size_t n) { return static_cast<std::uint32_t>(n); }

// A UID padded to even length with a NUL (PS3.5 section 6.2).
std::string uid(std::string text) {
    if (text.size() % 2) text += '\0';
    return text;
}

std::string syntax_element(const char* transfer_syntax) {
    return dicom_builder().transfer_syntax(transfer_syntax).bytes();
}

// Preamble, marker and file meta information (PS3.10 section 7.1), the
// Transfer Syntax UID element given whole so that a case can damage it.
dicom_builder part10(const std::string& transfer_syntax_element) {
    const std::string rest =
        dicom_builder()
            .explicit_element(0x0002, 0x0001, "OB", std::string("\0\1", 2))
            .explicit_element(0x0002, 0x0002, "UI", uid("1.2.840.10008.5.1.4.1.1.4"))
            .explicit_element(0x0002, 0x0003, "UI", uid("1.2.826.0.1.3680043.9.7433.1"))
            .raw(transfer_syntax_element)
            .bytes();
    dicom_builder b;
    b.preamble().explicit_element(0x0002, 0x0000, "UL", le32(u32(rest.size()))).raw(rest);
    return b;
}

dicom_builder explicit_file() {
    return part10(syntax_element(test::explicit_le_uid()))
        .explicit_element(0x0008, 0x0060, "CS", "MR")
        .explicit_element(0x0010, 0x0010, "PN", "Doe^Jane");
}

dicom_builder implicit_file() {
    return part10(syntax_element(test::implicit_le_uid()))
        .implicit_element(0x0008, 0x0060, "MR")
        .implicit_element(0x0010, 0x0010, "Doe^Jane");
}

// One sound element after the damage shows whether the walk resumes there.
std::string trailer() {
    return dicom_builder().explicit_element(0x0010, 0x0020, "LO", "ID-7").bytes();
}

// The sound file with `damage` and the trailer appended.
std::string damaged(const std::string& damage) {
    return explicit_file().raw(damage).raw(trailer()).bytes();
}

// The sound file with `tail` appended and nothing after it.
std::string cut_after(const std::string& tail) { return explicit_file().raw(tail).bytes(); }

// Opens an undefined-length sequence and, inside it, an undefined-length item.
dicom_builder& open_sequence_item(dicom_builder& b) { return b.sequence(0x0040, 0x0275).item(); }

std::string uid_element() {
    return dicom_builder().explicit_element(0x0008, 0x1150, "UI", uid("1.2.3")).bytes();
}

std::string leaf() {
    return dicom_builder().explicit_element(0x0040, 0xA160, "UT", "leaf").bytes();
}

// `pairs` undefined-length sequences and items nested in each other.
std::string nested_sequences(std::size_t pairs) {
    dicom_builder b = explicit_file();
    for (std::size_t i = 0; i < pairs; ++i) b.sequence(0x0040, 0xA730).item();
    b.raw(leaf());
    for (std::size_t i = 0; i < pairs; ++i) b.item_end().sequence_end();
    return b.raw(trailer()).bytes();
}

// The same nesting with defined lengths, which need no delimiters to end.
std::string nested_defined_sequences(std::size_t pairs) {
    std::vector<std::uint32_t> item_length(pairs), sequence_length(pairs);
    std::size_t inner = leaf().size();
    for (std::size_t k = pairs; k-- > 0;) {
        item_length[k] = u32(inner);
        inner += 8;  // the item's header
        sequence_length[k] = u32(inner);
        inner += 12;  // the sequence's header
    }
    dicom_builder b = explicit_file();
    for (std::size_t k = 0; k < pairs; ++k) {
        b.sequence(0x0040, 0xA730, sequence_length[k]).item(item_length[k]);
    }
    return b.raw(leaf()).raw(trailer()).bytes();
}

// Items nested directly in items, which no sound file does.
std::string nested_items(std::size_t levels) {
    dicom_builder b = explicit_file();
    for (std::size_t i = 0; i < levels; ++i) b.item();
    b.raw(leaf());
    for (std::size_t i = 0; i < levels; ++i) b.item_end();
    return b.raw(trailer()).bytes();
}

std::string zero_length_items(std::size_t count) {
    dicom_builder b = explicit_file();
    b.sequence(0x0008, 0x1140);
    for (std::size_t i = 0; i < count; ++i) b.item(0);
    return b.sequence_end().raw(trailer()).bytes();
}

// A Transfer Syntax UID value of `size` bytes: the implicit VR UID padded with
// NULs. Recognised only while it fits the classifier's 255-byte buffer with its
// terminator; the data set is written to match the syntax it selects.
std::string long_syntax(std::size_t size, bool recognised) {
    std::string value = test::implicit_le_uid();
    value.resize(size, '\0');
    dicom_builder b = part10(dicom_builder().explicit_element(0x0002, 0x0010, "UI", value).bytes());
    if (recognised) {
        b.implicit_element(0x0008, 0x0060, "MR").implicit_element(0x0010, 0x0010, "Doe^Jane");
    } else {
        b.explicit_element(0x0008, 0x0060, "CS", "MR")
            .explicit_element(0x0010, 0x0010, "PN", "Doe^Jane");
    }
    return b.bytes();
}

std::string bits64(std::uint64_t v) { return le32(u32(v & 0xFFFFFFFFu)) + le32(u32(v >> 32)); }

std::string float_specials() {
    const std::string fl = le32(0x7FC00000u) + le32(0x7F800000u)     // NaN, +infinity
                           + le32(0xFF800000u) + le32(0x80000000u);  // -infinity, -0
    const std::string fd = bits64(0x7FF8000000000000u) + bits64(0x7FF0000000000001u)  // NaNs
                           + bits64(0x7FF0000000000000u) + bits64(0xFFF0000000000000u) +
                           bits64(1);  // the smallest subnormal
    return dicom_builder()
        .explicit_element(0x0019, 0x1001, "FL", fl)
        .explicit_element(0x0019, 0x1002, "FD", fd)
        .bytes();
}

std::string ragged_numbers() {
    return dicom_builder()
        .explicit_element(0x0028, 0x0010, "US", std::string("\0\2\0", 3))
        .explicit_element(0x0028, 0x0011, "US", std::string("\2", 1))
        .explicit_element(0x0028, 0x0106, "SS", std::string("\xFF\xFF\x01", 3))
        .explicit_element(0x0019, 0x1003, "SL", std::string("\1\0\0\0\2", 5))
        .explicit_element(0x0019, 0x1004, "UL", std::string("\1\0\0\0\2\0\0", 7))
        .explicit_element(0x0019, 0x1005, "FL", std::string("\0\0\x80\x3F\0\0", 6))
        .explicit_element(0x0019, 0x1006, "FD", std::string(15, '\x40'))
        .explicit_element(0x0028, 0x0009, "AT", std::string("\x18\0\x63\x10\x28\0", 6))
        .bytes();
}

std::string encapsulated(const std::string& fragments) {
    return dicom_builder().explicit_header(0x7FE0, 0x0010, "OB", test::undefined).item(0).bytes() +
           fragments;
}

// The elements that describe a frame: one sample of `bits` bits, unsigned.
dicom_builder pixel_module(dicom_builder b, std::uint16_t rows, std::uint16_t columns,
                           std::uint16_t bits, const char* frames) {
    return b.explicit_element(0x0028, 0x0002, "US", test::le16(1))
        .explicit_element(0x0028, 0x0004, "CS", "MONOCHROME2 ")
        .explicit_element(0x0028, 0x0008, "IS", frames)
        .explicit_element(0x0028, 0x0010, "US", test::le16(rows))
        .explicit_element(0x0028, 0x0011, "US", test::le16(columns))
        .explicit_element(0x0028, 0x0100, "US", test::le16(bits))
        .explicit_element(0x0028, 0x0101, "US", test::le16(bits))
        .explicit_element(0x0028, 0x0102, "US", test::le16(std::uint16_t(bits - 1)))
        .explicit_element(0x0028, 0x0103, "US", test::le16(0));
}

// An RLE frame of 2 x 2 8-bit values whose one segment starts past the fragment.
std::string rle_segment_past_fragment() {
    std::string header = le32(1) + le32(5000) + std::string(56, '\0');
    return header + std::string("\x03\x01\x02\x03\x04", 5);
}

// A lossless JPEG of 8 x 8 where its header says 16 x 16.
std::string jpeg_of_other_dimensions() {
    const std::vector<std::uint16_t> samples(64, 1000);
    const std::vector<unsigned char> jpeg =
        test::lossless_jpeg_encoder().encode(samples, 8, 8, 1, {16, 1, 0, 0});
    return std::string(jpeg.begin(), jpeg.end());
}

std::string encapsulated_frame(const char* syntax, const std::string& fragment, bool whole) {
    dicom_builder b = pixel_module(part10(syntax_element(syntax)), 16, 16, 16, "1");
    b.raw(encapsulated(""));
    if (!whole) return b.item(u32(fragment.size() + 100)).raw(fragment).bytes();
    return b.item(u32(fragment.size())).raw(fragment).sequence_end().bytes();
}

// "DICM" and what follows it, without the 128 bytes before.
std::string without_preamble() { return explicit_file().bytes().substr(128); }

// The catalogue, in the order the files are listed.
std::vector<case_file> table() {
    return {
        // Sound files of each shape.
        {"sound_explicit", 8, true, [] { return damaged(""); }},
        {"sound_implicit", 12, false,
         [] {
             dicom_builder b = implicit_file();
             b.implicit_header(0x0008, 0x1140, test::undefined).item();
             b.implicit_element(0x0008, 0x1150, uid("1.2.3")).item_end().sequence_end();
             return b.bytes();
         }},
        {"sound_sequences", 20, true,
         [] {
             const std::string inner =
                 uid_element() +
                 dicom_builder().explicit_element(0x0008, 0x1155, "UI", uid("1.2.3.4")).bytes();
             dicom_builder b = explicit_file();
             b.sequence(0x0008, 0x1140, u32(8 + inner.size())).item(u32(inner.size())).raw(inner);
             b.sequence(0x0040, 0x0275).item().explicit_element(0x0040, 0x0009, "SH", "SPS1");
             b.item_end().item().explicit_element(0x0040, 0x0009, "SH", "SPS2").item_end();
             b.sequence_end().sequence(0x0008, 0x1115, 0);
             return b.bytes();
         }},
        {"sound_encapsulated", 10, false,
         [] {
             return part10(syntax_element("1.2.840.10008.1.2.4.50"))
                 .explicit_element(0x0028, 0x0010, "US", std::string("\0\2", 2))
                 .raw(encapsulated(""))
                 .item(8)
                 .raw(std::string("\xFF\xD8\xFF\xD9\0\0\0\0", 8))
                 .sequence_end()
                 .bytes();
         }},
        {"preamble_not_zero", 7, false,
         [] {
             std::string bytes = explicit_file().bytes();
             bytes.replace(0, 128, 128, '\xFF');
             return bytes;
         }},

        // Too short, empty, or without the marker.
        {"empty", 0, false, [] { return std::string(); }},
        {"one_byte", 0, false, [] { return std::string(1, '\0'); }},
        {"short_131_bytes", 0, false, [] { return explicit_file().bytes().substr(0, 131); }},
        {"marker_only_132_bytes", 0, false, [] { return explicit_file().bytes().substr(0, 132); }},
        {"marker_misspelt", 0, false,
         [] {
             std::string bytes = explicit_file().bytes();
             bytes[131] = 'N';
             return bytes;
         }},
        {"marker_without_preamble", 0, false, [] { return without_preamble(); }},

        // Headers cut short.
        {"meta_cut_in_value", 3, false,
         [] { return explicit_file().bytes().substr(0, 132 + 12 + 14 + 10); }},
        {"header_cut_in_tag", 7, true, [] { return cut_after(std::string("\x10\x00\x20", 3)); }},
        {"header_cut_in_length", 7, true,
         [] { return cut_after(std::string("\x10\x00\x20\x00LO\x04", 7)); }},
        {"long_header_cut", 7, true,
         [] {
             return cut_after(
                 dicom_builder().explicit_header(0x7FE0, 0x0010, "OB", 4).bytes().substr(0, 10));
         }},

        // Lengths that run past the end or wrap 32-bit arithmetic.
        {"length_past_end", 8, true,
         [] {
             return cut_after(
                 dicom_builder().explicit_header(0x0010, 0x0020, "LO", 100).raw("ID").bytes());
         }},
        {"length_fffffff0", 8, true,
         [] {
             return damaged(dicom_builder()
                                .explicit_header(0x0020, 0x4000, "UT", 0xFFFFFFF0u)
                                .raw("abc")
                                .bytes());
         }},
        {"length_end_passes_2_32", 11, true,
         [] {
             return damaged(
                 dicom_builder().sequence(0x0008, 0x1140, 0xFFFFFFF0u).item(0xFFFFFFF8u).bytes() +
                 uid_element());
         }},
        {"implicit_length_fffffffe", 7, false,
         [] {
             return part10(syntax_element(test::implicit_le_uid()))
                 .implicit_element(0x0008, 0x0060, "MR")
                 .implicit_header(0x0010, 0x0010, 0xFFFFFFFEu)
                 .raw("Doe")
                 .bytes();
         }},
        {"numbers_of_ragged_length", 15, true, [] { return cut_after(ragged_numbers()); }},
        {"odd_length_text", 9, true,
         [] {
             return damaged(
                 dicom_builder().explicit_element(0x0010, 0x0030, "DA", "2000010").bytes());
         }},

        // VR bytes that are no VR.
        {"vr_zero_bytes", 9, true,
         [] {
             return damaged(dicom_builder()
                                .explicit_element(0x0010, 0x0021, std::string(2, '\0'), "ID")
                                .bytes());
         }},
        {"vr_lower_case", 10, true,
         [] {
             // "sq" and "ob" take the short form: 16-bit lengths, nothing descended into.
             const std::string item =
                 dicom_builder().item(8).explicit_element(0x0008, 0x1150, "UI", "").bytes();
             return damaged(dicom_builder()
                                .explicit_element(0x0008, 0x1140, "sq", item)
                                .explicit_element(0x7FE0, 0x0010, "ob", "\1\2\3\4")
                                .bytes());
         }},
        {"vr_above_7f", 10, true,
         [] {
             return damaged(dicom_builder()
                                .explicit_element(0x0010, 0x0021, "\xC9\xFF", "ID")
                                .explicit_element(0x0010, 0x0022, std::string("\x80\0", 2), "AB")
                                .bytes());
         }},

        // Transfer Syntax UIDs that are too long, undefined, cut, repeated or nested.
        {"syntax_uid_254_bytes", 7, false, [] { return long_syntax(254, true); }},
        {"syntax_uid_255_bytes", 7, false, [] { return long_syntax(255, false); }},
        {"syntax_uid_300_bytes", 7, false, [] { return long_syntax(300, false); }},
        {"syntax_uid_undefined_length", 9, false,
         [] {
             // The value nests what follows; undefined, it cannot be classified (mode other).
             return part10(dicom_builder()
                               .explicit_header(0x0002, 0x0010, "UN", test::undefined)
                               .bytes())
                 .explicit_element(0x0008, 0x0060, "CS", "MR")
                 .explicit_element(0x0010, 0x0010, "PN", "Doe^Jane")
                 .sequence_end()
                 .raw(trailer())
                 .bytes();
         }},
        {"syntax_uid_past_end", 5, false,
         [] {
             return part10(dicom_builder()
                               .explicit_header(0x0002, 0x0010, "UI", 60)
                               .raw("1.2.840.10")
                               .bytes())
                 .bytes();
         }},
        {"syntax_uid_repeated", 9, false,
         [] {
             // Group 0002 stays explicit in implicit mode, so the second one is read.
             return part10(syntax_element(test::explicit_le_uid()))
                 .explicit_element(0x0008, 0x0060, "CS", "MR")
                 .transfer_syntax(test::implicit_le_uid())
                 .implicit_element(0x0010, 0x0010, "Doe^Jane")
                 .implicit_element(0x0010, 0x0020, "ID-7")
                 .bytes();
         }},
        {"syntax_uid_nested", 14, true,
         [] {
             // Implicit inside the item only: the trailer after the sequence is explicit again.
             dicom_builder b;
             open_sequence_item(b).transfer_syntax(test::implicit_le_uid());
             b.implicit_element(0x0040, 0x0009, "SPS1").item_end().sequence_end();
             return damaged(b.bytes());
         }},

        // Nesting.
        {"nested_16_sequences", 73, true, [] { return nested_sequences(16); }},
        {"nested_64_sequences", 265, true, [] { return nested_sequences(64); }},
        {"nested_100000_sequences", 265, true, [] { return nested_sequences(100000); }},
        {"nested_100000_items", 265, true, [] { return nested_items(100000); }},
        {"nested_100000_defined_sequences", 137, true,
         [] { return nested_defined_sequences(100000); }},
        {"nested_200_sequences", 265, true, [] { return nested_sequences(200); }},

        // Delimiters missing, misplaced, of the wrong kind or with a length.
        {"sequence_never_delimited", 11, true,
         [] {
             const std::string element = uid_element();
             return damaged(
                 dicom_builder().sequence(0x0040, 0x0275).item(u32(element.size())).bytes() +
                 element);
         }},
        {"item_never_delimited", 12, true,
         [] {
             dicom_builder b;
             open_sequence_item(b).raw(uid_element()).sequence_end();
             return damaged(b.bytes());
         }},
        {"delimiters_with_length", 13, true,
         [] {
             dicom_builder b;
             open_sequence_item(b).raw(uid_element()).item_end(8).sequence_end(4);
             return damaged(b.bytes());
         }},
        {"delimiters_of_undefined_length", 13, true,
         [] {
             dicom_builder b;
             open_sequence_item(b)
                 .raw(uid_element())
                 .item_end(test::undefined)
                 .sequence_end(test::undefined);
             return damaged(b.bytes());
         }},
        {"delimiters_of_the_wrong_kind", 13, true,
         [] {
             dicom_builder b;
             open_sequence_item(b).raw(uid_element()).sequence_end().item_end();
             return damaged(b.bytes());
         }},
        {"item_delimiter_at_top_level", 8, true,
         [] { return damaged(dicom_builder().item_end().bytes()); }},
        {"sequence_delimiter_at_top_level", 8, true,
         [] { return damaged(dicom_builder().sequence_end().bytes()); }},
        {"item_at_top_level", 11, true,
         [] { return damaged(dicom_builder().item().raw(uid_element()).item_end().bytes()); }},
        {"zero_length_items_1000", 1010, true, [] { return zero_length_items(1000); }},
        {"zero_length_items_1000000", 1000010, true, [] { return zero_length_items(1000000); }},
        {"item_longer_than_sequence", 11, true,
         [] {
             return cut_after(dicom_builder().sequence(0x0008, 0x1140, 20).item(100).bytes() +
                              uid_element() + trailer());
         }},

        // Encapsulated pixel data.
        {"fragment_past_end", 10, true,
         [] {
             return cut_after(
                 encapsulated(dicom_builder().item(1000).raw(std::string(10, '\x55')).bytes()));
         }},
        {"fragment_of_undefined_length", 11, true,
         [] {
             // The fragment is walked as elements: its first bytes read as a header
             // whose length runs past the end.
             return cut_after(
                 encapsulated(dicom_builder()
                                  .item()
                                  .raw(std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\0", 11))
                                  .bytes()));
         }},
        {"pixel_data_without_final_delimiter", 10, true,
         [] {
             return cut_after(
                 encapsulated(dicom_builder().item(4).raw("\xFF\xD8\xFF\xD9").bytes()));
         }},

        // Pixel data that promises more than it holds.
        {"pixels_frames_past_end", 17, true,
         [] {
             return pixel_module(explicit_file(), 512, 512, 16, "1000")
                 .explicit_element(0x7FE0, 0x0010, "OW", std::string(100, '\x55'))
                 .bytes();
         }},
        {"pixels_fragment_ending_early", 17, false,
         [] {
             return encapsulated_frame("1.2.840.10008.1.2.5", rle_segment_past_fragment(), false);
         }},
        {"pixels_rle_segment_past_fragment", 18, false,
         [] {
             return encapsulated_frame("1.2.840.10008.1.2.5", rle_segment_past_fragment(), true);
         }},
        {"pixels_jpeg_of_other_dimensions", 18, false,
         [] {
             return encapsulated_frame("1.2.840.10008.1.2.4.70", jpeg_of_other_dimensions(), true);
         }},

        // Values.
        {"text_2gb_declared", 8, true,
         [] {
             return cut_after(dicom_builder()
                                  .explicit_header(0x0020, 0x4000, "UT", 0x80000000u)
                                  .raw("Image comments")
                                  .bytes());
         }},
        {"nul_bytes_in_text", 10, true,
         [] {
             return damaged(dicom_builder()
                                .explicit_element(0x0010, 0x1000, "LO", std::string("ID\0\0-7", 6))
                                .explicit_element(0x0008, 0x1030, "LO", std::string("\0abc", 4))
                                .bytes());
         }},
        {"floats_nan_and_infinite", 9, true, [] { return cut_after(float_specials()); }},
    };
}

}  // namespace

std::string sound_file() { return explicit_file().bytes(); }

namespace {

// Everything before the first fragment's value.
std::string sparse_pixel_head() {
    return part10(syntax_element("1.2.840.10008.1.2.4.50"))
        .explicit_element(0x0008, 0x0060, "CS", "SM")
        .explicit_element(0x0010, 0x0010, "PN", "Doe^Jane")
        .explicit_element(0x0028, 0x0010, "US", std::string("\x00\x01", 2))
        .explicit_element(0x0028, 0x0011, "US", std::string("\x00\x01", 2))
        .explicit_header(0x7FE0, 0x0010, "OB", test::undefined)
        .item(0)  // the empty basic offset table
        .bytes();
}

std::string sparse_pixel_tail() {
    return dicom_builder()
        .sequence_end()
        .explicit_element(0xFFFC, 0xFFFC, "OB", std::string(4, '\0'))
        .bytes();
}

constexpr std::size_t sparse_pixel_head_rows = 9;  // five of file meta, four elements
constexpr std::size_t item_header = 8;

}  // namespace

bool write_sparse_pixel_file(const std::string& path, unsigned fragments,
                             std::uint32_t fragment_size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << sparse_pixel_head();
    for (unsigned i = 0; i < fragments && out; ++i) {
        out << dicom_builder().item(fragment_size).bytes();
        out.seekp(std::streamoff(fragment_size), std::ios::cur);
    }
    out << sparse_pixel_tail();
    out.close();
    return bool(out);
}

std::size_t sparse_pixel_file_rows(unsigned fragments) {
    // The head's elements, Pixel Data, the offset table, the fragments, the
    // delimiter and the padding.
    return sparse_pixel_head_rows + 2 + fragments + 2;
}

std::uint64_t sparse_pixel_file_last_offset(unsigned fragments, std::uint32_t fragment_size) {
    return sparse_pixel_head().size() + fragments * (item_header + std::uint64_t(fragment_size)) +
           item_header;
}

const std::vector<case_file>& all_cases() {
    static const std::vector<case_file> cases = table();
    return cases;
}

}  // namespace catalogue

}  // namespace velk
