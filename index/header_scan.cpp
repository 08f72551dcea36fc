#include "index/header_scan.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "parse/interpret_walk.h"
#include "parse/reader.h"
#include "parse/syntax_registry.h"
#include "parse/tags.h"
#include "present/charset.h"
#include "present/interpret_cells.h"
#include "present/uid_name.h"

namespace velk {

namespace {

constexpr std::string_view media_storage_directory = "1.2.840.10008.1.3.10";

// Thrown by the reader once the walk is past every wanted tag: the walk has no
// other way to be ended early, and it holds nothing that an unwinding loses.
struct past_last_wanted {};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    return text;
}

// Collects the wanted values from the records of the data set's own level, as
// the walk hands them on one at a time.
class header_reader {
public:
    header_reader(const char* begin, const char* end, const dcm_interpret_data& data,
                  dcm_index_row& row)
        : m_begin(begin), m_end(end), m_data(data), m_row(row) {}

    void take(const dcm_record& record) {
        if (record.level != 0) return;
        const char* base = record.inflated ? m_data.inflated.data() : m_begin;
        const char* limit = record.inflated ? base + m_data.inflated.size() : m_end;
        const char* start = base + record.offset;
        if (!dcm_fits(start, limit, 4)) return;
        const std::uint32_t tag = dcm_load_tag(start, record.byte_order());
        if (tag > tag_columns) throw past_last_wanted{};
        const char* value = start + record.header_length;
        std::size_t length = 0;
        if (record.length != undefined_length)
            length = static_cast<std::size_t>(std::min<std::uint64_t>(
                {record.length, dcm_bytes_left(value, limit), dcm_index_value_cap}));
        take_value(tag, std::string_view(length ? value : "", length), record.byte_order());
    }

    // The cells made of several values, once the walk has ended.
    void finish() {
        const std::string_view sop = m_sop_class.empty() ? m_media_sop_class : m_sop_class;
        const char* name = dcm_sop_class_name(sop);
        m_row.cell(dcm_index_column::sop_class) = name ? name : std::string(sop);
        m_row.directory = m_media_sop_class == media_storage_directory;
        if (m_rows || m_columns)
            m_row.cell(dcm_index_column::dimensions) =
                std::to_string(m_rows) + " x " + std::to_string(m_columns);
    }

private:
    void take_value(std::uint32_t tag, std::string_view value, dcm_byte_order order) {
        switch (tag) {
        case tag_media_storage_sop_class_uid: m_media_sop_class = trimmed(value); break;
        case tag_transfer_syntax_uid: {
            const dcm_syntax_info* syntax = dcm_find_syntax(value);
            m_row.cell(dcm_index_column::transfer_syntax) =
                syntax ? syntax->name : std::string(trimmed(value));
            break;
        }
        case tag_specific_character_set:
            m_charset = dcm_charset_from_value(value.data(), value.size());
            break;
        case tag_sop_class_uid: m_sop_class = trimmed(value); break;
        case tag_study_date: plain(dcm_index_column::study_date, value); break;
        case tag_modality: plain(dcm_index_column::modality, value); break;
        case tag_study_description:
            decoded(dcm_index_column::study_description, value, dcm_text_form::multi);
            break;
        case tag_series_description:
            decoded(dcm_index_column::series_description, value, dcm_text_form::multi);
            break;
        case tag_patient_name:
            decoded(dcm_index_column::patient_name, value, dcm_text_form::person_name);
            break;
        case tag_patient_id:
            decoded(dcm_index_column::patient_id, value, dcm_text_form::multi);
            break;
        case tag_study_instance_uid: m_row.study_uid = trimmed(value); break;
        case tag_series_instance_uid: m_row.series_uid = trimmed(value); break;
        case tag_series_number: plain(dcm_index_column::series_number, value); break;
        case tag_instance_number: plain(dcm_index_column::instance_number, value); break;
        case tag_number_of_frames: plain(dcm_index_column::frames, value); break;
        case tag_rows: m_rows = unsigned_short(value, order); break;
        case tag_columns: m_columns = unsigned_short(value, order); break;
        default: break;
        }
    }

    void plain(dcm_index_column column, std::string_view value) {
        m_row.cell(column) = trimmed(value);
    }

    void decoded(dcm_index_column column, std::string_view value, dcm_text_form form) {
        std::string& cell = m_row.cell(column);
        cell.clear();
        const std::string_view text = trimmed(value);
        dcm_decode_text(m_charset, form, text.data(), text.size(), cell);
    }

    static unsigned unsigned_short(std::string_view value, dcm_byte_order order) {
        if (value.size() < 2) return 0;
        return order == dcm_byte_order::big
                   ? dcm_load<std::uint16_t, dcm_byte_order::big>(value.data())
                   : dcm_load<std::uint16_t>(value.data());
    }

    const char* m_begin;
    const char* m_end;
    const dcm_interpret_data& m_data;
    dcm_index_row& m_row;
    dcm_charset m_charset;
    std::string m_sop_class;
    std::string m_media_sop_class;
    unsigned m_rows = 0;
    unsigned m_columns = 0;
};

}  // namespace

dcm_scan_result dcm_scan_header(const char* begin, const char* end, dcm_index_row& row) {
    dcm_scan_result result;
    std::vector<dcm_record> records;
    dcm_interpret_data data;
    header_reader reader(begin, end, data, row);
    // One record at a time: each is read and dropped, so nothing grows with the file.
    dcm_record_chunks one_at_a_time{1, [&] {
                                        reader.take(records.back());
                                        return true;
                                    }};
    try {
        result.walk = dcm_read_records_interpret(begin, end, dcm_interpret_dictionary_vr, records,
                                                 data, dcm_index_inflate_cap, &one_at_a_time);
        result.end = result.walk.status == dcm_walk_status::not_part10 ? dcm_scan_end::not_part10
                                                                       : dcm_scan_end::walked;
    } catch (const past_last_wanted&) {
        result.end = dcm_scan_end::stopped;
    }
    if (result.end != dcm_scan_end::not_part10) reader.finish();
    return result;
}

}  // namespace velk
