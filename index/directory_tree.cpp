#include "index/directory_tree.h"

#include <algorithm>
#include <string_view>

#include "parse/interpret_walk.h"
#include "parse/reader.h"
#include "parse/tags.h"
#include "present/charset.h"
#include "present/dictionary_full.h"
#include "present/interpret_cells.h"
#include "present/uid_name.h"

namespace velk {

namespace {

// The keys a node shows, in tag order, and how each is decoded.
struct key_tag {
    std::uint32_t tag;
    dcm_text_form form;
};
constexpr key_tag kKeys[] = {
    {tag_study_date, dcm_text_form::multi},         {tag_study_description, dcm_text_form::multi},
    {tag_series_description, dcm_text_form::multi}, {tag_modality, dcm_text_form::multi},
    {tag_patient_name, dcm_text_form::person_name}, {tag_patient_id, dcm_text_form::multi},
    {tag_study_id, dcm_text_form::multi},           {tag_series_number, dcm_text_form::multi},
    {tag_instance_number, dcm_text_form::multi},
};

// Values copied from a record are at most this long: far above any key value,
// so a hostile length costs nothing.
constexpr std::size_t value_cap = 1024;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    return text;
}

// A directory record: where its item starts and which of the walk's records
// are its own elements.
struct directory_record {
    std::uint64_t offset;
    std::size_t first;  // its first element in the walk's records
    std::size_t end;    // one past its last
};

class directory_reader {
public:
    directory_reader(const char* begin, const char* end) : m_begin(begin), m_end(end) {}

    dcm_directory_tree read() {
        dcm_directory_tree tree;
        dcm_interpret_data data;
        const dcm_walk_result walk = dcm_read_records_interpret(
            m_begin, m_end, dcm_interpret_dictionary_vr, m_records, data);
        if (walk.status == dcm_walk_status::not_part10) {
            tree.problem = "not a DICOM part-10 file";
            return tree;
        }
        if (data.deflated) {
            tree.problem =
                "a deflated directory: its offsets count in bytes the file does not hold";
            return tree;
        }
        find_records();
        tree.records = m_directory.size();
        if (!m_has_sequence) {
            tree.problem = "no Directory Record Sequence (0004,1220): not a DICOMDIR";
            return tree;
        }
        build(tree);
        return tree;
    }

private:
    std::uint32_t tag_of(const dcm_record& r) const {
        return dcm_load_tag(m_begin + r.offset, r.byte_order());
    }

    std::string_view value_of(const dcm_record& r) const {
        const char* value = m_begin + r.value_offset();
        if (r.length == undefined_length) return {};
        const auto n = std::min<std::uint64_t>({r.length, dcm_bytes_left(value, m_end), value_cap});
        return {n ? value : "", static_cast<std::size_t>(n)};
    }

    std::uint32_t offset_value(const dcm_record& r) const {
        const std::string_view v = value_of(r);
        if (v.size() < 4) return 0;
        return r.byte_order() == dcm_byte_order::big
                   ? dcm_load<std::uint32_t, dcm_byte_order::big>(v.data())
                   : dcm_load<std::uint32_t>(v.data());
    }

    // The records of the sequence's items, the root offset and the file's
    // character sets, from the walk's records.
    void find_records() {
        bool in_sequence = false;
        for (std::size_t i = 0; i < m_records.size(); ++i) {
            const dcm_record& r = m_records[i];
            if (r.level == 0) {
                const std::uint32_t tag = tag_of(r);
                in_sequence = tag == tag_directory_record_sequence;
                m_has_sequence = m_has_sequence || in_sequence;
                if (tag == tag_offset_of_the_first_directory_record_of_the_root_directory_entity) {
                    m_root = offset_value(r);
                    m_has_root = true;
                }
                if (tag == tag_specific_character_set) {
                    const std::string_view v = value_of(r);
                    m_charset = dcm_charset_from_value(v.data(), v.size());
                }
            } else if (in_sequence && r.level == 1 && tag_of(r) == tag_item) {
                if (!m_directory.empty()) m_directory.back().end = i;
                m_directory.push_back({r.offset, i + 1, i + 1});
            } else if (in_sequence && !m_directory.empty()) {
                m_directory.back().end = i + 1;
            }
        }
    }

    // The record whose item starts at `offset`, or null.
    const directory_record* record_at(std::uint64_t offset) const {
        // The walk gives the items in file order, so their offsets ascend.
        const auto found = std::lower_bound(
            m_directory.begin(), m_directory.end(), offset,
            [](const directory_record& r, std::uint64_t o) { return r.offset < o; });
        return found != m_directory.end() && found->offset == offset ? &*found : nullptr;
    }

    // The node of a record, and its next and lower offsets.
    dcm_directory_node node_of(const directory_record& record, std::uint32_t& next,
                               std::uint32_t& lower) const {
        dcm_directory_node node;
        node.offset = record.offset;
        dcm_charset charset = m_charset;
        for (std::size_t i = record.first; i < record.end; ++i) {
            const dcm_record& r = m_records[i];
            if (r.level != 2) continue;
            const std::uint32_t tag = tag_of(r);
            if (tag == tag_offset_of_the_next_directory_record)
                next = offset_value(r);
            else if (tag == tag_offset_of_referenced_lower_level_directory_entity)
                lower = offset_value(r);
            else if (tag == tag_directory_record_type)
                node.type = trimmed(value_of(r));
            else if (tag == tag_specific_character_set) {
                const std::string_view v = value_of(r);
                charset = dcm_charset_from_value(v.data(), v.size());
            } else if (tag == tag_referenced_file_id) {
                node.file_id = components_of(value_of(r));
                node.path = dcm_file_id_path(node.file_id, node.problem);
            } else if (tag == tag_referenced_sop_class_uid_in_file) {
                const std::string_view uid = trimmed(value_of(r));
                const char* name = dcm_sop_class_name(uid);
                node.sop_class = name ? name : std::string(uid);
            } else {
                add_key(tag, value_of(r), charset, node);
            }
        }
        return node;
    }

    static void add_key(std::uint32_t tag, std::string_view value, const dcm_charset& charset,
                        dcm_directory_node& node) {
        for (const key_tag& key : kKeys) {
            if (key.tag != tag) continue;
            const std::string_view text = trimmed(value);
            if (text.empty()) return;
            std::string decoded;
            dcm_decode_text(charset, key.form, text.data(), text.size(), decoded);
            node.keys.emplace_back(tag, std::move(decoded));
            return;
        }
    }

    static std::vector<std::string> components_of(std::string_view value) {
        std::vector<std::string> components;
        std::size_t from = 0;
        for (;;) {
            const std::size_t cut = value.find('\\', from);
            components.emplace_back(trimmed(value.substr(from, cut - from)));
            if (cut == std::string_view::npos) break;
            from = cut + 1;
        }
        return components;
    }

    // Why `offset` leads to no record that can join the tree.
    std::string broken(std::uint64_t offset, bool seen) const {
        const std::string at = "offset " + std::to_string(offset);
        if (seen) return at + " leads to a record already in the tree (a loop)";
        if (offset >= dcm_bytes_left(m_begin, m_end))
            return at + " lies outside the file (" +
                   std::to_string(dcm_bytes_left(m_begin, m_end)) + " bytes)";
        return at + " is not the start of a directory record";
    }

    // Each record, then its lower records, then its next: depth first from the
    // root offset, with a stack of the offsets still to follow instead of
    // recursion. An offset of 0 ends a chain.
    void build(dcm_directory_tree& tree) const {
        struct pending {
            std::uint64_t offset;
            unsigned depth;
        };
        std::vector<pending> to_follow;
        std::vector<bool> seen(m_directory.size());
        // Without the root offset, the root starts at the sequence's first record.
        const std::uint64_t root = m_has_root            ? m_root
                                   : m_directory.empty() ? 0
                                                         : m_directory[0].offset;
        if (root) to_follow.push_back({root, 0});
        std::size_t reached = 0;
        while (!to_follow.empty()) {
            const pending at = to_follow.back();
            to_follow.pop_back();
            const directory_record* record = record_at(at.offset);
            const std::size_t index = record ? std::size_t(record - m_directory.data()) : 0;
            if (!record || seen[index]) {
                dcm_directory_node end_of_branch;
                end_of_branch.depth = at.depth;
                end_of_branch.offset = at.offset;
                end_of_branch.problem = broken(at.offset, record != nullptr);
                tree.nodes.push_back(std::move(end_of_branch));
                continue;
            }
            seen[index] = true;
            ++reached;
            std::uint32_t next = 0, lower = 0;
            tree.nodes.push_back(node_of(*record, next, lower));
            tree.nodes.back().depth = at.depth;
            if (next) to_follow.push_back({next, at.depth});
            if (lower) to_follow.push_back({lower, at.depth + 1});
        }
        tree.unreached = m_directory.size() - reached;
    }

    const char* m_begin;
    const char* m_end;
    std::vector<dcm_record> m_records;
    std::vector<directory_record> m_directory;
    dcm_charset m_charset;
    std::uint32_t m_root = 0;
    bool m_has_root = false;
    bool m_has_sequence = false;
};

bool leaves_folder(const std::string& component) {
    return component.empty() || component == "." || component == ".." ||
           component.find_first_of("/:") != std::string::npos;
}

}  // namespace

std::string dcm_file_id_path(const std::vector<std::string>& components, std::string& problem) {
    std::string path;
    for (const std::string& component : components) {
        if (leaves_folder(component)) {
            problem = "Referenced File ID component \"" + component + "\" is not a plain name";
            return {};
        }
        if (!path.empty()) path += '/';
        path += component;
    }
    return path;
}

std::string dcm_directory_label(const dcm_directory_node& node) {
    if (node.type.empty() && !node.problem.empty() && node.file_id.empty())
        return "(" + node.problem + ")";
    std::string line = node.type.empty() ? "(no type)" : node.type;
    const char* separator = "  ";
    for (const auto& [tag, value] : node.keys) {
        const dcm_full_entry* entry = dcm_full_find(tag);
        line += separator;
        line += entry ? entry->name : "?";
        line += ": " + value;
        separator = "; ";
    }
    if (!node.path.empty()) line += "  -> " + node.path;
    if (!node.problem.empty()) line += "  (" + node.problem + ")";
    return line;
}

dcm_directory_tree dcm_read_directory(const char* begin, const char* end) {
    return directory_reader(begin, end).read();
}

}  // namespace velk
