// The cells of the Interpret mode: what the row model answers for a record read
// by the Interpret walk (parse/interpret_walk.h). All text is UTF-8.
//
//   Tag          from the element's first four bytes, in the byte order it was read in
//   VR           as read, or the complete dictionary's in parentheses: "(US)"; for
//                a private element of a known creator's block, the private
//                dictionary's (present/private_dictionary.h)
//   Size         the declared length, as in the default mode
//   Description  the complete dictionary's name; " (RET)" after a retired one; a
//                private element's in square brackets: "[CSA Image Header Info]"
//   Data         present/interpret_value.h, text by the Specific Character Set in force
//   Offset       from the file's first byte; for an element of a deflated data set,
//                from the first inflated byte, written with a "z" before it ("z0")
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "parse/interpret_walk.h"
#include "parse/record.h"
#include "present/charset.h"
#include "present/interpret_value.h"
#include "present/private_blocks.h"

namespace velk {

// The Specific Character Set in force over a stretch of a data set: from the
// (0008,0005) element to the end of the data set or item that holds it.
struct dcm_charset_span {
    bool inflated;
    std::uint64_t begin;  // offset of the (0008,0005) element
    std::uint64_t end;    // offset of the first element after its data set or item
    std::uint32_t level;  // the nesting level of its data set or item
    int parent;           // the enclosing span, or -1
    dcm_charset charset;
};

// What an Interpret document holds besides its records.
struct dcm_interpret_document {
    dcm_interpret_data data;
    std::vector<dcm_charset_span> charsets;
    // The Pixel Representation (0028,0103) of the top data set, where the
    // peers find it, is 1: the registry's "US or SS" elements read without a
    // VR are SS (signed pixel values).
    bool signed_pixels = false;

    // Reads the (0008,0005) values of a whole load (every container expanded),
    // and its Pixel Representation.
    void find_charsets(const char* file_begin, const char* file_end,
                       const std::vector<dcm_record>& records);
    // The same for the records from `first` on of a load handed on in chunks, in
    // file order: a chunk's spans are known before its rows are written.
    void add_charsets(const char* file_begin, const char* file_end,
                      const std::vector<dcm_record>& records, std::size_t first);
    std::vector<int> open_spans;  // charsets not yet ended, innermost last
    // A record read so far shows a VR that the Pixel Representation decides,
    // which only the whole load knows.
    bool vr_waits_for_pixels = false;
    // The creators of the private blocks, read with the character sets.
    dcm_private_blocks private_blocks;

    // The VR a record of tag `tag` shows: dcm_interpret_vr's, with "US or SS"
    // decided by the Pixel Representation.
    // `private_entry`, when given, receives the record's private dictionary row
    // (null for none), looked up once for both.
    dcm_shown_vr vr_of(std::uint32_t tag, const dcm_record& r,
                       const dcm_private_entry** private_entry = nullptr) const;

    // The character set in force at a record.
    const dcm_charset& charset_at(const dcm_record& r) const;

    // The bytes a record's offset counts in: the file's, or the inflated ones.
    void bytes_of(const dcm_record& r, const char*& begin, const char*& end) const;
};

// The dictionary the Interpret walk consults (the complete one).
const char* dcm_interpret_dictionary_vr(std::uint32_t tag);

// What the cells of one record have in common, read once for all of them.
struct dcm_interpret_row {
    const char* begin;   // the bytes the record's offset counts in
    std::uint64_t size;  // how many there are
    std::uint32_t tag;   // 0 when its four bytes are not there
    bool has_tag;
    dcm_shown_vr vr;                         // as the VR cell shows it
    const dcm_private_entry* private_entry;  // a private element a creator's block names
};

dcm_interpret_row dcm_interpret_row_of(const char* file_begin, const char* file_end,
                                       const dcm_interpret_document& document, const dcm_record& r);

// The text of one cell, cut to capacity - 1 bytes of UTF-8 and terminated
// (nothing when capacity is 0); returns its length.
std::size_t dcm_interpret_cell_text(const char* file_begin, const char* file_end,
                                    const dcm_interpret_document& document, const dcm_record& r,
                                    int column, char* out, std::size_t capacity);
// The same from the record's row, read once for all its cells.
std::size_t dcm_interpret_cell_text(const dcm_interpret_row& row,
                                    const dcm_interpret_document& document, const dcm_record& r,
                                    int column, char* out, std::size_t capacity);

}  // namespace velk
