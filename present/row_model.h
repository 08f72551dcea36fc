// The row model: one loaded document as rows. It holds the records of the rows
// shown (every container expanded after a load) and which container rows are
// collapsed, and answers everything the list, Copy Rows, Find and velkdump ask of
// a row: its cells' text, its indent and its image.
//
// The model keeps no mapping: the bytes are passed to each question, so that one
// command maps the file once for all of its questions and no mapping outlives the
// command. How values are read is the model's reading (present/reading.h), fixed
// at construction; the model hands it to whoever reads its records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "parse/mapping.h"
#include "parse/record.h"
#include "present/cell_text.h"
#include "present/reading.h"

namespace velk {

// The images of a row: a plain element, an expanded container, a collapsed one.
// Their numbers are the positions in the list's image list.
enum dcm_row_image : int {
    dcm_image_plain = 0,
    dcm_image_expanded = 1,
    dcm_image_collapsed = 2,
};

// What a load found besides the rows.
struct dcm_load_facts {
    dcm_open_failure open = dcm_open_failure::none;  // why the file gave no bytes
    std::uint64_t file_size = 0;                     // the bytes the load read
    std::string transfer_syntax;                     // the (0002,0010) Data cell, if any
};

// Rows a file's bytes can hold at most (an element takes 8 bytes or more), up
// to `most`: room for a load to reserve. A deflated data set may hold more.
inline std::size_t dcm_rows_room(dcm_bytes file, std::size_t most) {
    const std::size_t bytes = file.begin ? std::size_t(file.end - file.begin) : 0;
    return bytes / 8 < most ? bytes / 8 : most;
}

class dcm_row_model {
public:
    // Room reserved before a load; capacity, not a limit.
    static constexpr std::size_t reserved_rows = 50000;

    explicit dcm_row_model(dcm_reading reading = dcm_reading::standard)
        : m_reading(dcm_make_reading(reading)) {}
    // A copy holds a copy of the reading: a reading holds what it read of its
    // document (the inflated bytes, the character sets in force).
    dcm_row_model(const dcm_row_model& other);
    dcm_row_model& operator=(const dcm_row_model& other);
    dcm_row_model(dcm_row_model&&) = default;
    dcm_row_model& operator=(dcm_row_model&&) = default;

    // How the records are read: what a reader of them (a comparison, an
    // inspection, a writer) is given to read them as the cells do.
    const dcm_record_reading& reading() const { return *m_reading; }
    // Whether cell texts are UTF-8 (Interpret) rather than 8-bit code page 1252 bytes.
    bool cells_are_utf8() const { return m_reading->cells_are_utf8(); }
    // While the default reading is in use: why Interpret would show more, if it would.
    dcm_interpret_hint interpret_hint() const { return m_reading->hint(); }
    // Whether a row's VR cell shows a VR not read from the file.
    bool vr_from_dictionary(dcm_bytes file, std::size_t row) const;
    // How inflating a deflated data set ended (complete when there was none).
    dcm_inflate_end inflate_end() const { return m_reading->inflate_end(); }

    // Empties the rows and fills them from the bytes of a file, every container
    // expanded. Null or unmarked bytes give no rows. When the rows do not fit in
    // memory there are none (out_of_memory()). Answers, and keeps, how the walk
    // ended. `room` rows are reserved first (capacity, not a limit): a reader
    // that drops the model at once may ask for as many as the file can hold
    // (dcm_rows_room), so that the rows are never copied to grow.
    dcm_walk_result load(dcm_bytes file, std::size_t room = reserved_rows);

    // Walks the file as load() does but holds at most `chunk_rows` rows at a time:
    // whenever that many are held, and once for the rest, `each(*this)` is called
    // and they are dropped after it. For writers that need a row only while they
    // write it: nothing held grows with the file. Such a load keeps no collapse,
    // no hint and of its facts only the file size; the model is empty after it.
    // In the Interpret reading, rows from the first whose VR the data set's Pixel
    // Representation decides ("US or SS") are held to the end and handed on then.
    dcm_walk_result load_in_chunks(dcm_bytes file, std::size_t chunk_rows,
                                   const std::function<void(const dcm_row_model&)>& each);

    // Maps the file at `path` for the length of the load.
    template <class Char>
    dcm_walk_result load_file(const Char* path) {
        const dcm_file_mapping file(path);
        load(dcm_bytes::of(file));
        m_facts.open = file.failure();
        return m_walk;
    }

    const dcm_walk_result& walk_result() const { return m_walk; }
    const dcm_load_facts& load_facts() const { return m_facts; }
    bool out_of_memory() const { return m_walk.status == dcm_walk_status::out_of_memory; }

    std::size_t size() const { return m_records.size(); }
    const dcm_record& record(std::size_t row) const { return m_records[row]; }
    const std::vector<dcm_record>& records() const { return m_records; }
    const std::set<int>& collapsed() const { return m_collapsed; }

    // A row's indent in the list: its depth, 0 to 15.
    int indent(std::size_t row) const { return static_cast<int>(m_records[row].depth()); }
    dcm_row_image image(std::size_t row) const;

    // The 8-bit text of one cell of row `row` (see cell_text.h for what each
    // column holds and how it is cut), read from `file` as it is now.
    std::size_t cell_text(dcm_bytes file, std::size_t row, int column, char* out,
                          std::size_t capacity) const {
        if (row < m_records.size()) return cells(file, row).text(column, out, capacity);
        if (capacity > 0) out[0] = '\0';
        return 0;
    }

    // The cells of one row, read once for all of them: what a writer of whole
    // rows asks rather than cell_text for each cell. Valid while the model and
    // the bytes are.
    class row_cells {
    public:
        // As cell_text(file, row, column, out, capacity).
        std::size_t text(int column, char* out, std::size_t capacity) const {
            return m_reading.cell_text(m_row, m_file, m_record, column, out, capacity);
        }

    private:
        friend class dcm_row_model;
        row_cells(const dcm_record_reading& reading, dcm_bytes file, const dcm_record& record)
            : m_reading(reading), m_file(file), m_record(record),
              m_row(reading.row_of(file, record)) {}

        const dcm_record_reading& m_reading;
        dcm_bytes m_file;
        const dcm_record& m_record;
        dcm_interpret_row m_row;
    };

    // Row `row` must be one of the rows.
    row_cells cells(dcm_bytes file, std::size_t row) const {
        return {*m_reading, file, m_records[row]};
    }

    // Removes the rows nested in container row `row` and marks it collapsed.
    // Answers the number of rows removed; nothing happens (0) when the row is out
    // of range, not a container or already collapsed.
    std::size_t collapse(std::size_t row);

    // Walks collapsed row `row` again in `file` as it is now, inserts its nested
    // rows after it and marks it expanded. Answers the number of rows inserted. A
    // row that is out of range or not collapsed is left alone (0). When the bytes
    // no longer hold the container (the file changed, shrank or vanished), nothing
    // is inserted and the row is still marked expanded, so that a later collapse
    // and expand try again.
    std::size_t expand(std::size_t row, dcm_bytes file);

    bool is_collapsed(std::size_t row) const;

    // A model of only the rows listed (ascending; rows out of range end the
    // list), in the same reading, with no collapse: the rows a filter shows.
    // Copies those rows alone, not all of them.
    dcm_row_model only_rows(const std::vector<std::uint32_t>& rows) const;

private:
    void start_load(dcm_bytes file);
    std::size_t nested_end(std::size_t row) const;
    std::string transfer_syntax_of(dcm_bytes file) const;
    void shift_collapsed_from(int first, int delta);

    std::unique_ptr<dcm_record_reading> m_reading;
    std::vector<dcm_record> m_records;  // visible rows, file order
    std::set<int> m_collapsed;          // rows whose nested rows are hidden
    dcm_walk_result m_walk;
    dcm_load_facts m_facts;
};

}  // namespace velk
