#include "present/reading.h"

#include "parse/interpret_walk.h"
#include "present/cell_text.h"

namespace velk {

namespace {

std::uint64_t size_of(dcm_bytes bytes) {
    return bytes.begin && bytes.end > bytes.begin ? std::uint64_t(bytes.end - bytes.begin) : 0;
}

class default_reading final : public dcm_record_reading {
public:
    dcm_reading kind() const override { return dcm_reading::standard; }
    std::unique_ptr<dcm_record_reading> clone() const override {
        return std::make_unique<default_reading>(*this);
    }
    bool cells_are_utf8() const override { return false; }

    void forget() override { m_hint = dcm_interpret_hint::none; }
    dcm_walk_result walk(dcm_bytes file, std::vector<dcm_record>& records,
                         dcm_record_chunks* chunks) override {
        return dcm_read_records(file.begin, file.end, records, chunks);
    }
    void read_whole(dcm_bytes file, const std::vector<dcm_record>& records) override {
        m_hint = dcm_interpret_hint_for(file.begin, file.end, records);
    }
    void read_chunk(dcm_bytes, const std::vector<dcm_record>&, std::size_t) override {}
    bool holds_records() const override { return false; }
    std::vector<dcm_record> reparse(dcm_bytes file, const dcm_record& r) const override {
        return dcm_reparse_record(file.begin, file.end, r);
    }
    dcm_interpret_hint hint() const override { return m_hint; }

    dcm_bytes bytes_of(dcm_bytes file, const dcm_record&) const override { return file; }
    dcm_byte_order byte_order(const dcm_record&) const override { return dcm_byte_order::little; }
    dcm_shown_vr vr_of(std::uint32_t, const dcm_record& r) const override {
        return dcm_shown_vr{{r.vr[0], r.vr[1]}, false};
    }
    const dcm_charset* charset_at(const dcm_record&) const override { return nullptr; }
    dcm_interpret_row row_of(dcm_bytes file, const dcm_record& r) const override {
        dcm_interpret_row row{};
        row.begin = file.begin;
        row.size = size_of(file);
        row.vr = vr_of(0, r);
        return row;
    }
    std::size_t cell_text(const dcm_interpret_row&, dcm_bytes file, const dcm_record& r, int column,
                          char* out, std::size_t capacity) const override {
        return dcm_cell_text(file.begin, file.end, r, column, out, capacity);
    }
    using dcm_record_reading::cell_text;

private:
    dcm_interpret_hint m_hint = dcm_interpret_hint::none;
};

class interpret_reading final : public dcm_record_reading {
public:
    dcm_reading kind() const override { return dcm_reading::interpret; }
    std::unique_ptr<dcm_record_reading> clone() const override {
        return std::make_unique<interpret_reading>(*this);
    }
    bool cells_are_utf8() const override { return true; }

    void forget() override { m_document = dcm_interpret_document(); }
    dcm_walk_result walk(dcm_bytes file, std::vector<dcm_record>& records,
                         dcm_record_chunks* chunks) override {
        return dcm_read_records_interpret(file.begin, file.end, dcm_interpret_dictionary_vr,
                                          records, m_document.data, dcm_inflate_cap, chunks);
    }
    void read_whole(dcm_bytes file, const std::vector<dcm_record>& records) override {
        m_document.find_charsets(file.begin, file.end, records);
    }
    void read_chunk(dcm_bytes file, const std::vector<dcm_record>& records,
                    std::size_t first) override {
        m_document.add_charsets(file.begin, file.end, records, first);
    }
    bool holds_records() const override { return m_document.vr_waits_for_pixels; }
    std::vector<dcm_record> reparse(dcm_bytes file, const dcm_record& r) const override {
        return dcm_reparse_record_interpret(file.begin, file.end, dcm_interpret_dictionary_vr, r);
    }
    dcm_inflate_end inflate_end() const override { return m_document.data.inflate_end; }
    dcm_bytes inflated() const override {
        const std::vector<char>& bytes = m_document.data.inflated;
        return {bytes.data(), bytes.data() + bytes.size()};
    }

    dcm_bytes bytes_of(dcm_bytes file, const dcm_record& r) const override {
        m_document.bytes_of(r, file.begin, file.end);
        return file;
    }
    dcm_byte_order byte_order(const dcm_record& r) const override { return r.byte_order(); }
    dcm_shown_vr vr_of(std::uint32_t tag, const dcm_record& r) const override {
        return m_document.vr_of(tag, r);
    }
    const dcm_charset* charset_at(const dcm_record& r) const override {
        return &m_document.charset_at(r);
    }
    dcm_interpret_row row_of(dcm_bytes file, const dcm_record& r) const override {
        return dcm_interpret_row_of(file.begin, file.end, m_document, r);
    }
    std::size_t cell_text(const dcm_interpret_row& row, dcm_bytes, const dcm_record& r, int column,
                          char* out, std::size_t capacity) const override {
        return dcm_interpret_cell_text(row, m_document, r, column, out, capacity);
    }
    using dcm_record_reading::cell_text;

private:
    dcm_interpret_document m_document;
};

}  // namespace

std::unique_ptr<dcm_record_reading> dcm_make_reading(dcm_reading kind) {
    if (kind == dcm_reading::interpret) return std::make_unique<interpret_reading>();
    return std::make_unique<default_reading>();
}

const dcm_record_reading& dcm_default_reading() {
    static const default_reading reading;
    return reading;
}

}  // namespace velk
