#include "present/compare.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "parse/file.h"
#include "parse/reader.h"
#include "parse/record.h"
#include "parse/tags.h"
#include "present/cell_text.h"

namespace velk {

namespace {

// The bytes a record's offset counts in: the file's, or a deflated data set's
// inflated ones.
std::string_view bytes_of(const dcm_compare_side& side, const dcm_record& c) {
    const dcm_bytes bytes = side.reading.bytes_of({side.begin, side.end}, c);
    return bytes.begin && bytes.end > bytes.begin
               ? std::string_view(bytes.begin, std::size_t(bytes.end - bytes.begin))
               : std::string_view();
}

std::uint32_t tag_of(const dcm_compare_side& side, std::size_t row) {
    const dcm_record& c = side.rows[row];
    const std::string_view bytes = bytes_of(side, c);
    if (std::uint64_t(c.offset) + 4 > bytes.size()) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + c.offset;
    return dcm_load_tag(p, side.reading.byte_order(c));
}

struct path_entry {
    std::string key;    // bytes that identify the path, the occurrence included
    std::string shown;  // the path as the user reads it
};

std::string tag_text(std::uint32_t tag) {
    char text[12];
    return std::string(text, dcm_put_tag(tag, text, sizeof text));
}

void append_number(std::string& key, std::uint32_t v) {
    key.append(reinterpret_cast<const char*>(&v), sizeof v);
}

// The path of every row. Items are named by their index within the container
// holding them; every other element by its tag and, when the tag came before in
// the same data set, its occurrence.
std::vector<path_entry> paths_of(const dcm_compare_side& side) {
    struct open_row {
        std::size_t row;
        std::uint32_t items = 0;
        std::unordered_map<std::uint32_t, std::uint32_t> seen;  // occurrences by tag
    };
    std::vector<path_entry> paths(side.rows.size());
    std::vector<open_row> open;
    std::unordered_map<std::uint32_t, std::uint32_t> top_seen;
    for (std::size_t row = 0; row < side.rows.size(); ++row) {
        while (!open.empty() && side.rows[open.back().row].level >= side.rows[row].level)
            open.pop_back();
        const path_entry* parent = open.empty() ? nullptr : &paths[open.back().row];
        path_entry& path = paths[row];
        if (parent) path = *parent;
        const std::uint32_t tag = tag_of(side, row);
        if (tag == tag_item && !open.empty()) {
            const std::uint32_t index = open.back().items++;
            path.key += 'I';
            append_number(path.key, index);
            path.shown += "[" + std::to_string(index) + "]";
        } else {
            auto& seen = open.empty() ? top_seen : open.back().seen;
            const std::uint32_t occurrence = seen[tag]++;
            path.key += 'T';
            append_number(path.key, tag);
            append_number(path.key, occurrence);
            if (!path.shown.empty()) path.shown += '.';
            path.shown += tag_text(tag);
            if (occurrence) path.shown += "#" + std::to_string(occurrence + 1);
        }
        open.push_back(open_row{row, 0, {}});
    }
    return paths;
}

// The value bytes the file holds, cut to the file.
std::string_view value_of(const dcm_compare_side& side, std::size_t row) {
    const dcm_record& c = side.rows[row];
    const std::string_view bytes = bytes_of(side, c);
    const std::uint64_t first = std::uint64_t(c.offset) + c.header_length;
    if (first >= bytes.size()) return {};
    return bytes.substr(std::size_t(first),
                        std::size_t(std::min<std::uint64_t>(c.length, bytes.size() - first)));
}

// The VR the row shows: as read, or in the Interpret reading the dictionary's
// for an element read without one.
dcm_shown_vr vr_of(const dcm_compare_side& side, std::size_t row) {
    const dcm_record& c = side.rows[row];
    return side.reading.vr_of(tag_of(side, row), c);
}

std::string cell(const dcm_compare_side& side, std::size_t row, int column);

bool alike(const dcm_compare_side& a, std::size_t i, const dcm_compare_side& b, std::size_t j) {
    const dcm_record& x = a.rows[i];
    const dcm_record& y = b.rows[j];
    const dcm_shown_vr vx = vr_of(a, i), vy = vr_of(b, j);
    if (vx.vr[0] != vy.vr[0] || vx.vr[1] != vy.vr[1] || x.container != y.container) return false;
    if (x.container) return true;  // what it holds is compared row by row
    if (x.length != y.length) return false;
    // Numbers of either byte order are alike when they read alike.
    if (a.reading.byte_order(x) != b.reading.byte_order(y))
        return cell(a, i, dcm_column_data) == cell(b, j, dcm_column_data);
    return value_of(a, i) == value_of(b, j);
}

// Marks the matched pairs, given in the first file's order, that leave the
// second file's order: all but one longest run that is in order in both.
void mark_moved(std::vector<dcm_difference>& pairs) {
    std::vector<std::size_t> tails;  // pair index ending each run length
    std::vector<std::size_t> before(pairs.size(), dcm_difference::none);
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const auto at =
            std::lower_bound(tails.begin(), tails.end(), pairs[k].second,
                             [&](std::size_t t, std::size_t s) { return pairs[t].second < s; });
        if (at != tails.begin()) before[k] = *(at - 1);
        if (at == tails.end())
            tails.push_back(k);
        else
            *at = k;
    }
    for (auto& p : pairs) p.moved = true;
    for (std::size_t k = tails.empty() ? dcm_difference::none : tails.back();
         k != dcm_difference::none; k = before[k])
        pairs[k].moved = false;
}

std::size_t put(const std::string& text, char* out, std::size_t capacity) {
    std::size_t n = std::min(text.size(), capacity - 1);
    const void* nul = std::memchr(text.data(), 0, n);
    if (nul) n = std::size_t(static_cast<const char*>(nul) - text.data());
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return n;
}

std::string cell(const dcm_compare_side& side, std::size_t row, int column) {
    if (row == dcm_difference::none) return {};
    char text[dcm_cell_capacity];
    const std::size_t n =
        side.reading.cell_text({side.begin, side.end}, side.rows[row], column, text, sizeof text);
    return std::string(text, n);
}

}  // namespace

std::vector<dcm_difference> dcm_compare(const dcm_compare_side& first,
                                        const dcm_compare_side& second) {
    const std::vector<path_entry> a = paths_of(first);
    const std::vector<path_entry> b = paths_of(second);
    std::unordered_map<std::string_view, std::size_t> in_second;
    in_second.reserve(b.size());
    for (std::size_t j = 0; j < b.size(); ++j) in_second.emplace(b[j].key, j);

    std::vector<dcm_difference> pairs;  // every match, in the first file's order
    std::vector<std::size_t> match_of_second(b.size(), dcm_difference::none);
    std::vector<std::size_t> match_of_first(a.size(), dcm_difference::none);
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto found = in_second.find(a[i].key);
        if (found == in_second.end()) continue;
        dcm_difference d;
        d.first = i;
        d.second = found->second;
        d.changed = !alike(first, i, second, found->second);
        match_of_first[i] = pairs.size();
        match_of_second[found->second] = i;
        pairs.push_back(std::move(d));
    }
    mark_moved(pairs);

    // What only the second file holds follows the first file's row that matches
    // the nearest matched row before it there.
    std::vector<std::vector<std::size_t>> after(a.size() + 1);  // slot 0: before every row
    std::size_t anchor = 0;
    for (std::size_t j = 0; j < b.size(); ++j) {
        if (match_of_second[j] != dcm_difference::none)
            anchor = match_of_second[j] + 1;
        else
            after[anchor].push_back(j);
    }
    std::vector<dcm_difference> out;
    const auto only_in_second = [&](std::size_t slot) {
        for (const std::size_t j : after[slot]) {
            dcm_difference d;
            d.second = j;
            d.path = b[j].shown;
            out.push_back(std::move(d));
        }
    };
    only_in_second(0);
    for (std::size_t i = 0; i < a.size(); ++i) {
        const std::size_t k = match_of_first[i];
        if (k == dcm_difference::none) {
            dcm_difference d;
            d.first = i;
            d.path = a[i].shown;
            out.push_back(std::move(d));
        } else if (pairs[k].changed || pairs[k].moved) {
            pairs[k].path = a[i].shown;
            out.push_back(std::move(pairs[k]));
        }
        only_in_second(i + 1);
    }
    return out;
}

std::size_t dcm_difference_text(const dcm_difference& d, const dcm_compare_side& first,
                                const dcm_compare_side& second, int column, char* out,
                                std::size_t capacity) {
    if (capacity == 0) return 0;
    const bool in_first = d.first != dcm_difference::none;
    const bool in_second = d.second != dcm_difference::none;
    switch (column) {
    case dcm_difference_kind:
        if (!in_second) return put("only in first", out, capacity);
        if (!in_first) return put("only in second", out, capacity);
        return put(d.changed && d.moved ? "changed, moved"
                   : d.changed          ? "changed"
                                        : "moved",
                   out, capacity);
    case dcm_difference_path: return put(d.path, out, capacity);
    case dcm_difference_vr: {
        const std::string x = cell(first, d.first, dcm_column_vr);
        const std::string y = cell(second, d.second, dcm_column_vr);
        return put(in_first && in_second && x != y ? x + "|" + y : in_first ? x : y, out, capacity);
    }
    case dcm_difference_name:
        return put(in_first ? cell(first, d.first, dcm_column_description)
                            : cell(second, d.second, dcm_column_description),
                   out, capacity);
    case dcm_difference_first_value:
        return put(cell(first, d.first, dcm_column_data), out, capacity);
    case dcm_difference_second_value:
        return put(cell(second, d.second, dcm_column_data), out, capacity);
    case dcm_difference_first_offset:
        return put(cell(first, d.first, dcm_column_offset), out, capacity);
    case dcm_difference_second_offset:
        return put(cell(second, d.second, dcm_column_offset), out, capacity);
    default: out[0] = '\0'; return 0;
    }
}

std::vector<dcm_record> dcm_compare_load(const char* begin, const char* end) {
    std::vector<dcm_record> loaded;
    dcm_read_records(begin, end, loaded);
    return loaded;
}

}  // namespace velk
