#include "cli/check_writer.h"

#include <cstdio>

#include "cli/csv_writer.h"
#include "cli/json_writer.h"

namespace velk {

namespace {

std::string offset_text(const dcm_finding& f) {
    return (f.inflated ? "z" : "") + std::to_string(f.offset);
}

std::string tag_hex(std::uint32_t tag) {
    std::string text;
    dcm_append_tag(text, tag);
    return text.substr(1, 4) + text.substr(6, 4);
}

std::string tag_pair(std::uint32_t tag) {
    std::string text;
    dcm_append_tag(text, tag);
    return text;
}

void put_csv_field(const std::string& text, text_output& out) {
    char* at = out.claim(csv_field_room(text.size()));
    out.commit(csv_field(text.data(), text.size(), at));
}

// What a file's findings leave unsaid when there were more than it keeps.
const char* const capped_note = "more findings than a file keeps; the rest are not listed";

}  // namespace

void write_check_text(const dcm_findings& findings, const std::string* path, text_output& out) {
    const std::string lead = path ? *path + ": " : std::string();
    std::string line;
    for (const dcm_finding& f : findings.list) {
        line.clear();
        line += lead;
        line += dcm_severity_name(f.severity);
        line += ' ';
        line += dcm_check_kind_name(f.kind);
        line += ' ';
        line += tag_pair(f.tag);
        line += " at ";
        line += offset_text(f);
        line += ": ";
        findings.append_message(line, f);
        line += '\n';
        out.put(line);
    }
    if (findings.capped) out.put(lead + capped_note + "\n");
}

void write_check_csv_header(bool with_path, text_output& out) {
    out.put(with_path ? "path,severity,kind,tag,offset,message\r\n"
                      : "severity,kind,tag,offset,message\r\n");
}

void write_check_csv(const dcm_findings& findings, const std::string* path, text_output& out) {
    std::string message;
    for (const dcm_finding& f : findings.list) {
        if (path) {
            put_csv_field(*path, out);
            out.put(",");
        }
        out.put(std::string(dcm_severity_name(f.severity)) + "," + dcm_check_kind_name(f.kind) +
                "," + tag_hex(f.tag) + "," + offset_text(f) + ",");
        message.clear();
        findings.append_message(message, f);
        put_csv_field(message, out);
        out.put("\r\n");
    }
}

void write_check_json(const dcm_findings& findings, const std::string& path, text_output& out) {
    nlohmann::json list = nlohmann::json::array();
    for (const dcm_finding& f : findings.list) {
        nlohmann::json one = {{"severity", dcm_severity_name(f.severity)},
                              {"kind", dcm_check_kind_name(f.kind)},
                              {"tag", tag_hex(f.tag)},
                              {"offset", f.offset},
                              {"message", findings.message(f)}};
        if (f.inflated) one["inflated"] = true;
        list.push_back(std::move(one));
    }
    nlohmann::json document = {{"path", path}, {"findings", std::move(list)}};
    if (findings.capped) document["capped"] = true;
    out.put(json_text(document, true));
    out.put("\n");
}

}  // namespace velk
