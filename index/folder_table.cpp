#include "index/folder_table.h"

#include <algorithm>
#include <map>

namespace velk {

namespace {

char fold(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool contains_folded(const std::string& text, const std::string& folded_needle) {
    const auto found =
        std::search(text.begin(), text.end(), folded_needle.begin(), folded_needle.end(),
                    [](char a, char b) { return fold(a) == b; });
    return found != text.end();
}

// The columns a study line and a series line fill from their first file.
bool study_column(dcm_index_column c) {
    return c == dcm_index_column::patient_name || c == dcm_index_column::patient_id ||
           c == dcm_index_column::study_date || c == dcm_index_column::study_description;
}
bool series_column(dcm_index_column c) {
    return c == dcm_index_column::modality || c == dcm_index_column::series_number ||
           c == dcm_index_column::series_description;
}

std::string count_text(std::size_t files) {
    return std::to_string(files) + (files == 1 ? " file" : " files");
}

}  // namespace

void dcm_folder_table::add(dcm_index_row row) {
    m_rows.push_back(std::move(row));
    m_stale = true;
}

void dcm_folder_table::clear() {
    m_rows.clear();
    m_stale = true;
}

void dcm_folder_table::sort_by(dcm_index_column column) {
    m_descending = column == m_sort && !m_descending;
    m_sort = column;
    m_stale = true;
}

void dcm_folder_table::set_filter(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), fold);
    m_filter = std::move(text);
    m_stale = true;
}

void dcm_folder_table::set_grouped(bool grouped) {
    m_grouped = grouped;
    m_stale = true;
}

// A file without a Study Instance UID (or Series) is grouped with the others
// that lack it: the group is the folder's, not a study's.
std::string dcm_folder_table::study_key(const dcm_index_row& row) const { return row.study_uid; }
std::string dcm_folder_table::series_key(const dcm_index_row& row) const {
    return row.study_uid + '\n' + row.series_uid;
}

bool dcm_folder_table::passes(const dcm_index_row& row) const {
    if (m_filter.empty()) return true;
    return std::any_of(row.cells.begin(), row.cells.end(),
                       [this](const std::string& cell) { return contains_folded(cell, m_filter); });
}

void dcm_folder_table::toggle(std::size_t index) {
    const dcm_folder_line& at = line(index);
    if (at.kind == dcm_folder_line_kind::file) return;
    const dcm_index_row& row = m_rows[at.row];
    const std::string key =
        at.kind == dcm_folder_line_kind::study ? study_key(row) : series_key(row) + '\n';
    if (!m_collapsed.erase(key)) m_collapsed.insert(key);
    m_stale = true;
}

void dcm_folder_table::rebuild() const {
    std::vector<std::size_t> order;
    for (std::size_t r = 0; r < m_rows.size(); ++r)
        if (passes(m_rows[r])) order.push_back(r);
    const dcm_index_column column = m_sort;
    const bool descending = m_descending;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return descending ? dcm_index_less(m_rows[b], m_rows[a], column)
                          : dcm_index_less(m_rows[a], m_rows[b], column);
    });
    m_lines.clear();
    if (m_grouped)
        add_group_lines(order);
    else
        for (std::size_t r : order) m_lines.push_back({dcm_folder_line_kind::file, r, 1, false});
    m_stale = false;
}

// Groups come in the order of their first file in the sort, files within
// them in the sort's order.
void dcm_folder_table::add_group_lines(const std::vector<std::size_t>& order) const {
    struct series_group {
        std::vector<std::size_t> files;
    };
    struct study_group {
        std::vector<std::string> series_order;
        std::map<std::string, series_group> series;
        std::size_t files = 0;
    };
    std::vector<std::string> study_order;
    std::map<std::string, study_group> studies;
    for (std::size_t r : order) {
        const std::string study = study_key(m_rows[r]);
        auto [at, added] = studies.try_emplace(study);
        if (added) study_order.push_back(study);
        const std::string series = series_key(m_rows[r]);
        auto [in, new_series] = at->second.series.try_emplace(series);
        if (new_series) at->second.series_order.push_back(series);
        in->second.files.push_back(r);
        ++at->second.files;
    }
    for (const std::string& study : study_order) {
        const study_group& group = studies.at(study);
        const std::size_t first = group.series.at(group.series_order.front()).files.front();
        const bool study_folded = m_collapsed.count(study) != 0;
        m_lines.push_back({dcm_folder_line_kind::study, first, group.files, study_folded});
        if (study_folded) continue;
        for (const std::string& series : group.series_order) {
            const std::vector<std::size_t>& files = group.series.at(series).files;
            const bool series_folded = m_collapsed.count(series + '\n') != 0;
            m_lines.push_back(
                {dcm_folder_line_kind::series, files.front(), files.size(), series_folded});
            if (series_folded) continue;
            for (std::size_t r : files)
                m_lines.push_back({dcm_folder_line_kind::file, r, 1, false});
        }
    }
}

std::size_t dcm_folder_table::line_count() const {
    if (m_stale) rebuild();
    return m_lines.size();
}

const dcm_folder_line& dcm_folder_table::line(std::size_t index) const {
    if (m_stale) rebuild();
    return m_lines.at(index);
}

unsigned dcm_folder_table::depth(std::size_t index) const {
    if (!m_grouped) return 0;
    switch (line(index).kind) {
    case dcm_folder_line_kind::study: return 0;
    case dcm_folder_line_kind::series: return 1;
    case dcm_folder_line_kind::file: break;
    }
    return 2;
}

std::string dcm_folder_table::cell(std::size_t index, dcm_index_column column) const {
    const dcm_folder_line& at = line(index);
    const dcm_index_row& row = m_rows[at.row];
    switch (at.kind) {
    case dcm_folder_line_kind::file: return row.cell(column);
    case dcm_folder_line_kind::study:
        if (column == dcm_index_column::path) {
            const std::string& description = row.cell(dcm_index_column::study_description);
            return "Study: " + (description.empty() ? row.study_uid : description) + " (" +
                   count_text(at.files) + ")";
        }
        return study_column(column) ? row.cell(column) : std::string();
    case dcm_folder_line_kind::series:
        if (column == dcm_index_column::path) {
            const std::string& number = row.cell(dcm_index_column::series_number);
            return "Series: " + (number.empty() ? row.series_uid : number) + " (" +
                   count_text(at.files) + ")";
        }
        return series_column(column) ? row.cell(column) : std::string();
    }
    return {};
}

std::string dcm_folder_table::text() const {
    std::string text;
    for (std::size_t c = 0; c < dcm_index_column_count; ++c) {
        if (c) text += '\t';
        text += dcm_index_column_of(c).title;
    }
    text += "\r\n";
    for (std::size_t i = 0; i < line_count(); ++i) {
        text.append(2 * std::size_t(depth(i)), ' ');
        for (std::size_t c = 0; c < dcm_index_column_count; ++c) {
            if (c) text += '\t';
            text += cell(i, static_cast<dcm_index_column>(c));
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace velk
