// The comparison of two files and the inspector's lines, from files built here
// and from pydicom's real files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dicom_builder.h"
#include "parse/mapping.h"
#include "present/compare.h"
#include "present/inspect.h"

namespace velk {

namespace {

using test::dicom_builder;

struct loaded_file {
    explicit loaded_file(std::string b) : bytes(std::move(b)) {
        rows = dcm_compare_load(bytes.data(), bytes.data() + bytes.size());
    }
    dcm_compare_side side() const { return {bytes.data(), bytes.data() + bytes.size(), rows}; }
    std::string bytes;
    std::vector<dcm_record> rows;
};

std::vector<std::string> difference_lines(const loaded_file& a, const loaded_file& b) {
    std::vector<std::string> lines;
    for (const dcm_difference& d : dcm_compare(a.side(), b.side())) {
        std::string line;
        for (int column = 0; column < dcm_difference_column_count; ++column) {
            char cell[260];
            dcm_difference_text(d, a.side(), b.side(), column, cell, sizeof cell);
            line += (column ? ";" : "") + std::string(cell);
        }
        lines.push_back(line);
    }
    return lines;
}

dicom_builder with_meta() {
    dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    return b;
}

}  // namespace

// Matched by path: an item added in the middle of the second file's sequence
// shows as that item and its element, the later items pair with their own
// index; a repeated tag pairs occurrence by occurrence; an element placed
// elsewhere is reported as moved.
TEST(Compare, MatchesByPathWithItemIndexOccurrenceAndOrder) {
    const auto item = [](dicom_builder& b, const std::string& value) {
        b.item().explicit_element(0x0008, 0x0100, "SH", value).item_end();
    };
    dicom_builder a = with_meta();
    a.explicit_element(0x0008, 0x0060, "CS", "CT").sequence(0x0040, 0xA730);
    item(a, "AA");
    item(a, "BB");
    a.sequence_end()
        .explicit_element(0x0010, 0x0010, "PN", "Doe^J ")
        .explicit_element(0x0010, 0x0010, "PN", "X ");
    a.explicit_element(0x0020, 0x0010, "SH", "1 ");

    dicom_builder b = with_meta();
    b.explicit_element(0x0020, 0x0010, "SH", "1 ").explicit_element(0x0008, 0x0060, "CS", "MR");
    b.sequence(0x0040, 0xA730);
    item(b, "AA");
    item(b, "BB");
    item(b, "CC");
    b.sequence_end().explicit_element(0x0010, 0x0010, "PN", "Doe^J ");

    const loaded_file first(a.bytes()), second(b.bytes());
    EXPECT_EQ(difference_lines(first, second),
              (std::vector<std::string>{
                  "changed;(0008,0060);CS;Modality;CT;MR;160;170",
                  "only in second;(0040,A730)[2];;Item;;;;244",
                  "only in second;(0040,A730)[2].(0008,0100);SH;Code Value;;CC;;252",
                  "only in second;(0040,A730)[2].(FFFE,E00D);;Item Delimitation Item;;;;262",
                  "only in first;(0010,0010)#2;PN;Patient's Name;X ;;256;",
                  "moved;(0020,0010);SH;Study ID;1 ;1 ;266;160",
              }));

    EXPECT_TRUE(difference_lines(first, first).empty());
}

// Every real file is alike to itself and differs from a copy with one value byte
// changed by exactly one changed row.
TEST(Compare, RealFilesAgainstThemselvesAndAChangedCopy) {
    const std::filesystem::path folder = VELK_PYDICOM_DATA "/test_files";
    if (!std::filesystem::exists(folder)) GTEST_SKIP() << "pydicom's files are not installed";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".dcm") continue;
        dcm_file_mapping map(entry.path().string().c_str());
        if (!map.is_open() || map.size() > (4u << 20)) continue;
        const loaded_file file(std::string(map.begin(), map.end()));
        if (file.rows.empty()) continue;
        ++files;
        EXPECT_TRUE(difference_lines(file, file).empty()) << entry.path();
        // The first row with a text value gets one byte changed.
        for (std::size_t r = 0; r < file.rows.size(); ++r) {
            const dcm_record& c = file.rows[r];
            if (c.container || c.length == 0 || c.length == 0xFFFFFFFFu || c.vr[0] != 'L' ||
                c.vr[1] != 'O')
                continue;
            std::string bytes = file.bytes;
            bytes[c.offset + c.header_length] ^= 0x20;
            const loaded_file changed(bytes);
            const auto lines = difference_lines(file, changed);
            ASSERT_EQ(lines.size(), 1u) << entry.path() << ::testing::PrintToString(lines);
            EXPECT_EQ(lines[0].rfind("changed;", 0), 0u) << lines[0];
            break;
        }
    }
    EXPECT_GT(files, 40);
}

// The header, a multi-valued text in the character set of its data set, numbers
// one per line, and the dump of a value cut by the end of the file.
TEST(Inspect, HeaderTextNumbersAndDump) {
    dicom_builder b = with_meta();
    b.explicit_element(0x0008, 0x0005, "CS", "ISO_IR 192")
        .explicit_element(0x0008, 0x0008, "CS", "A\\B\\");
    b.sequence(0x0040, 0xA730).item().explicit_element(0x0008, 0x0005, "CS", "ISO_IR 100");
    b.explicit_element(0x0028, 0x0010, "US", std::string("\x00\x02\x01\x00\x07", 5))
        .item_end()
        .sequence_end();
    b.explicit_element(0x0018, 0x9087, "FD", std::string("\x00\x00\x00\x00\x00\x00\xf8\x3f", 8));
    b.explicit_element(0x0020, 0x5000, "AT", std::string("\x18\x00\x63\x10", 4));
    b.explicit_header(0x7FE0, 0x0010, "OB", 40).raw("0123456789ABCDEFGHIJ");
    const loaded_file file(b.bytes());
    const auto& rows = file.rows;
    const char* begin = file.bytes.data();
    const char* end = begin + file.bytes.size();
    const auto inspect = [&](std::size_t row) {
        const dcm_inspection in(begin, end, rows[row],
                                dcm_character_set_for(begin, end, rows, row));
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < in.line_count(); ++i) lines.push_back(in.line(i, begin, end));
        return lines;
    };
    EXPECT_EQ(inspect(2), (std::vector<std::string>{
                              "Tag: (0008,0008)", "Name: Image Type", "VR: CS", "Length: 4",
                              "Offset: 178, value at 186", "Text in character set ISO_IR 192", "",
                              "[0] A", "[1] B", "[2] "}));
    const auto numbers = inspect(6);  // in the item, whose own character set applies
    EXPECT_EQ(std::vector<std::string>(numbers.begin() + 5, numbers.end()),
              (std::vector<std::string>{"2 numbers", "1 bytes left over after the last number", "",
                                        "[0] 512", "[1] 1"}));
    EXPECT_EQ(inspect(9).back(), "[0] 1.5");
    EXPECT_EQ(inspect(10).back(), "[0] (0018,1063)");
    const auto dump = inspect(11);
    EXPECT_EQ(std::vector<std::string>(dump.begin() + 5, dump.end()),
              (std::vector<std::string>{
                  "Cut by the end of the file: 20 of 40 bytes are there", "20 bytes", "",
                  "       297  30 31 32 33 34 35 36 37  38 39 41 42 43 44 45 46  0123456789ABCDEF",
                  "       313  47 48 49 4A                                       GHIJ"}));
    // A file shrunk since the layout gives what is still there.
    const dcm_inspection in(begin, end, rows[11], "");
    EXPECT_EQ(in.line(in.line_count() - 1, begin, end - 2),
              "       313  47 48                                             GH");
    EXPECT_EQ(dcm_inspection().line(0, nullptr, nullptr), "no element");
}

// ISO 2022 text decodes as the list decodes it: the escapes switch to JIS X 0208
// and back, and the character set is named as the element holds it.
TEST(Inspect, Iso2022TextIsDecodedByTheListsDecoder) {
    dicom_builder b = with_meta();
    b.explicit_element(0x0008, 0x0005, "CS", "\\ISO 2022 IR 87");
    b.explicit_element(
        0x0010, 0x0010, "PN",
        "Yamada^Tarou=\033$B;3ED\033(B^\033$BB@O:\033(B=\033$B$d$^$@\033(B^\033$B$?$m$&\033(B");
    const loaded_file file(b.bytes());
    const char* begin = file.bytes.data();
    const char* end = begin + file.bytes.size();
    const dcm_inspection in(begin, end, file.rows[2],
                            dcm_character_set_for(begin, end, file.rows, 2));
    ASSERT_EQ(in.line_count(), 8u);
    EXPECT_EQ(in.line(5, begin, end), "Text in character set \\ISO 2022 IR 87");
    EXPECT_EQ(in.line(7, begin, end), u8"[0] Yamada^Tarou=山田^太郎=やまだ^たろう");
}

}  // namespace velk
