// The walk of the Interpret mode: every file read as the standard means it.
//
// - The file meta group (0002,xxxx) is read in explicit VR little endian; the data
//   set after it in the syntax its Transfer Syntax UID names: implicit or explicit
//   VR little endian, explicit VR big endian, or deflated (inflated first, then
//   explicit VR little endian). A data set whose first element plainly is not in
//   the named VR form (or that has no Transfer Syntax UID) is read in the form its
//   first element shows, as the peers read such files.
// - An element read without a VR takes the dictionary's for its container
//   decision: a sequence of defined length is descended into.
// - A UN value of undefined length, or of a tag the dictionary knows as a
//   sequence, is walked as implicit VR little endian (PS3.5 section 6.2.2).
//
// The records are the default walk's: the VR as read (zeros when implicit), the
// syntax of the element's level, and `inflated` for the records of a deflated data
// set, whose offsets count in its inflated bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "parse/inflate.h"
#include "parse/record.h"

namespace velk {

// The dictionary the walk consults: the two VR letters of a tag, or null when the
// tag is unknown. parse/ knows no dictionary of its own; present/ gives one.
using dcm_dictionary_vr = const char* (*)(std::uint32_t tag);

// What an Interpret load holds besides its records.
struct dcm_interpret_data {
    std::vector<char> inflated;  // a deflated data set's bytes, inflated; else empty
    dcm_inflate_end inflate_end = dcm_inflate_end::complete;
    bool deflated = false;  // the data set was deflated
};

// Walks the part-10 file [begin, end) into `records` (appended; with `chunks`,
// handed on in chunks). A deflated data set inflates to at most `inflate_cap` bytes.
dcm_walk_result dcm_read_records_interpret(const char* begin, const char* end,
                                           dcm_dictionary_vr dictionary,
                                           std::vector<dcm_record>& records,
                                           dcm_interpret_data& data,
                                           std::size_t inflate_cap = dcm_inflate_cap,
                                           dcm_record_chunks* chunks = nullptr);

// Walks container `row` again in [begin, end) (the file, or for an inflated
// record the inflated bytes): the element and everything nested in it, or
// nothing when the bytes no longer hold that container.
std::vector<dcm_record> dcm_reparse_record_interpret(const char* begin, const char* end,
                                                     dcm_dictionary_vr dictionary,
                                                     const dcm_record& row);

}  // namespace velk
