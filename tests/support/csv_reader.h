// A strict RFC 4180 reader for the tests: records of fields, CR LF between
// records, quotes doubled inside quoted fields. Answers false for text that is
// not well formed (a quote inside an unquoted field, an unclosed quote, a bare
// CR or LF outside quotes, no CR LF at the end).
#pragma once

#include <string>
#include <vector>

namespace velk::test {

using csv_records = std::vector<std::vector<std::string>>;

inline bool read_csv(const std::string& text, csv_records& records) {
    records.assign(1, std::vector<std::string>(1));
    bool quoted = false, was_quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = records.back().back();
        if (quoted) {
            if (c != '"')
                field += c;
            else if (i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else
                quoted = false;
        } else if (c == '"') {
            if (!field.empty() || was_quoted) return false;
            quoted = was_quoted = true;
        } else if (c == ',') {
            records.back().emplace_back();
            was_quoted = false;
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            records.emplace_back(1);
            was_quoted = false;
            ++i;
        } else if (c == '\r' || c == '\n' || was_quoted) {
            return false;
        } else {
            field += c;
        }
    }
    const bool ended =
        !quoted && records.back().size() == 1 && records.back()[0].empty() && !was_quoted;
    records.pop_back();
    return ended;
}

}  // namespace velk::test
