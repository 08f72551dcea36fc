#include "present/cell_text.h"

#include <charconv>
#include <cstdint>
#include <cstring>

#include "present/dictionary.h"
#include "present/render.h"

namespace velk {

namespace {

// Copies the first capacity - 1 characters of text (no NUL inside) and a terminator.
std::size_t put(const char* text, std::size_t n, char* out, std::size_t capacity) {
    if (n > capacity - 1) n = capacity - 1;
    std::memcpy(out, text, n);
    out[n] = '\0';
    return n;
}

// A decimal number: written in place when the buffer is surely large enough (the
// common case), through a scratch buffer and cut otherwise.
template <class Int>
std::size_t put_number(Int v, char* out, std::size_t capacity) {
    constexpr std::size_t longest = 20;  // "18446744073709551615"
    if (capacity > longest) {
        char* end = std::to_chars(out, out + longest, v).ptr;
        *end = '\0';
        return static_cast<std::size_t>(end - out);
    }
    char text[longest];
    const char* end = std::to_chars(text, text + sizeof text, v).ptr;
    return put(text, static_cast<std::size_t>(end - text), out, capacity);
}

// The tag from the element's first four bytes: group, then element, each a
// little-endian 16-bit number (PS3.5 section 7.1.1). False when they are not there.
bool read_tag(const unsigned char* element, std::uint64_t available, std::uint16_t& group,
              std::uint16_t& number) {
    if (available < 4) return false;
    group = dcm_load<std::uint16_t>(element);
    number = dcm_load<std::uint16_t>(element + 2);
    return true;
}

std::size_t put_vr(const dcm_record& c, char* out, std::size_t capacity) {
    std::size_t n = c.vr[0] == 0 ? 0 : c.vr[1] == 0 ? 1 : 2;
    return put(c.vr, n, out, capacity);
}

// The value's bytes, cut to the file: a value may be declared longer than what
// is left (a truncated file, an undefined length). A value that starts exactly at
// the end is empty, and rendered as such.
std::size_t put_data(const char* begin, std::uint64_t size, const dcm_record& c, char* out,
                     std::size_t capacity) {
    const std::uint64_t value = c.value_offset();
    if (value > size) return put("", 0, out, capacity);
    std::uint64_t end = value + c.length;
    if (end > size) end = size;
    return dcm_render_value_cut(out, capacity, c.vr, begin + value, begin + end,
                                dcm_cell_byte_limit);
}

}  // namespace

std::size_t dcm_put_tag(std::uint32_t tag, char* out, std::size_t capacity) {
    static const char digits[] = "0123456789ABCDEF";
    // Written in place when it fits: text stored a byte at a time and then
    // copied in words stalls the processor on every row.
    char scratch[12];
    char* text = capacity >= sizeof scratch ? out : scratch;
    text[0] = '(';
    text[5] = ',';
    text[10] = ')';
    for (int i = 0; i < 4; ++i) {
        text[1 + i] = digits[(tag >> (28 - 4 * i)) & 0xF];
        text[6 + i] = digits[(tag >> (12 - 4 * i)) & 0xF];
    }
    if (text == scratch) return put(scratch, 11, out, capacity);
    out[11] = '\0';
    return 11;
}

std::size_t dcm_cell_text(const char* file_begin, const char* file_end, const dcm_cursor& c,
                          int column, char* out, std::size_t capacity) {
    dcm_record r{};
    r.offset = c.offset;
    r.length = c.length;
    r.level = c.depth;
    r.vr[0] = c.vr[0];
    r.vr[1] = c.vr[1];
    r.header_length = c.header_length;
    r.syntax = syntax_explicit_le;
    r.container = c.container != 0;
    r.recurse = true;
    return dcm_cell_text(file_begin, file_end, r, column, out, capacity);
}

std::size_t dcm_cell_text(const char* file_begin, const char* file_end, const dcm_record& c,
                          int column, char* out, std::size_t capacity) {
    if (capacity == 0) return 0;
    out[0] = '\0';
    const std::uint64_t size =
        file_begin && file_end > file_begin ? std::uint64_t(file_end - file_begin) : 0;
    if (c.offset >= size) return 0;
    const auto* element = reinterpret_cast<const unsigned char*>(file_begin) + c.offset;
    std::uint16_t group = 0, number = 0;
    switch (column) {
    case dcm_column_tag:
        if (!read_tag(element, size - c.offset, group, number)) return 0;
        return dcm_put_tag((std::uint32_t(group) << 16) | number, out, capacity);
    case dcm_column_vr: return put_vr(c, out, capacity);
    case dcm_column_size: return put_number(static_cast<std::int32_t>(c.length), out, capacity);
    case dcm_column_description: {
        if (!read_tag(element, size - c.offset, group, number)) return 0;
        const char* name = nullptr;
        dcm_dictionary_find(dcm_dictionary_key(group, number), nullptr, &name);
        return name ? put(name, std::strlen(name), out, capacity) : 0;
    }
    case dcm_column_data: return put_data(file_begin, size, c, out, capacity);
    case dcm_column_offset:
        // Unsigned: an offset past 2 GiB is still a position, not a negative number.
        return put_number(std::uint64_t(c.offset), out, capacity);
    default: return 0;
    }
}

}  // namespace velk
