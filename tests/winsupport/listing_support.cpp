#include "listing_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <iterator>
#include <vector>

#include "cli/output.h"
#include "cli/velkdump.h"
#include "parse/cursor.h"
#include "parse/file.h"
#include "parse/mapping.h"
#include "present/listing.h"

namespace velk {

namespace listing {
namespace {

std::string ReadAll(std::FILE* f) {
    std::fflush(f);
    const long size = std::ftell(f);
    std::string text(std::size_t(size > 0 ? size : 0), '\0');
    std::rewind(f);
    text.resize(text.empty() ? 0 : std::fread(&text[0], 1, text.size(), f));
    return text;
}

// Where each row's line ends in velkdump's listing: the rows of the file dumped
// one at a time. A value may hold line breaks of its own, so the line ends
// cannot be told from the text alone.
std::vector<std::size_t> RowEnds(const std::wstring& path) {
    std::vector<std::size_t> ends;
    const dcm_file_mapping file(path.c_str());
    if (!dcm_has_marker(file.begin(), file.end())) return ends;
    dcm_row_model rows;
    rows.load(dcm_bytes::of(file));
    text_output lines;
    std::size_t end = 0;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        dcm_write_row(rows, dcm_bytes::of(file), row, dcm_cp1252_to_utf8(), dcm_line_end::lf,
                      lines);
        end += lines.take().size();
        ends.push_back(end);
    }
    return ends;
}

}  // namespace

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string out(std::size_t(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(std::size_t(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &out[0], n);
    return out;
}

bool ExpectedCopy(const std::wstring& path, std::string& expected) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    if (!out || !err) return false;
    const bool listed = velkdump({Utf8(path)}, out, err) == 0;
    const std::string text = ReadAll(out);
    std::fclose(out);
    std::fclose(err);
    if (!listed) return false;
    expected.clear();
    std::size_t begin = 0;
    for (std::size_t end : RowEnds(path)) {
        if (end <= begin || end > text.size() || text[end - 1] != '\n') break;
        expected.append(text, begin, end - 1 - begin);
        expected += "\r\n";
        begin = end;
    }
    if (begin != text.size())
        ADD_FAILURE() << Utf8(path) << ": velkdump's rows do not add up to its listing";
    return begin == text.size();
}

std::string FirstDifference(const std::string& viewer, const std::string& velkdump) {
    std::size_t line_start = 0;
    std::size_t i = 0;
    while (i < viewer.size() && i < velkdump.size() && viewer[i] == velkdump[i]) {
        if (viewer[i] == '\n') line_start = i + 1;
        ++i;
    }
    auto line = [line_start](const std::string& s) {
        const std::size_t end = s.find('\n', line_start);
        return s.substr(line_start,
                        end == std::string::npos ? std::string::npos : end - line_start);
    };
    return "viewer:   " + line(viewer) + "\nvelkdump: " + line(velkdump);
}

}  // namespace listing

}  // namespace velk
