#include "cli/velkdump.h"

#include <filesystem>
#include <optional>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#define velk_isatty _isatty
#define velk_fileno _fileno
#else
#include <unistd.h>
#define velk_isatty isatty
#define velk_fileno fileno
#endif

#include "check/check.h"
#include "cli/check_writer.h"
#include "cli/csv_writer.h"
#include "cli/diff.h"
#include "cli/exit_status.h"
#include "cli/file_list.h"
#include "cli/file_read.h"
#include "cli/frame_image.h"
#include "cli/index_listing.h"
#include "cli/json_writer.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/run_files.h"
#include "cli/stream_read.h"
#include "parse/file.h"
#include "parse/mapping.h"
#include "present/listing.h"
#include "present/row_model.h"

namespace velk {

namespace {

// Why a file that did not map could not be mapped, in words.
std::string mapping_failure(const std::filesystem::path& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) return "no such file";
    if (std::filesystem::is_directory(status)) return "is a directory";
    if (std::filesystem::is_regular_file(status) && std::filesystem::file_size(path, ec) == 0)
        return "empty file, not a DICOM part-10 file";
    return "cannot be opened or mapped";
}

// Rows held at a time by a listing that needs a row only while it writes it (text
// and csv): few enough to stay in the processor's cache, so that nothing grows
// with the file; enough that handing them on costs nothing.
constexpr std::size_t listing_chunk_rows = 4096;

void write_text_rows(const dcm_row_model& rows, dcm_bytes bytes, text_output& out) {
    // The Interpret reading's cells are UTF-8 already.
    if (rows.cells_are_utf8())
        dcm_write_rows(rows, bytes, dcm_utf8_as_is(), dcm_line_end::lf, out);
    else
        dcm_write_rows(rows, bytes, dcm_cp1252_to_utf8(), dcm_line_end::lf, out);
}

// What a file is listed as: a format and a reading, whether it is one of
// several, and where "-" is read from.
struct listing_kind {
    dump_format format;
    dcm_reading reading;
    bool several;
    bool meta;      // json: the file meta information beside the data set
    std::FILE* in;  // standard input
    bool check;     // its findings rather than its elements
};

// The json document of one file: its data set alone; under --meta, or for one
// of several files, an object holding it.
nlohmann::json json_document(const dcm_row_model& rows, dcm_bytes bytes, const listed_file& file,
                             const std::string& uri, const listing_kind& kind) {
    nlohmann::json meta;
    nlohmann::json dataset = dicom_json(rows, bytes, uri, kind.meta ? &meta : nullptr);
    if (!kind.several && !kind.meta) return dataset;
    nlohmann::json document = nlohmann::json::object();
    if (kind.several) document["path"] = file.path;
    if (kind.meta) document["meta"] = std::move(meta);
    document["dataset"] = std::move(dataset);
    return document;
}

// Loads a file's rows into `rows` and writes them in the format asked. `uri`
// names the file in json's bulk data, or is empty for bytes read from a stream.
// Answers how the walk ended.
dcm_walk_result write_listing(dcm_row_model& rows, dcm_bytes bytes, const listed_file& file,
                              const std::string& uri, const listing_kind& kind, text_output& out) {
    const bool several = kind.several;
    switch (kind.format) {
    case dump_format::text:
        rows.load_in_chunks(bytes, listing_chunk_rows, [&](const dcm_row_model& chunk) {
            write_text_rows(chunk, bytes, out);
        });
        break;
    case dump_format::csv:
        rows.load_in_chunks(bytes, listing_chunk_rows, [&](const dcm_row_model& chunk) {
            write_csv_rows(chunk, bytes, several ? &file.path : nullptr, out);
        });
        break;
    case dump_format::json: {
        // Nested objects: the whole list of rows at once.
        rows.load(bytes);
        out.put(json_text(json_document(rows, bytes, file, uri, kind), several));
        out.put("\n");
        break;
    }
    }
    return rows.walk_result();
}

// Loads a file's rows whole into `rows` and writes its findings in the format
// asked. Answers whether any is an error.
bool write_findings(dcm_row_model& rows, dcm_bytes bytes, const listed_file& file,
                    dump_format format, bool several, text_output& out) {
    // The check needs the whole load; reserved for as many rows as the file can
    // hold, it is never copied to grow. Only the pages written are touched; the
    // cap keeps what a large file of few elements reserves (a gigabyte of
    // pixels) within 32 MiB of records.
    constexpr std::size_t most_rows = std::size_t(1) << 21;
    rows.load(bytes, dcm_rows_room(bytes, most_rows));
    const dcm_findings findings = dcm_check(rows, bytes);
    const std::string* path = several ? &file.path : nullptr;
    switch (format) {
    case dump_format::text: write_check_text(findings, path, out); break;
    case dump_format::csv: write_check_csv(findings, path, out); break;
    case dump_format::json: write_check_json(findings, file.path, out); break;
    }
    return findings.has_errors();
}

// A file's bytes for one listing. Small files are read into a buffer the thread
// keeps: over thousands of small files a mapping each costs more than the read,
// and with several threads every unmapping interrupts the other processors.
// Larger files, a file listed alone (where a fresh buffer costs more than the
// mapping), and anything that is not a regular file, are mapped.
class file_bytes {
public:
    file_bytes(const std::filesystem::path& path, bool one_of_many) {
        thread_local std::vector<char> buffer;
        if (one_of_many && read_small_file(path, read_limit, buffer)) {
            m_bytes = {buffer.data(), buffer.data() + buffer.size()};
            return;
        }
        m_mapping.emplace(path.c_str());
        if (m_mapping->is_open()) m_bytes = dcm_bytes::of(*m_mapping);
    }

    bool is_open() const { return m_bytes.begin != nullptr; }
    dcm_bytes bytes() const { return m_bytes; }

private:
    static constexpr std::size_t read_limit = 1 << 20;

    std::optional<dcm_file_mapping> m_mapping;
    dcm_bytes m_bytes;
};

// Lists the bytes of one file, mapped or read.
file_listing list_bytes(dcm_bytes bytes, const listed_file& file, const std::string& uri,
                        const listing_kind& kind, text_output& out) {
    if (!dcm_has_marker(bytes.begin, bytes.end)) {
        if (file.walked) return {{}, true};
        out.start();
        return {no_marker_problem};
    }
    out.start();
    // One model a file: a model held per thread (thread_local) crashes the
    // MinGW build once it holds its reading by pointer, on the workers of -j.
    dcm_row_model rows(kind.reading);
    if (kind.check) {
        file_listing listing;
        listing.failed = write_findings(rows, bytes, file, kind.format, kind.several, out);
        return listing;
    }
    const dcm_walk_result walk = write_listing(rows, bytes, file, uri, kind, out);
    file_listing listing;
    if (walk.status == dcm_walk_status::out_of_memory)
        listing.problem = dcm_walk_end_text(walk);  // nothing listed
    else if (!walk.complete())
        listing.walk_end = dcm_walk_end_text(walk);
    return listing;
}

// Standard input or a pipe: read into memory up to the cap, then listed as a
// file is; past the cap, the rows of the bytes read are listed and the cap said.
file_listing list_stream(const std::filesystem::path& path, const listed_file& file,
                         const listing_kind& kind, text_output& out) {
    stream_contents stream;
    if (path == dump_stdin_path) {
        stream = read_stream(kind.in, dump_stream_cap);
    } else {
        std::FILE* in = open_stream(path);
        if (!in) {
            out.start();
            return {"cannot be opened"};
        }
        stream = read_stream(in, dump_stream_cap);
        std::fclose(in);
    }
    if (!stream.error.empty()) {
        out.start();
        return {"read error: " + stream.error};
    }
    if (stream.bytes.empty()) {
        out.start();
        return {"empty stream, not a DICOM part-10 file"};
    }
    const char* begin = stream.bytes.data();
    file_listing listed = list_bytes({begin, begin + stream.bytes.size()}, file, {}, kind, out);
    if (listed.problem.empty() && stream.capped) {
        listed.walk_end.clear();  // it stopped where the cap cut the bytes
        listed.problem = "more than " + dump_stream_cap_text() +
                         ", the most read from a stream: the rows of its first " +
                         dump_stream_cap_text() + " are listed";
    }
    return listed;
}

file_listing list_file(const listed_file& file, const listing_kind& kind, text_output& out) {
    const std::filesystem::path path = std::filesystem::u8path(file.path);
    if (is_stream_path(path)) return list_stream(path, file, kind, out);
    const file_bytes bytes(path, kind.several);
    if (!bytes.is_open()) {
        out.start();
        return {mapping_failure(path)};
    }
    return list_bytes(bytes.bytes(), file, file_uri(file.path), kind, out);
}

// The layout of several files' listings: the text format heads each file
// (findings name their file on each line instead).
run_layout layout_of(dump_format format, bool several, bool check) {
    run_layout layout;
    if (format == dump_format::text && several && !check) {
        layout.heading = [](const listed_file& f) { return "==> " + f.path + " <==\n"; };
        layout.separator = "\n";
    }
    return layout;
}

// The progress line is drawn when a person watches stderr and the listing goes
// elsewhere (on the same terminal the two would be mixed).
bool shows_progress(std::FILE* out, std::FILE* err) {
    return velk_isatty(velk_fileno(err)) && !velk_isatty(velk_fileno(out));
}

}  // namespace

int velkdump(const std::vector<std::string>& args, std::FILE* out, std::FILE* err, std::FILE* in) {
    const dump_command command = parse_dump_command(args);
    if (command.action == dump_command::show_text) {
        std::fputs(command.message.c_str(), out);
        return dump_exit_listed;
    }
    if (command.action == dump_command::usage_error) {
        std::fprintf(err, "velkdump: %s\nTry 'velkdump --help'.\n", command.message.c_str());
        return dump_exit_usage_error;
    }
    const dump_options& options = command.options;
    const dcm_reading reading = options.interpret ? dcm_reading::interpret : dcm_reading::standard;
    if (options.diff)
        return velkdump_diff(options.paths[0], options.paths[1], reading, options.format, out, err);
    if (!options.image.empty())
        return velkdump_frame_image(options.paths[0], options.frame, options.image, err);
    if (options.index) return velkdump_index(options, out, err);
    if (options.directory) return velkdump_directory(options, out, err);
    file_finder files(options.paths, options.recursive);
    const bool several = options.paths.size() > 1 || options.recursive;

    text_output output(out);
    if (options.format == dump_format::csv) {
        if (options.check)
            write_check_csv_header(several, output);
        else
            write_csv_header(several, output);
    }
    const dump_format format = options.format;
    const listing_kind kind{format,       reading, several, options.meta, in ? in : binary_stdin(),
                            options.check};
    const list_one_file list = [kind](const listed_file& f, text_output& o) {
        return list_file(f, kind, o);
    };
    const run_settings settings{options.jobs, shows_progress(out, err), options.verbose};
    const bool all_listed =
        run_files(files, list, layout_of(format, several, options.check), settings, output, err);
    if (output.failed()) {
        std::fputs("velkdump: write error\n", err);
        return dump_exit_file_failed;
    }
    return all_listed ? dump_exit_listed : dump_exit_file_failed;
}

}  // namespace velk
