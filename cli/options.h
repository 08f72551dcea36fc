// velkdump's command line: the options it takes, in one table, and what they ask.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velk {

enum class dump_format { text, csv, json };

// Most files listed at once: beyond a few times the processors, more threads
// only add memory held by results waiting for their turn.
constexpr unsigned dump_max_jobs = 64;

struct dump_options {
    dump_format format = dump_format::text;
    bool recursive = false;   // directories named are walked for their files
    unsigned jobs = 1;        // files listed at once; output stays in argument order
    bool diff = false;        // the two files named are compared instead of listed
    bool interpret = false;   // the Interpret reading instead of the default one
    bool verbose = false;     // each file a walk skips is named
    bool check = false;       // each file's findings instead of its listing
    bool meta = false;        // json: the file meta information beside the data set
    std::uint32_t frame = 1;  // with `image`: the frame written, from 1
    std::string image;        // write a frame of the one file named to this image file instead
    bool index = false;       // one row of key values per file instead of its elements
    bool directory = false;   // the record tree of each DICOMDIR named
    std::vector<std::string> paths;
};

// What the command line asks for. `message` is the usage error, or the text of
// --help or --version.
struct dump_command {
    enum action_kind { run, show_text, usage_error } action = run;
    std::string message;
    dump_options options;
};

dump_command parse_dump_command(const std::vector<std::string>& args);

}  // namespace velk
