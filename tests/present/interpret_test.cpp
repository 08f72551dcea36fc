// The Interpret reading on files no peer's samples hold: the VRs added since the
// first editions in both byte orders, a deflate bomb, and text cut by a cell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <zlib.h>

#include "parse/interpret_walk.h"
#include "parse/syntax_registry.h"
#include "present/cell_text.h"
#include "present/inspect.h"
#include "present/interpret_cells.h"
#include "present/row_model.h"

using namespace velk;

namespace {

std::string u16(unsigned v, bool big) {
    const char lo = char(v & 0xFF), hi = char((v >> 8) & 0xFF);
    return big ? std::string{hi, lo} : std::string{lo, hi};
}

std::string u32(std::uint32_t v, bool big) {
    return big ? u16(v >> 16, true) + u16(v & 0xFFFF, true)
               : u16(v & 0xFFFF, false) + u16(v >> 16, false);
}

std::string bytes_of(std::uint64_t v, int n, bool big) {
    std::string s;
    for (int i = 0; i < n; ++i) s += char((v >> (8 * (big ? n - 1 - i : i))) & 0xFF);
    return s;
}

std::string element(unsigned group, unsigned number, const std::string& vr,
                    const std::string& value, bool big) {
    std::string e = u16(group, big) + u16(number, big) + vr;
    const bool long_form = vr == "OD" || vr == "OL" || vr == "OV" || vr == "SV" || vr == "UV" ||
                           vr == "UC" || vr == "UR" || vr == "OB" || vr == "SQ";
    e += long_form ? std::string(2, '\0') + u32(std::uint32_t(value.size()), big)
                   : u16(unsigned(value.size()), big);
    return e + value;
}

std::string part10(const char* syntax, const std::string& data_set) {
    std::string uid = syntax;
    if (uid.size() % 2) uid += '\0';
    return std::string(128, '\0') + "DICM" + element(0x0002, 0x0010, "UI", uid, false) + data_set;
}

struct listing {
    std::string file;
    dcm_interpret_document document;
    std::vector<dcm_record> records;
    dcm_walk_result result;

    explicit listing(std::string bytes) : file(std::move(bytes)) {
        result = dcm_read_records_interpret(file.data(), file.data() + file.size(),
                                            dcm_interpret_dictionary_vr, records, document.data);
        document.find_charsets(file.data(), file.data() + file.size(), records);
    }

    std::string cell(std::size_t row, int column) const {
        char out[dcm_cell_capacity];
        dcm_interpret_cell_text(file.data(), file.data() + file.size(), document, records[row],
                                column, out, sizeof out);
        return out;
    }
};

TEST(Interpret, RendersEveryNumberKindInBothByteOrders) {
    for (const bool big : {false, true}) {
        const std::string set =
            element(0x0018, 0x9219, "SS", u16(0xFFFE, big), big) +  // -2
            element(0x0020, 0x5000, "AT", u16(0x0010, big) + u16(0x0020, big), big) +
            element(0x0040, 0xA161, "FD", bytes_of(0x3FF8000000000000, 8, big), big) +  // 1.5
            element(0x0070, 0x1101, "OD",
                    bytes_of(0xC004000000000000, 8, big) + bytes_of(0x4000000000000000, 8, big),
                    big) +
            element(0x0070, 0x1102, "OL", u32(7, big) + u32(0xFFFFFFFF, big), big) +
            element(0x7FE0, 0x0001, "OV", bytes_of(0xFFFFFFFFFFFFFFFF, 8, big), big) +
            element(0x0072, 0x0082, "SV", bytes_of(0xFFFFFFFFFFFFFFFD, 8, big), big) +
            element(0x0072, 0x0083, "UV", bytes_of(42, 8, big), big) +
            element(0x0008, 0x1190, "UR", "http://x/y ", big);
        const listing l(part10(big ? "1.2.840.10008.1.2.2" : "1.2.840.10008.1.2.1", set));
        ASSERT_TRUE(l.result.complete());
        ASSERT_EQ(l.records.size(), 10u);
        const char* expected[] = {"-2",     "2097168",      "1.5",
                                  "-2.5/2", "7/4294967295", "18446744073709551615",
                                  "-3",     "42",           "http://x/y "};
        for (std::size_t i = 0; i < 9; ++i) {
            EXPECT_EQ(l.cell(i + 1, dcm_column_data), expected[i]) << big << " row " << i + 1;
        }
        EXPECT_EQ(l.cell(1, dcm_column_tag), "(0018,9219)");
    }
}

// Implicit VR: the dictionary gives the VR ("(US)"), the value and the sequence.
TEST(Interpret, ImplicitElementsTakeTheDictionaryVr) {
    const std::string set = u16(0x0028, false) + u16(0x0010, false) + u32(2, false) +
                            u16(512, false) +  // Rows
                            u16(0x0040, false) + u16(0x0275, false) + u32(8 + 18, false) +
                            u16(0xFFFE, false) + u16(0xE000, false) + u32(18, false) +
                            u16(0x0040, false) + u16(0x0007, false) + u32(10, false) + "Scheduled ";
    const listing l(part10("1.2.840.10008.1.2", set));
    ASSERT_EQ(l.records.size(), 5u);
    EXPECT_EQ(l.cell(1, dcm_column_vr), "(US)");
    EXPECT_EQ(l.cell(1, dcm_column_data), "512");
    EXPECT_EQ(l.cell(2, dcm_column_vr), "(SQ)");
    EXPECT_TRUE(l.records[2].container);
    EXPECT_EQ(l.cell(4, dcm_column_description), "Scheduled Procedure Step Description");
    EXPECT_EQ(l.records[4].level, 2u);
}

// "US or SS" read without a VR: signed when the Pixel Representation says so.
TEST(Interpret, PixelRepresentationDecidesUsOrSs) {
    for (const unsigned representation : {0u, 1u}) {
        const std::string set = u16(0x0028, false) + u16(0x0103, false) + u32(2, false) +
                                u16(representation, false) + u16(0x0028, false) +
                                u16(0x0106, false) + u32(2, false) + u16(0xFFFE, false);
        const listing l(part10("1.2.840.10008.1.2", set));
        ASSERT_EQ(l.records.size(), 3u);
        EXPECT_EQ(l.cell(2, dcm_column_vr), representation ? "(SS)" : "(US)");
        EXPECT_EQ(l.cell(2, dcm_column_data), representation ? "-2" : "65534");
    }
}

std::string deflated(const std::string& data) {
    std::string packed(compressBound(uLong(data.size())) + 64, '\0');
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(&packed[0]);
    z.avail_out = uInt(packed.size());
    deflate(&z, Z_FINISH);
    packed.resize(z.total_out);
    deflateEnd(&z);
    return packed;
}

// Through the row model: a sequence in a deflated data set folds and unfolds
// (its rows walked again in the inflated bytes), the offsets marked as inflated.
TEST(Interpret, RowModelFoldsSequencesOfADeflatedDataSet) {
    const std::string item = element(0x0008, 0x0100, "SH", "T-04000 ", false);
    const std::string set = element(0x0008, 0x0060, "CS", "CT", false) + u16(0x0008, false) +
                            u16(0x1032, false) + "SQ" + std::string(2, '\0') +
                            u32(std::uint32_t(8 + item.size()), false) + u16(0xFFFE, false) +
                            u16(0xE000, false) + u32(std::uint32_t(item.size()), false) + item;
    const std::string file = part10("1.2.840.10008.1.2.1.99", deflated(set));
    const dcm_bytes bytes{file.data(), file.data() + file.size()};
    dcm_row_model rows(dcm_reading::interpret);
    const dcm_walk_result walked = rows.load(bytes);
    ASSERT_TRUE(walked.complete())
        << dcm_walk_status_text(walked.status) << " at " << walked.offset;
    ASSERT_EQ(rows.size(), 5u);
    const auto cell = [&](std::size_t row, int column) {
        char out[dcm_cell_capacity];
        rows.cell_text(bytes, row, column, out, sizeof out);
        return std::string(out);
    };
    EXPECT_EQ(cell(0, dcm_column_offset), "132");
    EXPECT_EQ(cell(1, dcm_column_offset), "z0");
    EXPECT_EQ(cell(4, dcm_column_data), "T-04000 ");
    EXPECT_EQ(rows.collapse(2), 2u);
    EXPECT_EQ(rows.expand(2, bytes), 2u);
    EXPECT_EQ(cell(4, dcm_column_description), "Code Value");
    EXPECT_EQ(cell(4, dcm_column_offset), "z" + std::to_string(10 + 12 + 8));
    // The inspector reads it in the inflated bytes, and says so.
    const dcm_bytes inflated = rows.reading().bytes_of(bytes, rows.record(4));
    const char* begin = inflated.begin;
    const char* end = inflated.end;
    const dcm_inspection inspected(begin, end, rows.record(4), "");
    EXPECT_EQ(inspected.line(4, begin, end),
              "Offset: z30, value at z38 (in the inflated data set)");
    EXPECT_EQ(inspected.line(inspected.line_count() - 1, begin, end), "[0] T-04000 ");
}

// Every syntax whose data set is deflated is inflated, the JPIP ones as well as
// Deflated Explicit VR Little Endian.
TEST(Interpret, InflatesTheDataSetOfEveryDeflatedSyntax) {
    const std::string set = element(0x0008, 0x0060, "CS", "CT", false);
    int deflated_syntaxes = 0;
    for (std::size_t i = 0; i < dcm_syntax_count; ++i) {
        if (!dcm_syntax_table[i].deflated) continue;
        ++deflated_syntaxes;
        const std::string file =
            part10(std::string(dcm_syntax_table[i].uid).c_str(), deflated(set));
        const dcm_bytes bytes{file.data(), file.data() + file.size()};
        dcm_row_model rows(dcm_reading::interpret);
        ASSERT_TRUE(rows.load(bytes).complete()) << dcm_syntax_table[i].uid;
        char out[dcm_cell_capacity];
        rows.cell_text(bytes, rows.size() - 1, dcm_column_offset, out, sizeof out);
        EXPECT_STREQ(out, "z0") << dcm_syntax_table[i].uid;
    }
    EXPECT_GE(deflated_syntaxes, 3);
}

// The inspector in the Interpret reading: a big-endian number and an implicit VR
// element, read by the VR the list shows.
TEST(Interpret, InspectorReadsByTheVrAndByteOrderShown) {
    const auto inspect = [](const std::string& file, std::size_t row) {
        const dcm_bytes bytes{file.data(), file.data() + file.size()};
        dcm_row_model rows(dcm_reading::interpret);
        rows.load(bytes);
        const dcm_inspection in(bytes.begin, bytes.end, rows.record(row), "", rows.reading());
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < in.line_count(); ++i)
            lines.push_back(in.line(i, bytes.begin, bytes.end));
        return lines;
    };
    const auto big = inspect(
        part10("1.2.840.10008.1.2.2", element(0x0028, 0x0010, "US", u16(512, true), true)), 1);
    EXPECT_EQ(big.front(), "Tag: (0028,0010)");
    EXPECT_EQ(big.back(), "[0] 512");
    const auto implicit =
        inspect(part10("1.2.840.10008.1.2",
                       u16(0x0028, false) + u16(0x0010, false) + u32(2, false) + u16(512, false)),
                1);
    EXPECT_EQ(implicit[2], "VR: (US), from the dictionary");
    EXPECT_EQ(implicit.back(), "[0] 512");
}

// A deflated data set that inflates far past the cap: the rows are those of the
// bytes under the cap, their offsets marked as inflated ones.
TEST(Interpret, ListsWhatFitsUnderTheInflateCap) {
    std::string zeros(4 << 20, '\0');  // 524288 elements (0000,0000) of length 0
    std::string packed(compressBound(uLong(zeros.size())), '\0');
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    z.next_in = reinterpret_cast<Bytef*>(&zeros[0]);
    z.avail_in = uInt(zeros.size());
    z.next_out = reinterpret_cast<Bytef*>(&packed[0]);
    z.avail_out = uInt(packed.size());
    deflate(&z, Z_FINISH);
    packed.resize(z.total_out);
    deflateEnd(&z);
    std::string file = part10("1.2.840.10008.1.2.1.99", packed);
    dcm_interpret_document document;
    std::vector<dcm_record> records;
    dcm_read_records_interpret(file.data(), file.data() + file.size(), dcm_interpret_dictionary_vr,
                               records, document.data, 1 << 20);
    EXPECT_EQ(document.data.inflate_end, dcm_inflate_end::capped);
    EXPECT_EQ(document.data.inflated.size(), std::size_t(1) << 20);
    EXPECT_EQ(records.size(), 1 + (std::size_t(1) << 20) / 8);
    char out[dcm_cell_capacity];
    dcm_interpret_cell_text(file.data(), file.data() + file.size(), document, records.back(),
                            dcm_column_offset, out, sizeof out);
    EXPECT_STREQ(out, "z1048568");
}

// Decoded text in a cell is cut to the cell's bytes, never inside a character.
TEST(Interpret, CutsDecodedTextOnACharacterBoundary) {
    std::string name;
    for (int i = 0; i < 200; ++i) name += "\xE5\xB1\xB1";  // 山, three bytes each
    const std::string set = element(0x0008, 0x0005, "CS", "ISO_IR 192", false) +
                            element(0x0010, 0x0010, "PN", name, false);
    const listing l(part10("1.2.840.10008.1.2.1", set));
    const std::string shown = l.cell(2, dcm_column_data);
    EXPECT_EQ(shown.size(), 258u);  // 86 characters: the 87th would pass 259 bytes
    EXPECT_EQ(shown, name.substr(0, 258));
}

}  // namespace

// The status bar's hint after a default load, one file of each kind: what
// Interpret would show more of, and nothing for a file it reads alike.
TEST(Interpret, HintsWhatTheDefaultReadingMisses) {
    const std::string implicit_rows =
        u16(0x0028, false) + u16(0x0010, false) + u32(2, false) + u16(512, false);
    const std::string name = element(0x0010, 0x0010, "PN", "Doe^J ", false);
    const struct {
        std::string file;
        dcm_interpret_hint hint;
    } cases[] = {
        {part10("1.2.840.10008.1.2", implicit_rows), dcm_interpret_hint::implicit_vr},
        {part10("1.2.840.10008.1.2.2", element(0x0010, 0x0010, "PN", "Doe^J ", true)),
         dcm_interpret_hint::other_syntax},
        {part10("1.2.840.10008.1.2.1", element(0x0008, 0x0005, "CS", "ISO_IR 144", false) + name),
         dcm_interpret_hint::character_set},
        {part10("1.2.840.10008.1.2.1", element(0x0008, 0x0005, "CS", "ISO_IR 100", false) + name),
         dcm_interpret_hint::none},
        {part10("1.2.840.10008.1.2.1", name), dcm_interpret_hint::none},
    };
    for (const auto& c : cases) {
        const dcm_bytes bytes{c.file.data(), c.file.data() + c.file.size()};
        dcm_row_model rows;
        rows.load(bytes);
        EXPECT_EQ(rows.interpret_hint(), c.hint) << dcm_interpret_hint_text(c.hint);
    }
}
