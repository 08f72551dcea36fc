// The element record: everything a consumer needs of one element, read once by
// the walk. A record holds no value bytes; every later use of the element reads
// the file again from the record's offset, with the syntax it was read in.
//
// Beside it, how a walk ended: complete, or the first place where the file did
// not hold what it declared, as a kind, a tag and an offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "parse/header.h"
#include "parse/visitor.h"

namespace velk {

// The offset has 48 bits (256 TiB, above the 128 TiB a 64-bit process can map)
// and the level 8 (the walk descends at most dcm_max_nesting levels): with the
// header length they share one 64-bit word, the flags one byte, and a record is
// 16 bytes. A walk that reaches an element its offset cannot hold ends there
// (dcm_walk_status::offset_too_large). The word's bit-fields share one type, so
// that both compilers' layouts (MinGW's is Microsoft's) pack them alike.
struct dcm_record {
    std::uint64_t offset : 48;        // first byte of the element, from the file's start
    std::uint64_t level : 8;          // true nesting level, 0 for the data set's own elements
    std::uint64_t header_length : 5;  // 8 or 12
    std::uint32_t length;             // declared value length (undefined_length kept)
    char vr[2];                       // as read; two zero bytes when there is none
    dcm_syntax syntax;                // the mode its header was read in
    bool container : 1;               // the walk's container decision
    bool recurse : 1;   // whether the element's level descends into sequences and items
    bool inflated : 1;  // in a deflated data set's inflated bytes, where its offset counts

    // The depth a row shows: the level modulo 16, as the list's indent has four bits.
    unsigned depth() const { return unsigned(level) & 0xFu; }
    std::uint64_t value_offset() const { return std::uint64_t(offset) + header_length; }
    // The byte order of the data set it was read in.
    dcm_byte_order byte_order() const {
        return syntax == syntax_explicit_be ? dcm_byte_order::big : dcm_byte_order::little;
    }
};

// The first offset a record cannot hold.
constexpr std::uint64_t dcm_record_offset_limit = std::uint64_t(1) << 48;

// Millions of records may be held per document.
static_assert(sizeof(dcm_record) == 16, "a record is 16 bytes");

// How a walk ended. Only the first shortfall is kept: what follows it is a
// consequence.
enum class dcm_walk_status : std::uint8_t {
    complete,           // every declared byte was there and walked
    not_part10,         // no file, an empty one, or no "DICM" at byte 128: nothing walked
    header_cut,         // the file ends inside an element's header
    value_past_end,     // an element declares more bytes than the file has
    missing_delimiter,  // an undefined-length value reaches the end without its delimiter
    stray_delimiter,    // a delimiter inside a defined-length level ended it early
    nesting_too_deep,   // a container nested deeper than the walk descends was stepped over
    out_of_memory,      // the rows did not fit in memory: none are kept
    inflate_stopped,    // a deflated data set inflated only in part (cut, damaged or capped)
    offset_too_large,   // an element starts past what a record's offset holds (256 TiB)
};

struct dcm_walk_result {
    dcm_walk_status status = dcm_walk_status::complete;
    std::uint32_t tag = 0;     // the element where it happened; 0 when its tag was cut
    std::uint64_t offset = 0;  // that element's first byte, or where the bytes ran out

    bool complete() const { return status == dcm_walk_status::complete; }
};

// Words for a status, for the command line and the status bar: "complete",
// "header cut by the end of the file", ...
const char* dcm_walk_status_text(dcm_walk_status status);

// How a walk ended, in words for the command line and the status bar: the
// status alone where it names no place ("complete", "not a DICOM part-10
// file"), otherwise where it stopped, the offset in full:
// "stopped at 2994, (0027,1040): element header cut by the end of the file".
std::string dcm_walk_end_text(const dcm_walk_result& walk);

// A walk's records handed on in bounded chunks, so that nothing the walk holds
// grows with the file: once the walk's vector holds `rows` records, `hand_on`
// takes them (true), and they are dropped; or it leaves them (false), and the
// walk keeps every record from then on. The records left at the end are the
// caller's.
struct dcm_record_chunks {
    std::size_t rows;
    std::function<bool()> hand_on;

    // Called by a walk after each record it adds to `records`.
    void added(std::vector<dcm_record>& records) {
        if (records.size() < rows) return;
        if (hand_on())
            records.clear();
        else
            rows = SIZE_MAX;
    }
};

// Collects one record per reported element and descends into every container.
class dcm_record_insert : public dcm_element_visitor {
public:
    // `level`, `recurse` and `mode` are those of the first level walked: 0, true
    // and explicit little endian for a whole file, a record's own for a re-parse.
    // With `chunks`, the records are handed on as they reach its size.
    dcm_record_insert(std::vector<dcm_record>& records, std::uint32_t level, bool recurse,
                      dcm_syntax mode, dcm_record_chunks* chunks = nullptr);

    void set_base(const void* base) override;
    bool enter(const void* value, std::uint32_t length, std::uint32_t tag,
               dcm_syntax mode) override;
    bool leave(std::uint64_t consumed) override;
    dcm_visit element(const void* start, dcm_syntax mode, std::uint32_t tag, const char* vr,
                      bool container, const void* value, std::uint32_t length) override;

protected:
    const unsigned char* m_base = nullptr;

private:
    std::vector<dcm_record>& m_records;
    dcm_record_chunks* m_chunks;
    std::uint32_t m_level;
    // Per open level, bounded by the nesting guard: whether it descends, and the
    // mode in force before its next element (a Transfer Syntax UID changes it
    // for the elements after it, not for its own header).
    struct open_level {
        bool recurse;
        dcm_syntax mode;
    };
    std::vector<open_level> m_open;
    char m_last_vr[2] = {0, 0};  // of the element just reported, which enter() follows
};

// Walks the part-10 file [begin, end) into `records` (appended; with `chunks`,
// handed on in chunks). What the walk could not read is the answer.
dcm_walk_result dcm_read_records(const char* begin, const char* end,
                                 std::vector<dcm_record>& records,
                                 dcm_record_chunks* chunks = nullptr);

// Walks the container `row` of the file [begin, end) again, with the syntax,
// level and recurse flag the load recorded. Returns the element itself followed
// by everything nested in it, in file order. Returns nothing when the bytes at
// the row's offset no longer hold that container (the file changed since the load).
std::vector<dcm_record> dcm_reparse_record(const char* begin, const char* end,
                                           const dcm_record& row);

}  // namespace velk
