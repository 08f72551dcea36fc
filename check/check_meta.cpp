// The file meta information (the standard's PS3.10 section 7.1) and the transfer
// syntax: the elements every file's meta group holds, its version, the SOP
// Class and Instance it repeats from the data set, and whether the data set is
// written as its transfer syntax says.
#include <cctype>
#include <string>

#include "check/check_source.h"
#include "parse/header.h"
#include "parse/syntax_registry.h"
#include "parse/tags.h"
#include "present/dictionary_full.h"

namespace velk {

namespace {

// The meta elements of Type 1 the check asks for.
constexpr std::uint32_t meta_required[] = {
    tag_file_meta_information_group_length, tag_file_meta_information_version,
    tag_media_storage_sop_class_uid, tag_media_storage_sop_instance_uid, tag_transfer_syntax_uid};

std::string text_of(const dcm_check_element& e) { return std::string(dcm_trimmed(e.bytes())); }

void missing_meta(dcm_check_source& source) {
    for (const std::uint32_t tag : meta_required) {
        if (source.top_level(tag) < source.size()) continue;
        source.add_for(source.top_level_place(tag), tag, dcm_severity::error, dcm_check_kind::meta,
                       std::string("The file meta information has no ") + dcm_tag_text(tag) + " " +
                           dcm_check_name(tag));
    }
}

void version(dcm_check_source& source) {
    const std::size_t row = source.top_level(tag_file_meta_information_version);
    if (row >= source.size()) return;
    const std::string_view v = source.element(row).bytes();
    if (v.size() == 2 && v[0] == 0 && v[1] == 1) return;
    source.add(row, dcm_severity::error, dcm_check_kind::meta,
               "File Meta Information Version is not 00 01");
}

// A UID of the meta group against the data set's.
void repeated_uid(dcm_check_source& source, std::uint32_t meta_tag, std::uint32_t data_tag) {
    const std::size_t meta_row = source.top_level(meta_tag);
    const std::size_t data_row = source.top_level(data_tag);
    if (meta_row >= source.size()) return;
    if (data_row >= source.size()) {
        source.add(meta_row, dcm_severity::error, dcm_check_kind::meta,
                   std::string(dcm_check_name(meta_tag)) + " has no " + dcm_tag_text(data_tag) +
                       " " + dcm_check_name(data_tag) + " in the data set to match");
        return;
    }
    const std::string meta = text_of(source.element(meta_row));
    const std::string data = text_of(source.element(data_row));
    if (meta == data) return;
    source.add(meta_row, dcm_severity::error, dcm_check_kind::meta,
               std::string(dcm_check_name(meta_tag)) + " \"" + meta + "\" differs from " +
                   dcm_tag_text(data_tag) + " \"" + data + "\"");
}

bool is_vr_letters(const char* vr) {
    return std::isupper(static_cast<unsigned char>(vr[0])) &&
           std::isupper(static_cast<unsigned char>(vr[1]));
}

// The data set's first element against the syntax it was read in: an explicit
// header has two letters where an implicit one has the length's low bytes.
void encoding(dcm_check_source& source, std::size_t syntax_row) {
    std::size_t row = 0;
    while (row < source.size() &&
           (source.record(row).level != 0 || (source.tag(row) >> 16) == 0x0002))
        ++row;
    if (row >= source.size()) return;
    const dcm_record& r = source.record(row);
    const dcm_check_element e = source.element(row);
    if (!e.has_tag || (e.tag >> 16) == 0xFFFE) return;
    if (r.syntax == syntax_implicit_le) {
        // Read implicit: would the bytes after the tag be the dictionary's VR?
        const dcm_full_entry* entry = dcm_full_find(e.tag);
        if (!entry || !entry->vr[0] || r.length == undefined_length) return;
        const std::uint64_t size = source.domain_size(r);
        if (!e.value || r.offset + 6ull > size) return;
        const char* vr = e.value - 4;
        if (vr[0] == entry->vr[0] && vr[1] == entry->vr[1])
            source.add(syntax_row, dcm_severity::error, dcm_check_kind::syntax,
                       "The transfer syntax says implicit VR, but the data set is written with "
                       "explicit VRs (\"" +
                           std::string(vr, 2) + "\" after " + dcm_tag_text(e.tag) + ")");
        return;
    }
    if (r.vr[0] == 0 && r.vr[1] == 0) return;
    if (!is_vr_letters(r.vr))
        source.add(
            syntax_row, dcm_severity::error, dcm_check_kind::syntax,
            "The transfer syntax says explicit VR, but " + dcm_tag_text(e.tag) +
                ", the data set's first element, has no VR: the data set is written implicit");
}

void syntax(dcm_check_source& source) {
    const std::size_t row = source.top_level(tag_transfer_syntax_uid);
    if (row >= source.size()) return;
    const std::string uid = text_of(source.element(row));
    if (!dcm_find_syntax(uid))
        source.add(
            row, dcm_severity::warning, dcm_check_kind::syntax,
            "Transfer syntax \"" + uid +
                "\" is not one velk knows; its data set is read as explicit VR little endian");
    if (!source.data_set_read()) {
        source.add(row, dcm_severity::info, dcm_check_kind::syntax,
                   "This reading does not read a data set in transfer syntax \"" + uid +
                       "\": only the file meta information is checked (the Interpret reading "
                       "reads it)");
        return;
    }
    encoding(source, row);
}

}  // namespace

void dcm_check_meta(dcm_check_source& source) {
    missing_meta(source);
    version(source);
    if (!source.data_set_read()) return syntax(source);
    if (dcm_check_composite(source)) {
        repeated_uid(source, tag_media_storage_sop_class_uid, tag_sop_class_uid);
        repeated_uid(source, tag_media_storage_sop_instance_uid, tag_sop_instance_uid);
    }
    syntax(source);
}

}  // namespace velk
