// Writes the files that compare_dump.py times velkdump and its peers on:
//   elements_explicit.dcm  about 100,000 elements in items of a top-level sequence,
//                          with nested sequences of defined and undefined length
//   elements_implicit.dcm  the same data set in implicit VR little endian
//   every_vr.dcm           about 100,000 elements in items, each item holding one
//                          element of every VR of the standard, the newer
//                          long-form ones (UC UR OD OL OV SV UV) included
//   items_1m.dcm           one sequence of 500,000 empty items: 1,000,000 rows
//   pixels_1g.dcm          a normal header, 1 GiB of pixel data, a trailing element
//   fragments_10k.dcm      encapsulated pixel data of 10,000 fragments
//   tiny.dcm               the file meta information and one element
// The pixel data is left as a hole in the file (zeros, taking no disk space).
//
// usage: velk_gen_dump_files DIR
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "dicom_builder.h"

using namespace velk;

namespace {

using test::dicom_builder;

constexpr int target_elements = 100000;
constexpr std::uint32_t pixel_bytes = 1u << 30;
constexpr int fragment_count = 10000;

// Explicit or implicit encoding of the data set, chosen per file.
class writer {
public:
    explicit writer(bool implicit) : m_implicit(implicit) {}

    // Values are padded to even length, as PS3.5 section 7.1.1 asks.
    void element(std::uint16_t g, std::uint16_t e, const char* vr, std::string value) {
        if (value.size() % 2) value += std::string(vr) == "UI" ? '\0' : ' ';
        if (m_implicit)
            b.implicit_element(g, e, value);
        else
            b.explicit_element(g, e, vr, value);
    }
    void sequence(std::uint16_t g, std::uint16_t e, std::uint32_t length) {
        if (m_implicit)
            b.implicit_header(g, e, length);
        else
            b.sequence(g, e, length);
    }

    dicom_builder b;

private:
    bool m_implicit;
};

std::string u16(std::uint16_t v) { return test::le16(v); }

std::string f64(double v) {
    std::string s(8, '\0');
    std::memcpy(&s[0], &v, 8);
    return s;
}

void meta(dicom_builder& b, const char* syntax) {
    dicom_builder group;
    group.explicit_element(0x0002, 0x0001, "OB", std::string("\0\1", 2))
        .explicit_element(0x0002, 0x0002, "UI", std::string("1.2.840.10008.5.1.4.1.1.7") + '\0')
        .explicit_element(0x0002, 0x0003, "UI", "1.2.3.4.5.6.7.8.9.10")
        .transfer_syntax(syntax)
        .explicit_element(0x0002, 0x0012, "UI", "1.2.3.4.56");
    b.preamble()
        .explicit_element(0x0002, 0x0000, "UL",
                          test::le32(static_cast<std::uint32_t>(group.size())))
        .raw(group.bytes());
}

// A nested sequence whose item has a defined length: its bytes are built first.
std::string defined_item(bool implicit, int i) {
    writer w(implicit);
    w.element(0x0018, 0x6028, "FD", f64(i * 0.25) + f64(-1.5e7));
    w.element(0x0020, 0x0013, "IS", std::to_string(i % 1000));
    w.element(0x0028, 0x0030, "DS", "0.5\\0.5 ");
    return w.b.bytes();
}

// One item of the top-level sequence, in ascending tag order: 18 rows in explicit VR.
void record(writer& w, bool implicit, int i) {
    w.b.item();
    w.element(0x0008, 0x0060, "CS", "MR");
    const std::string item = defined_item(implicit, i);
    w.sequence(0x0008, 0x1115, static_cast<std::uint32_t>(8 + item.size()));
    w.b.item(static_cast<std::uint32_t>(item.size()));
    w.b.raw(item);
    w.sequence(0x0008, 0x1140, test::undefined);
    w.b.item();
    w.element(0x0008, 0x1150, "UI", "1.2.840.10008.5.1.4.1.1.4");
    w.element(0x0008, 0x1155, "UI", "1.2.3.4.5.6." + std::to_string(100000 + i));
    w.b.item_end();
    w.b.sequence_end();
    w.element(0x0010, 0x0010, "PN", "Doe^John^" + std::to_string(i % 10));
    w.element(0x0018, 0x0050, "DS", "1.5 ");
    w.element(0x0028, 0x0010, "US", u16(512) + u16(static_cast<std::uint16_t>(i)));
    w.element(0x0029, 0x1010, "LO", "private text");
    w.b.item_end();
}

bool elements_file(const std::string& path, bool implicit) {
    writer w(implicit);
    meta(w.b, implicit ? test::implicit_le_uid() : test::explicit_le_uid());
    w.element(0x0008, 0x0016, "UI", "1.2.840.10008.5.1.4.1.1.7");
    w.element(0x0010, 0x0020, "LO", "ID0001");
    w.element(0x0040, 0xA040, "CS", "TEXT");
    w.sequence(0x0040, 0xA730, test::undefined);
    for (int i = 0; i * 18 < target_elements; ++i) record(w, implicit, i);
    w.b.sequence_end();
    return w.b.write(path);
}

// One value of every VR, in explicit VR; private tags, so no description.
bool every_vr_file(const std::string& path) {
    static const struct {
        const char* vr;
        const char* value;
        std::size_t size;
    } values[] = {{"AE", "STATION1", 8},
                  {"AS", "045Y", 4},
                  {"AT", "\x10\x00\x10\x00", 4},
                  {"CS", "ORIGINAL", 8},
                  {"DA", "20240101", 8},
                  {"DS", "1.25", 4},
                  {"DT", "20240101120000", 14},
                  {"FL", "\x00\x00\x80\x3F", 4},
                  {"FD", "\x00\x00\x00\x00\x00\x00\xF0\x3F", 8},
                  {"IS", "42", 2},
                  {"LO", "long string", 12},
                  {"LT", "long text value", 16},
                  {"OB", "\x01\x02\x03\x04", 4},
                  {"OD", "\x00\x00\x00\x00\x00\x00\xF0\x3F", 8},
                  {"OF", "\x00\x00\x80\x3F", 4},
                  {"OL", "\x01\x00\x00\x00", 4},
                  {"OV", "\x01\x00\x00\x00\x00\x00\x00\x00", 8},
                  {"OW", "\x01\x00\x02\x00", 4},
                  {"PN", "Doe^John", 8},
                  {"SH", "short", 6},
                  {"SL", "\xFF\xFF\xFF\xFF", 4},
                  {"SS", "\xFE\xFF", 2},
                  {"ST", "short text", 10},
                  {"SV", "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8},
                  {"TM", "120000", 6},
                  {"UC", "unlimited characters", 20},
                  {"UI", "1.2.3.4", 8},
                  {"UL", "\x01\x00\x00\x00", 4},
                  {"UN", "\x01\x02", 2},
                  {"UR", "http://example.invalid/r", 24},
                  {"US", "\x02\x00", 2},
                  {"UT", "unlimited text", 14},
                  {"UV", "\x02\x00\x00\x00\x00\x00\x00\x00", 8}};
    constexpr int per_item =
        2 + 1 + int(sizeof values / sizeof values[0]);  // item, SQ, values, end
    dicom_builder b;
    meta(b, test::explicit_le_uid());
    b.sequence(0x0011, 0x0010);
    for (int i = 0; i * per_item < target_elements; ++i) {
        b.item();
        std::uint16_t element = 0x1000;
        b.sequence(0x0011, element++, 0);
        for (const auto& v : values)
            b.explicit_element(0x0011, element++, v.vr, std::string(v.value, v.size));
        b.item_end();
    }
    b.sequence_end();
    return b.write(path);
}

// A million rows: one sequence of 500,000 items of undefined length, each empty
// but for its delimiter.
bool million_rows_file(const std::string& path) {
    dicom_builder b;
    meta(b, test::explicit_le_uid());
    b.sequence(0x0040, 0xA730);
    for (int i = 0; i < 499999; ++i) b.item().item_end();
    b.sequence_end();
    return b.write(path);
}

void header(dicom_builder& b) {
    meta(b, test::explicit_le_uid());
    b.explicit_element(0x0008, 0x0060, "CS", "CT")
        .explicit_element(0x0010, 0x0010, "PN", "Doe^Jane")
        .explicit_element(0x0028, 0x0010, "US", u16(16384))
        .explicit_element(0x0028, 0x0011, "US", u16(32768))
        .explicit_element(0x0028, 0x0100, "US", u16(16));
}

// The pixel data's value is a hole: seek over it, then write the trailing element.
bool pixels_file(const std::string& path) {
    dicom_builder b;
    header(b);
    b.explicit_header(0x7FE0, 0x0010, "OW", pixel_bytes);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(b.bytes().data(), 1, b.size(), f) == b.size();
    ok = ok && std::fseek(f, static_cast<long>(pixel_bytes), SEEK_CUR) == 0;
    dicom_builder tail;
    tail.explicit_element(0xFFFC, 0xFFFC, "OB", std::string(16, '\0'));
    ok = ok && std::fwrite(tail.bytes().data(), 1, tail.size(), f) == tail.size();
    return std::fclose(f) == 0 && ok;
}

bool fragments_file(const std::string& path) {
    dicom_builder b;
    header(b);
    b.explicit_header(0x7FE0, 0x0010, "OB", test::undefined);
    b.item(0);  // empty basic offset table
    for (int i = 0; i < fragment_count; ++i) b.item(64).raw(std::string(64, char(i)));
    b.sequence_end();
    return b.write(path);
}

bool tiny_file(const std::string& path) {
    dicom_builder b;
    meta(b, test::explicit_le_uid());
    b.explicit_element(0x0008, 0x0060, "CS", "OT");  // even lengths throughout
    return b.write(path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: velk_gen_dump_files DIR\n", stderr);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const bool ok = elements_file(dir + "elements_explicit.dcm", false) &&
                    elements_file(dir + "elements_implicit.dcm", true) &&
                    every_vr_file(dir + "every_vr.dcm") &&
                    million_rows_file(dir + "items_1m.dcm") && pixels_file(dir + "pixels_1g.dcm") &&
                    fragments_file(dir + "fragments_10k.dcm") && tiny_file(dir + "tiny.dcm");
    if (!ok) std::fprintf(stderr, "velk_gen_dump_files: cannot write into %s\n", argv[1]);
    return ok ? 0 : 1;
}
