// How a document's records are read: the default reading or Interpret. The one
// place that knows the difference; everything that reads records as the cells
// do (the row model, the comparison, the inspector, velkdump's writers) asks
// the reading the rows were loaded in.
//
//   default    the file's bytes, little endian, the VR as read, text as code
//              page 1252 bytes (present/cell_text.h)
//   Interpret  the bytes a record's offset counts in (the file, or a deflated
//              data set's inflated bytes), its data set's byte order, the VR it
//              shows (the dictionary's for an element read without one), text by
//              the Specific Character Set in force, UTF-8 cells
//              (present/interpret_cells.h)
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "parse/mapping.h"
#include "parse/reader.h"
#include "parse/record.h"
#include "present/interpret_cells.h"
#include "present/interpret_hint.h"

namespace velk {

// Which reading: the one the list has always had, or Interpret.
enum class dcm_reading : std::uint8_t { standard, interpret };

// The bytes of a file for the length of one command, [begin, end); both null
// when the file did not open.
struct dcm_bytes {
    const char* begin = nullptr;
    const char* end = nullptr;

    static dcm_bytes of(const dcm_file_mapping& file) { return {file.begin(), file.end()}; }
};

class dcm_record_reading {
public:
    virtual ~dcm_record_reading() = default;

    virtual dcm_reading kind() const = 0;
    // A copy, with what it read of its document.
    virtual std::unique_ptr<dcm_record_reading> clone() const = 0;
    // Whether cell texts are UTF-8 rather than 8-bit code page 1252 bytes.
    virtual bool cells_are_utf8() const = 0;

    // Loading. A load forgets the last file's, walks the file (handing chunks
    // on when `chunks` is not null) and reads what the records walked name:
    // the whole load at once, or a chunk's records from `first` on.
    virtual void forget() = 0;
    virtual dcm_walk_result walk(dcm_bytes file, std::vector<dcm_record>& records,
                                 dcm_record_chunks* chunks) = 0;
    virtual void read_whole(dcm_bytes file, const std::vector<dcm_record>& records) = 0;
    virtual void read_chunk(dcm_bytes file, const std::vector<dcm_record>& records,
                            std::size_t first) = 0;
    // Whether the records walked so far must be held to the end of the load: a
    // VR waits for what only the whole load knows.
    virtual bool holds_records() const = 0;
    // The container record `r` and what it holds, walked again in `file` as it
    // is now; empty when the bytes no longer hold it.
    virtual std::vector<dcm_record> reparse(dcm_bytes file, const dcm_record& r) const = 0;
    // While the default reading is in use: why Interpret would show more, if it would.
    virtual dcm_interpret_hint hint() const { return dcm_interpret_hint::none; }
    // How inflating a deflated data set ended (complete when there was none).
    virtual dcm_inflate_end inflate_end() const { return dcm_inflate_end::complete; }
    // A deflated data set's inflated bytes (none when there are none).
    virtual dcm_bytes inflated() const { return {}; }

    // One record.
    virtual dcm_bytes bytes_of(dcm_bytes file, const dcm_record& r) const = 0;
    virtual dcm_byte_order byte_order(const dcm_record& r) const = 0;
    // The VR the record of tag `tag` shows.
    virtual dcm_shown_vr vr_of(std::uint32_t tag, const dcm_record& r) const = 0;
    // The character set its text is in; null for code page 1252.
    virtual const dcm_charset* charset_at(const dcm_record& r) const = 0;
    // What the cells of one record have in common, read once for all of them.
    virtual dcm_interpret_row row_of(dcm_bytes file, const dcm_record& r) const = 0;
    // The text of one cell (see present/cell_text.h for the columns), cut to
    // capacity - 1 bytes and terminated; answers its length.
    virtual std::size_t cell_text(const dcm_interpret_row& row, dcm_bytes file, const dcm_record& r,
                                  int column, char* out, std::size_t capacity) const = 0;

    std::size_t cell_text(dcm_bytes file, const dcm_record& r, int column, char* out,
                          std::size_t capacity) const {
        return cell_text(row_of(file, r), file, r, column, out, capacity);
    }
};

std::unique_ptr<dcm_record_reading> dcm_make_reading(dcm_reading kind);

// The default reading of no document, for a reader of records without rows.
const dcm_record_reading& dcm_default_reading();

}  // namespace velk
