#include "cli/index_listing.h"

#include <atomic>
#include <filesystem>
#include <optional>
#include <system_error>

#include <nlohmann/json.hpp>

#include "cli/csv_writer.h"
#include "cli/file_list.h"
#include "cli/json_writer.h"
#include "cli/output.h"
#include "cli/run_files.h"
#include "index/directory_tree.h"
#include "index/index_file.h"
#include "parse/mapping.h"
#include "present/dictionary_full.h"

namespace velk {

namespace {

namespace fs = std::filesystem;

void put_csv_field(const std::string& text, text_output& out) {
    char* end = csv_field(text.data(), text.size(), out.claim(csv_field_room(text.size())));
    out.commit(end);
}

// Records end as the csv format's do, in CR LF.
void write_index_header(text_output& out) {
    for (std::size_t c = 0; c < dcm_index_column_count; ++c) {
        if (c) out.put(",");
        put_csv_field(dcm_index_column_of(c).title, out);
    }
    out.put("\r\n");
}

void write_index_row(const dcm_index_row& row, dump_format format, text_output& out) {
    if (format == dump_format::json) {
        // In the columns' order, as the csv header and the window have them.
        nlohmann::ordered_json object;
        for (std::size_t c = 0; c < dcm_index_column_count; ++c) {
            const auto column = static_cast<dcm_index_column>(c);
            if (column == dcm_index_column::size)
                object["size"] = row.size;
            else
                object[dcm_index_column_of(c).key] = row.cells[c];
        }
        out.put(object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
        out.put("\n");
        return;
    }
    for (std::size_t c = 0; c < dcm_index_column_count; ++c) {
        if (c) out.put(",");
        put_csv_field(row.cells[c], out);
    }
    out.put("\r\n");
}

// Lists one file's row. A file that is not part-10 is left out and counted;
// one that cannot be read gets its row with the reason, and the reason is the
// file's problem too, so that the exit status tells.
file_listing index_one(const listed_file& file, dump_format format,
                       std::atomic<std::size_t>& not_part10, text_output& out) {
    thread_local std::vector<char> buffer;
    dcm_index_row row;
    row.cell(dcm_index_column::path) = file.path;
    const dcm_index_outcome outcome = dcm_index_file(fs::u8path(file.path), row, buffer);
    if (outcome == dcm_index_outcome::not_part10) {
        if (file.walked) {
            ++not_part10;
            return {{}, true};
        }
        row.cell(dcm_index_column::problem) = "not a DICOM part-10 file (no \"DICM\" at byte 128)";
    }
    out.start();
    write_index_row(row, format, out);
    if (outcome == dcm_index_outcome::listed) return {};
    return {row.cell(dcm_index_column::problem)};
}

// The text of one node: indented by depth, its label, and whether the file it
// names is missing.
std::string node_text(const dcm_directory_node& node, bool found) {
    return std::string(2 * std::size_t(node.depth), ' ') + dcm_directory_label(node) +
           (found ? "" : " (missing)") + "\n";
}

nlohmann::json node_json(const dcm_directory_node& node, bool found) {
    nlohmann::json object{{"depth", node.depth}, {"offset", node.offset}, {"type", node.type}};
    nlohmann::json keys = nlohmann::json::object();
    for (const auto& [tag, value] : node.keys) {
        const dcm_full_entry* entry = dcm_full_find(tag);
        keys[entry ? entry->name : "?"] = value;
    }
    object["keys"] = std::move(keys);
    object["file_id"] = node.file_id;
    object["path"] = node.path;
    if (!node.path.empty()) object["found"] = found;
    if (!node.sop_class.empty()) object["sop_class"] = node.sop_class;
    if (!node.problem.empty()) object["problem"] = node.problem;
    return object;
}

bool is_regular(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

}  // namespace

int velkdump_index(const dump_options& options, std::FILE* out, std::FILE* err) {
    file_finder files(options.paths, options.recursive);
    text_output output(out);
    const dump_format format =
        options.format == dump_format::json ? dump_format::json : dump_format::csv;
    if (format == dump_format::csv) write_index_header(output);
    std::atomic<std::size_t> not_part10{0};
    const list_one_file list = [format, &not_part10](const listed_file& f, text_output& o) {
        return index_one(f, format, not_part10, o);
    };
    const run_settings settings{options.jobs, false};
    const bool all_listed = run_files(files, list, run_layout{}, settings, output, err);
    if (not_part10 > 0)
        std::fprintf(err, "velkdump: %zu file%s skipped: not DICOM part-10\n", not_part10.load(),
                     not_part10 == 1 ? "" : "s");
    if (output.failed()) {
        std::fputs("velkdump: write error\n", err);
        return 2;
    }
    return all_listed ? 0 : 1;
}

int velkdump_directory(const dump_options& options, std::FILE* out, std::FILE* err) {
    int status = 0;
    text_output output(out);
    for (const std::string& name : options.paths) {
        const fs::path path = fs::u8path(name);
        const dcm_file_mapping file(path.c_str());
        if (!file.is_open()) {
            std::fprintf(err, "velkdump: %s: %s\n", name.c_str(),
                         dcm_open_failure_text(file.failure()));
            status = 1;
            continue;
        }
        const dcm_directory_tree tree = dcm_read_directory(file.begin(), file.end());
        if (!tree.problem.empty()) {
            std::fprintf(err, "velkdump: %s: %s\n", name.c_str(), tree.problem.c_str());
            status = 1;
            continue;
        }
        const fs::path folder = path.parent_path();
        for (const dcm_directory_node& node : tree.nodes) {
            const bool found = node.path.empty() || is_regular(folder / fs::u8path(node.path));
            if (!found || !node.problem.empty()) status = 1;
            if (options.format == dump_format::json) {
                nlohmann::json object = node_json(node, found);
                if (options.paths.size() > 1) object["directory"] = name;
                output.put(json_text(object, true));
                output.put("\n");
            } else {
                output.put(node_text(node, found));
            }
        }
        if (tree.unreached > 0)
            std::fprintf(err, "velkdump: %s: %zu of %zu records are reached by no offset\n",
                         name.c_str(), tree.unreached, tree.records);
    }
    output.flush();
    if (output.failed()) {
        std::fputs("velkdump: write error\n", err);
        return 2;
    }
    return status;
}

}  // namespace velk
