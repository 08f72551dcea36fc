#include "cli/options.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "cli/exit_status.h"
#include "cli/frame_image.h"
#include "cli/stream_read.h"
#include "velk_version.h"

namespace velk {

namespace {

// An option's effect on the command; answers a usage error or an empty string.
using apply_option = std::string (*)(const std::string& value, dump_command& command);

// One row per option. A new option is a row here and, when it carries a
// setting, a field of dump_options; the usage text is made from the rows.
struct option_row {
    const char* long_name;   // "--format"
    const char* short_name;  // "-j", or null
    const char* value_name;  // "FORMAT" for an option that takes a value, null for a flag
    const char* help;
    apply_option apply;
};

std::string usage_text();

std::string set_format(const std::string& value, dump_command& command) {
    dump_format& format = command.options.format;
    if (value == "text")
        format = dump_format::text;
    else if (value == "csv")
        format = dump_format::csv;
    else if (value == "json")
        format = dump_format::json;
    else
        return "unknown format '" + value + "' (text, csv or json)";
    return {};
}

std::string set_jobs(const std::string& value, dump_command& command) {
    unsigned jobs = 0;
    const char* end = value.data() + value.size();
    const auto parsed = std::from_chars(value.data(), end, jobs);
    if (parsed.ec != std::errc() || parsed.ptr != end || jobs < 1 || jobs > dump_max_jobs)
        return "-j takes a number of files from 1 to " + std::to_string(dump_max_jobs) + ", not '" +
               value + "'";
    command.options.jobs = jobs;
    return {};
}

std::string set_recursive(const std::string&, dump_command& command) {
    command.options.recursive = true;
    return {};
}

std::string set_diff(const std::string&, dump_command& command) {
    command.options.diff = true;
    return {};
}

std::string set_interpret(const std::string&, dump_command& command) {
    command.options.interpret = true;
    return {};
}

std::string set_verbose(const std::string&, dump_command& command) {
    command.options.verbose = true;
    return {};
}

std::string set_check(const std::string&, dump_command& command) {
    command.options.check = true;
    return {};
}

std::string set_meta(const std::string&, dump_command& command) {
    command.options.meta = true;
    return {};
}

std::string set_frame(const std::string& value, dump_command& command) {
    std::uint32_t frame = 0;
    const char* end = value.data() + value.size();
    const auto parsed = std::from_chars(value.data(), end, frame);
    if (parsed.ec != std::errc() || parsed.ptr != end || frame < 1)
        return "--frame takes a frame number from 1, not '" + value + "'";
    command.options.frame = frame;
    return {};
}

std::string set_image(const std::string& value, dump_command& command) {
    image_format format;
    if (!image_format_of(value, format))
        return "--image writes .png or .npy files, not '" + value + "'";
    command.options.image = value;
    return {};
}

std::string set_index(const std::string&, dump_command& command) {
    command.options.index = true;
    return {};
}

std::string set_directory(const std::string&, dump_command& command) {
    command.options.directory = true;
    return {};
}

std::string show_help(const std::string&, dump_command& command) {
    command.action = dump_command::show_text;
    command.message = usage_text();
    return {};
}

std::string show_version(const std::string&, dump_command& command) {
    command.action = dump_command::show_text;
    command.message = "velkdump " VELK_VERSION_TEXT "\n";
    return {};
}

const option_row option_table[] = {
    {"--format", nullptr, "FORMAT",
     "text (the default: the viewer's copied rows), csv (one\n"
     "record per element) or json (the DICOM JSON model)",
     set_format},
    {"--recursive", "-r", nullptr, "list the files in each directory named, and below",
     set_recursive},
    {"--verbose", "-v", nullptr,
     "name on standard error each file a walk skips (the count of\n"
     "files skipped is written at the end in any case)",
     set_verbose},
    {"--jobs", "-j", "N", "list N files at once (output stays in argument order)", set_jobs},
    {"--diff", nullptr, nullptr,
     "compare two files instead: one line per difference (what\n"
     "differs, path, VR, name, both values, both offsets); exit\n"
     "status 0 when they list alike, 1 when they differ, 2 on an error.\n"
     "In text, cells are separated by \";\" and a cell holding \";\",\n"
     "a double quote or a line break is quoted as csv quotes it;\n"
     "csv has a header record; json writes one object a line",
     set_diff},
    {"--interpret", nullptr, nullptr,
     "read as the standard means it: VRs of implicit VR elements\n"
     "from the dictionary, written \"(US)\"; big-endian and deflated\n"
     "data sets (inflated offsets written \"z123\"); text decoded by\n"
     "the Specific Character Set; private elements of known\n"
     "creators named \"[Name]\" and read by their VR; values of no\n"
     "known VR as text when printable, else hex",
     set_interpret},
    {"--check", nullptr, nullptr,
     "write what is wrong with each file instead of its elements:\n"
     "one line per finding (severity, kind, tag, offset, message);\n"
     "exit status 1 when any file has an error",
     set_check},
    {"--meta", nullptr, nullptr,
     "json: write the file meta information (group 0002), which the\n"
     "data set leaves out, beside it: {\"meta\": {...}, \"dataset\": {...}}",
     set_meta},
    {"--image", nullptr, "FILE",
     "write a frame of the one FILE named instead of its rows: .png\n"
     "the image as shown (8-bit grey or RGB), .npy the stored\n"
     "values before any display transform (numpy's format)",
     set_image},
    {"--frame", nullptr, "N", "with --image: the frame written, from 1 (the default)", set_frame},
    {"--index", nullptr, nullptr,
     "one row per part-10 file instead of its elements: patient,\n"
     "study, series, instance, SOP class, size ... (csv, or json\n"
     "with one object a line); read from the header alone",
     set_index},
    {"--directory", nullptr, nullptr,
     "the record tree of each DICOMDIR named (patient, study,\n"
     "series, instance ...), with each referenced file's path",
     set_directory},
    {"--help", nullptr, nullptr, "show this help and exit", show_help},
    {"--version", nullptr, nullptr, "show the version and exit", show_version},
};

std::string usage_text() {
    std::string text =
        "Usage: velkdump [OPTION]... FILE...\n"
        "List every data element of each DICOM part-10 FILE. A FILE of \"-\" is\n"
        "standard input, read as a pipe or any other stream is, into memory up to\n" +
        dump_stream_cap_text() + "; beyond that the rows of the first " + dump_stream_cap_text() +
        " are listed, the exit\n"
        "status is 1, and offsets count from the stream's first byte.\n"
        "The text format has one line per element: tag, VR, size, description,\n"
        "data and offset, separated by \";\" and indented by nesting depth, exactly\n"
        "as the viewer copies its rows. With more than one FILE, each file's rows\n"
        "follow a line \"==> FILE <==\"; csv then adds a path column, and json\n"
        "writes one object a line: {\"path\": FILE, \"dataset\": {...}}, with\n"
        "\"meta\" after \"path\" under --meta. The json data set holds no group\n"
        "0002 element; a stream's binary values are written inline (base 64).\n"
        "\n";
    for (const option_row& row : option_table) {
        std::string name = row.short_name ? std::string("  ") + row.short_name + ", " : "      ";
        name += row.long_name;
        if (row.value_name) name += std::string("=") + row.value_name;
        name.resize(std::max<std::size_t>(name.size() + 2, 24), ' ');
        std::string help = row.help;
        for (std::size_t at = help.find('\n'); at != std::string::npos;
             at = help.find('\n', at + 1))
            help.insert(at + 1, std::string(24, ' '));
        text += name + help + "\n";
    }
    text += "\nExit status: " + std::to_string(dump_exit_listed) + " when every file was listed, " +
            std::to_string(dump_exit_file_failed) +
            " when any file could not be\nread or is not a part-10 file, " +
            std::to_string(dump_exit_usage_error) + " for a usage error. With --check, " +
            std::to_string(dump_exit_file_failed) +
            " also\nwhen any file's check found an error.\n";
    return text;
}

// The row `arg` names and, for "--name=value" or "-jN", the value given with it.
const option_row* find_option(const std::string& arg, std::string& attached, bool& has_attached) {
    for (const option_row& row : option_table) {
        const std::size_t n = std::strlen(row.long_name);
        if (arg.compare(0, n, row.long_name) == 0 && (arg.size() == n || arg[n] == '=')) {
            has_attached = arg.size() > n;
            if (has_attached) attached = arg.substr(n + 1);
            return &row;
        }
        if (row.short_name && arg.compare(0, 2, row.short_name) == 0 &&
            (arg.size() == 2 || row.value_name)) {
            has_attached = arg.size() > 2;
            if (has_attached) attached = arg.substr(2);
            return &row;
        }
    }
    return nullptr;
}

}  // namespace

dump_command parse_dump_command(const std::vector<std::string>& args) {
    dump_command command;
    bool options_done = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options_done || arg.size() < 2 || arg[0] != '-') {
            command.options.paths.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options_done = true;
            continue;
        }
        std::string value;
        bool has_value = false;
        const option_row* row = find_option(arg, value, has_value);
        std::string problem;
        if (!row) {
            problem = "unknown option '" + arg + "'";
        } else if (row->value_name && !has_value) {
            if (i + 1 < args.size())
                value = args[++i];
            else
                problem = std::string("option '") + arg + "' needs a value";
        } else if (!row->value_name && has_value) {
            problem = std::string("option '") + row->long_name + "' takes no value";
        }
        if (problem.empty()) problem = row->apply(value, command);
        if (!problem.empty()) {
            command.action = dump_command::usage_error;
            command.message = problem;
            return command;
        }
        if (command.action == dump_command::show_text) return command;
    }
    if (command.options.paths.empty()) {
        command.action = dump_command::usage_error;
        command.message = "no file given";
    } else if (command.options.diff + command.options.check + command.options.index +
                   command.options.directory + !command.options.image.empty() >
               1) {
        command.action = dump_command::usage_error;
        command.message = "--diff, --check, --index, --directory and --image exclude each other";
    } else if (command.options.diff && command.options.paths.size() != 2) {
        command.action = dump_command::usage_error;
        command.message = "--diff takes two files";
    } else if (!command.options.image.empty() && command.options.paths.size() != 1) {
        command.action = dump_command::usage_error;
        command.message = "--image takes one file";
    }
    return command;
}

}  // namespace velk
