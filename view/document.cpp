#include "view/document.h"

#include <algorithm>
#include <atomic>

#include "check/check.h"

namespace velk {

void dcm_document::load(const dcm_path_char* path) {
    m_path = path ? path : dcm_path();
    m_loaded = true;
    read({});
    tell(dcm_document_change::loaded);
}

void dcm_document::reload() {
    if (!m_loaded) return;
    read({});
    tell(dcm_document_change::loaded);
}

void dcm_document::set_reading(dcm_reading reading) {
    if (reading == m_reading) return;
    m_reading = reading;
    if (!m_loaded) return;
    read(CollapsedContainers(m_rows));
    tell(dcm_document_change::relisted);
}

// The model is kept from load to load in one reading: its room stays reserved.
void dcm_document::read(const std::vector<CollapsedContainer>& keep_collapsed) {
    if (m_rows.reading().kind() != m_reading) m_rows = dcm_row_model(m_reading);
    m_rows.load_file(m_path.c_str());
    CollapseAgain(m_rows, keep_collapsed);
    m_problems = dcm_problems();
    m_checked = false;
    ++m_loads;
}

void dcm_document::collapse(std::size_t row) {
    m_rows.collapse(row);
    tell(dcm_document_change::folded);
}

void dcm_document::expand(std::size_t row) {
    // The file as it is now; one that no longer opens gives null bytes, and the
    // row gets nothing back.
    const dcm_file_mapping file(m_path.c_str());
    m_rows.expand(row, dcm_bytes::of(file));
    tell(dcm_document_change::folded);
}

void dcm_document::show_pixels(dcm_bytes file, std::uint64_t offset, bool inflated) {
    m_frame.open(file, offset, inflated);
}

void dcm_document::show_frame(std::uint32_t index) {
    const dcm_file_mapping file(m_path.c_str());
    m_frame.show_frame(dcm_bytes::of(file), index);
}

dcm_row_model dcm_document::whole_rows(dcm_bytes file) const {
    if (m_rows.collapsed().empty()) return m_rows;
    dcm_row_model whole(m_rows.reading().kind());
    whole.load(file);
    return whole;
}

// The check reads a whole load: the rows when nothing is folded, else the file
// read again in the same reading.
bool dcm_document::check(unsigned load) {
    if (!m_loaded || load != m_loads || m_checked) return false;
    const dcm_file_mapping file(m_path.c_str());
    const dcm_bytes bytes = dcm_bytes::of(file);
    m_problems = dcm_problems(m_rows.collapsed().empty() ? dcm_check(m_rows, bytes)
                                                         : dcm_check(whole_rows(bytes), bytes));
    m_checked = true;
    tell(dcm_document_change::checked);
    return true;
}

void dcm_document::tell(dcm_document_change change) const {
    for (const auto& told : m_listeners) told.second(change);
}

std::size_t dcm_document::listen(listener l) {
    static std::atomic<std::size_t> last_token{0};
    const std::size_t token = ++last_token;
    m_listeners.push_back({token, std::move(l)});
    return token;
}

void dcm_document::forget(std::size_t token) {
    m_listeners.erase(std::remove_if(m_listeners.begin(), m_listeners.end(),
                                     [token](const auto& told) { return told.first == token; }),
                      m_listeners.end());
}

}  // namespace velk
