#include "present/row_model.h"

#include <algorithm>
#include <iterator>

#include "parse/reader.h"
#include "parse/tags.h"

namespace velk {

dcm_row_model::dcm_row_model(const dcm_row_model& other)
    : m_reading(other.m_reading->clone()), m_records(other.m_records),
      m_collapsed(other.m_collapsed), m_walk(other.m_walk), m_facts(other.m_facts) {}

dcm_row_model& dcm_row_model::operator=(const dcm_row_model& other) {
    if (this != &other) *this = dcm_row_model(other);
    return *this;
}

void dcm_row_model::start_load(dcm_bytes file) {
    m_records.clear();
    m_collapsed.clear();
    m_facts = {};
    m_facts.file_size = file.begin ? std::uint64_t(file.end - file.begin) : 0;
    m_reading->forget();
}

dcm_walk_result dcm_row_model::load(dcm_bytes file, std::size_t room) {
    start_load(file);
    try {
        m_records.reserve(room);
        m_walk = m_reading->walk(file, m_records, nullptr);
        m_reading->read_whole(file, m_records);
    } catch (...) {
        // Only allocation can fail here. A load whose rows do not fit lists
        // nothing rather than the front of the file, and gives its memory back.
        const std::uint64_t reached = m_records.empty() ? 0u : m_records.back().offset;
        std::vector<dcm_record>().swap(m_records);
        m_walk = {dcm_walk_status::out_of_memory, 0, reached};
    }
    m_facts.transfer_syntax = transfer_syntax_of(file);
    return m_walk;
}

dcm_walk_result dcm_row_model::load_in_chunks(
    dcm_bytes file, std::size_t chunk_rows, const std::function<void(const dcm_row_model&)>& each) {
    start_load(file);
    std::size_t read = 0;  // the rows held whose character sets are read
    const auto read_rows = [&] {
        m_reading->read_chunk(file, m_records, read);
        read = m_records.size();
    };
    dcm_record_chunks chunks{chunk_rows > 0 ? chunk_rows : 1, [&] {
                                 // A chunk's character sets are read before its rows are written.
                                 // Once a row's VR waits for the Pixel Representation, the rest is
                                 // held to the end.
                                 read_rows();
                                 if (m_reading->holds_records()) return false;
                                 each(*this);
                                 read = 0;
                                 return true;
                             }};
    try {
        m_records.reserve(chunks.rows);
        m_walk = m_reading->walk(file, m_records, &chunks);
        read_rows();
        if (!m_records.empty()) each(*this);
    } catch (...) {
        // As in load(): only allocation can fail here (the rows handed on stay written).
        const std::uint64_t reached = m_records.empty() ? 0u : m_records.back().offset;
        m_walk = {dcm_walk_status::out_of_memory, 0, reached};
    }
    m_records.clear();
    return m_walk;
}

// The file meta information comes first: its rows are the group 0002 ones at
// the front.
std::string dcm_row_model::transfer_syntax_of(dcm_bytes file) const {
    // The file meta group comes first and is always explicit little endian.
    for (std::size_t row = 0; row < m_records.size(); ++row) {
        const dcm_record& r = m_records[row];
        const dcm_bytes bytes = m_reading->bytes_of(file, r);
        if (!bytes.begin || std::uint64_t(bytes.end - bytes.begin) < std::uint64_t(r.offset) + 4)
            break;
        const std::uint32_t tag = dcm_load_tag(bytes.begin + r.offset, r.byte_order());
        if (dcm_tag_group(tag) != file_meta_group) break;
        if (tag == tag_transfer_syntax_uid) {
            char text[dcm_cell_capacity];
            return std::string(text, cell_text(file, row, dcm_column_data, text, sizeof text));
        }
    }
    return {};
}

dcm_row_image dcm_row_model::image(std::size_t row) const {
    if (!m_records[row].container) return dcm_image_plain;
    return is_collapsed(row) ? dcm_image_collapsed : dcm_image_expanded;
}

bool dcm_row_model::vr_from_dictionary(dcm_bytes file, std::size_t row) const {
    if (row >= m_records.size()) return false;
    const dcm_interpret_row facts = m_reading->row_of(file, m_records[row]);
    return facts.has_tag && facts.vr.from_dictionary;
}

bool dcm_row_model::is_collapsed(std::size_t row) const {
    return row < m_records.size() && m_collapsed.count(static_cast<int>(row)) != 0;
}

// One past the last row nested in `row`: the rows after it with a greater level.
std::size_t dcm_row_model::nested_end(std::size_t row) const {
    const std::uint32_t level = m_records[row].level;
    std::size_t e = row + 1;
    while (e < m_records.size() && m_records[e].level > level) ++e;
    return e;
}

// Adds delta to every collapsed row from `first` on. The caller has emptied the
// rows that the moved entries pass over, so their order is kept. Moves nodes
// rather than copies, which cannot fail.
void dcm_row_model::shift_collapsed_from(int first, int delta) {
    if (delta < 0) {
        // Upwards, lowest first: a moved entry lands before those still to move.
        auto it = m_collapsed.lower_bound(first);
        while (it != m_collapsed.end()) {
            const auto next = std::next(it);
            auto node = m_collapsed.extract(it);
            node.value() += delta;
            m_collapsed.insert(next, std::move(node));
            it = next;
        }
    } else if (delta > 0) {
        // Downwards, highest first, for the same reason.
        auto it = m_collapsed.end();
        while (it != m_collapsed.begin()) {
            const auto last = std::prev(it);
            if (*last < first) break;
            auto node = m_collapsed.extract(last);
            node.value() += delta;
            it = m_collapsed.insert(it, std::move(node));
        }
    }
}

std::size_t dcm_row_model::collapse(std::size_t row) {
    if (row >= m_records.size() || !m_records[row].container || is_collapsed(row)) return 0;
    const std::size_t e = nested_end(row);
    const int r = static_cast<int>(row);
    const int removed = static_cast<int>(e - row - 1);
    m_collapsed.insert(r);  // the one step that may fail, before anything changes
    // Collapsed rows inside go with their rows: they come back expanded.
    m_collapsed.erase(m_collapsed.upper_bound(r), m_collapsed.lower_bound(static_cast<int>(e)));
    shift_collapsed_from(static_cast<int>(e), -removed);
    m_records.erase(m_records.begin() + static_cast<std::ptrdiff_t>(row) + 1,
                    m_records.begin() + static_cast<std::ptrdiff_t>(e));
    return static_cast<std::size_t>(removed);
}

std::size_t dcm_row_model::expand(std::size_t row, dcm_bytes file) {
    if (!is_collapsed(row)) return 0;
    const dcm_record r = m_records[row];
    const std::vector<dcm_record> walked = m_reading->reparse(m_reading->bytes_of(file, r), r);
    // The walk gives the container first, then what is nested in it, with the
    // levels the load gave them. Only rows nested deeper than the container are
    // placed below it, so that the next collapse removes exactly them.
    std::size_t count = walked.empty() ? 0 : walked.size() - 1;
    for (std::size_t i = 1; i <= count; ++i) {
        if (walked[i].level <= r.level) {
            count = i - 1;
            break;
        }
    }
    m_records.reserve(m_records.size() + count);  // the one step that may fail
    if (count > 0) {
        const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(row) + 1;
        m_records.insert(m_records.begin() + at, walked.begin() + 1,
                         walked.begin() + 1 + static_cast<std::ptrdiff_t>(count));
        shift_collapsed_from(static_cast<int>(at), static_cast<int>(count));
    }
    m_collapsed.erase(static_cast<int>(row));
    return count;
}

dcm_row_model dcm_row_model::only_rows(const std::vector<std::uint32_t>& rows) const {
    dcm_row_model kept;
    kept.m_reading = m_reading->clone();
    kept.m_walk = m_walk;
    kept.m_facts = m_facts;
    kept.m_records.reserve(rows.size());
    for (const std::uint32_t row : rows) {
        if (row >= m_records.size()) break;
        kept.m_records.push_back(m_records[row]);
    }
    return kept;
}

}  // namespace velk
