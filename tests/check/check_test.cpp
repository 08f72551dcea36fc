// The check, one small byte-built file per rule: a sound object to start from,
// one fault put in, and the findings (kind and tag, in file order) it must give.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "check/check.h"
#include "dicom_builder.h"

namespace velk {

namespace {

using test::dicom_builder;
using test::le16;
using test::le32;

struct element {
    std::uint16_t group, number;
    std::string vr, value;
};

// A sound file: the meta group and the attributes the check asks of every object.
struct object {
    std::vector<element> meta = {
        {0x0002, 0x0001, "OB", std::string("\0\x01", 2)},
        {0x0002, 0x0002, "UI", std::string("1.2.840.10008.5.1.4.1.1.7\0", 26)},
        {0x0002, 0x0003, "UI", "1.2.3.4.5.6"},
        {0x0002, 0x0010, "UI", std::string("1.2.840.10008.1.2.1\0", 20)},
    };
    std::vector<element> data = {
        {0x0008, 0x0016, "UI", std::string("1.2.840.10008.5.1.4.1.1.7\0", 26)},
        {0x0008, 0x0018, "UI", "1.2.3.4.5.6"},
        {0x0008, 0x0020, "DA", "20240101"},
        {0x0008, 0x0030, "TM", "120000"},
        {0x0008, 0x0050, "SH", ""},
        {0x0008, 0x0060, "CS", "OT"},
        {0x0008, 0x0090, "PN", ""},
        {0x0010, 0x0010, "PN", "Doe^Jane"},
        {0x0010, 0x0020, "LO", "ID01"},
        {0x0010, 0x0030, "DA", ""},
        {0x0010, 0x0040, "CS", "F "},
        {0x0020, 0x000D, "UI", "1.2.3.4.7"},
        {0x0020, 0x000E, "UI", "1.2.3.4.8"},
        {0x0020, 0x0010, "SH", "1 "},
        {0x0020, 0x0011, "IS", "1 "},
    };
    std::string tail;                  // raw bytes after the data set
    long long group_length_delta = 0;  // added to the true (0002,0000)

    void remove(std::uint16_t group, std::uint16_t number) {
        for (auto* list : {&meta, &data})
            for (auto it = list->begin(); it != list->end(); ++it)
                if (it->group == group && it->number == number) {
                    list->erase(it);
                    return;
                }
    }
    void set(std::uint16_t group, std::uint16_t number, std::string vr, std::string value) {
        auto& list = group == 2 ? meta : data;
        auto it = list.begin();
        while (it != list.end() &&
               (it->group < group || (it->group == group && it->number < number)))
            ++it;
        if (it != list.end() && it->group == group && it->number == number)
            *it = {group, number, std::move(vr), std::move(value)};
        else
            list.insert(it, {group, number, std::move(vr), std::move(value)});
    }

    // Values are written padded to even length, a UID with a NUL.
    static std::string padded(const element& e) {
        if (e.value.size() % 2 == 0) return e.value;
        return e.value + (e.vr == "UI" ? '\0' : ' ');
    }

    std::string bytes() const {
        dicom_builder meta_group;
        for (const element& e : meta)
            meta_group.explicit_element(e.group, e.number, e.vr, padded(e));
        dicom_builder b;
        b.preamble().explicit_element(0x0002, 0x0000, "UL",
                                      le32(std::uint32_t(meta_group.size() + group_length_delta)));
        b.raw(meta_group.bytes());
        for (const element& e : data) b.explicit_element(e.group, e.number, e.vr, padded(e));
        return b.raw(tail).bytes();
    }
};

void image_pixel(object& o, std::uint16_t samples, const char* photometric,
                 std::uint32_t pixel_bytes) {
    o.set(0x0028, 0x0002, "US", le16(samples));
    o.set(0x0028, 0x0004, "CS", photometric);
    o.set(0x0028, 0x0010, "US", le16(4));
    o.set(0x0028, 0x0011, "US", le16(4));
    o.set(0x0028, 0x0100, "US", le16(8));
    o.set(0x0028, 0x0101, "US", le16(8));
    o.set(0x0028, 0x0102, "US", le16(7));
    o.set(0x0028, 0x0103, "US", le16(0));
    o.set(0x7FE0, 0x0010, "OB", std::string(pixel_bytes, '\0'));
}

using found = std::pair<std::string, std::uint32_t>;  // kind name, tag

std::vector<found> findings_of(const std::string& bytes,
                               dcm_reading reading = dcm_reading::standard) {
    dcm_row_model rows(reading);
    const dcm_bytes file{bytes.data(), bytes.data() + bytes.size()};
    rows.load(file);
    std::vector<found> out;
    for (const dcm_finding& f : dcm_check(rows, file).list)
        out.emplace_back(dcm_check_kind_name(f.kind), f.tag);
    return out;
}

struct check_case {
    const char* name;
    std::function<void(object&)> fault;
    std::vector<found> expected;
};

const check_case cases[] = {
    {"sound", [](object&) {}, {}},
    {"odd_length",
     [](object& o) {
         o.tail = dicom_builder().explicit_element(0x0040, 0x0254, "LO", "ABC").bytes();
     },
     {{"length", 0x00400254}}},
    {"order", [](object& o) { std::swap(o.data[2], o.data[3]); }, {{"order", 0x00080020}}},
    {"duplicate",
     [](object& o) { o.data.insert(o.data.begin() + 8, o.data[8]); },
     {{"duplicate", 0x00100020}}},
    {"group_length",
     [](object& o) {
         o.data.insert(o.data.begin(), {0x0008, 0x0000, "UL", le32(10)});
     },
     {{"retired", 0x00080000}, {"group-length", 0x00080000}}},
    {"meta_group_length", [](object& o) { o.group_length_delta = 2; }, {{"meta", 0x00020000}}},
    {"meta_missing", [](object& o) { o.remove(0x0002, 0x0003); }, {{"meta", 0x00020003}}},
    {"meta_version",
     [](object& o) { o.meta[0].value = std::string("\x01\0", 2); },
     {{"meta", 0x00020001}}},
    {"meta_class_differs",
     [](object& o) { o.meta[1].value = "1.2.840.10008.5.1.4.1.1.2"; },
     {{"meta", 0x00020002}}},
    {"syntax_unknown", [](object& o) { o.meta[3].value = "1.2.3.4"; }, {{"syntax", 0x00020010}}},
    {"private_without_creator",
     [](object& o) {
         o.set(0x0009, 0x1010, "LO", "X ");
         o.set(0x0009, 0x1011, "LO", "Y ");
     },
     {{"private", 0x00091010}}},
    {"private_with_creator",
     [](object& o) {
         o.set(0x0009, 0x0010, "LO", "ACME");
         o.set(0x0009, 0x1010, "LO", "X ");
     },
     {}},
    {"retired", [](object& o) { o.set(0x0008, 0x0001, "UL", le32(0)); }, {{"retired", 0x00080001}}},
    {"required_missing", [](object& o) { o.remove(0x0008, 0x0060); }, {{"required", 0x00080060}}},
    {"required_empty",
     [](object& o) { o.set(0x0020, 0x000D, "UI", ""); },
     {{"required", 0x0020000D}}},
    {"value_date",
     [](object& o) { o.set(0x0008, 0x0020, "DA", "2004.01.19"); },
     {{"value", 0x00080020}}},
    {"value_time",
     [](object& o) { o.set(0x0008, 0x0030, "TM", "14:04:38"); },
     {{"value", 0x00080030}}},
    {"value_uid_leading_zero",
     [](object& o) { o.set(0x0020, 0x000E, "UI", "1.2.03"); },
     {{"value", 0x0020000E}}},
    {"value_uid_zeros",
     [](object& o) { o.set(0x0020, 0x000E, "UI", "0.0"); },
     {{"value", 0x0020000E}}},
    {"value_uid_root",
     [](object& o) { o.set(0x0020, 0x000E, "UI", "9.8.7.6"); },
     {{"value", 0x0020000E}}},
    {"value_too_long",
     [](object& o) { o.set(0x0018, 0x0050, "DS", "1.23456789012345678"); },
     {{"value", 0x00180050}}},
    {"value_not_a_number",
     [](object& o) { o.set(0x0018, 0x0050, "DS", "1.2.3"); },
     {{"value", 0x00180050}}},
    {"value_sound_numbers", [](object& o) { o.set(0x0028, 0x0030, "DS", " -1.5E+3\\.5 "); }, {}},
    {"value_binary_size",
     [](object& o) { o.set(0x0018, 0x9087, "FD", std::string(12, '\0')); },
     {{"value", 0x00189087}}},
    {"value_uid_padded_with_space",
     [](object& o) { o.set(0x0020, 0x000E, "UI", "1.2.34.89 "); },
     {{"value", 0x0020000E}}},
    {"vr", [](object& o) { o.set(0x0010, 0x0010, "LO", "Doe^Jane"); }, {{"vr", 0x00100010}}},
    {"vr_of_several", [](object& o) { o.set(0x0028, 0x0106, "SS", le16(0)); }, {}},
    {"vm", [](object& o) { o.set(0x0028, 0x0030, "DS", "1\\2\\3"); }, {{"vm", 0x00280030}}},
    {"image_pixel_sound", [](object& o) { image_pixel(o, 1, "MONOCHROME2", 16); }, {}},
    {"pixel_length",
     [](object& o) { image_pixel(o, 1, "MONOCHROME2", 20); },
     {{"pixel", 0x7FE00010}}},
    {"pixel_high_bit",
     [](object& o) {
         image_pixel(o, 1, "MONOCHROME2", 16);
         o.set(0x0028, 0x0102, "US", le16(11));
     },
     {{"pixel", 0x00280102}}},
    {"pixel_samples_and_planar",
     [](object& o) { image_pixel(o, 3, "MONOCHROME2", 48); },
     {{"pixel", 0x00280002}, {"pixel", 0x00280006}}},
    {"image_pixel_required",
     [](object& o) {
         image_pixel(o, 1, "MONOCHROME2", 16);
         o.remove(0x0028, 0x0103);
     },
     {{"required", 0x00280103}}},
    {"item_length",
     [](object& o) {
         // An item that says 8 bytes and holds an 18-byte element.
         const std::string inner =
             dicom_builder()
                 .explicit_element(0x0008, 0x1150, "UI", std::string("1.2.3.4.5\0", 10))
                 .bytes();
         o.tail = dicom_builder()
                      .sequence(0x0040, 0x0275, 8 + std::uint32_t(inner.size()))
                      .item(8)
                      .raw(inner)
                      .bytes();
     },
     {{"item-length", 0xFFFEE000}}},
    {"damage",
     [](object& o) {
         o.tail = dicom_builder().explicit_header(0x0040, 0x0254, "LO", 40).raw("ab").bytes();
     },
     {{"damage", 0x00400254}}},
    {"offset_table",
     [](object& o) {
         image_pixel(o, 1, "MONOCHROME2", 0);
         o.remove(0x7FE0, 0x0010);
         o.meta[3].value = std::string("1.2.840.10008.1.2.4.50\0", 24);
         // The table says the second frame is at 6; it is at 12 (8 + 4).
         o.tail = dicom_builder()
                      .explicit_header(0x7FE0, 0x0010, "OB", test::undefined)
                      .item(8)
                      .raw(le32(0) + le32(6))
                      .item(4)
                      .raw("abcd")
                      .item(4)
                      .raw("efgh")
                      .sequence_end()
                      .bytes();
     },
     {{"pixel", 0xFFFEE000}}},
};

class CheckCase : public testing::TestWithParam<check_case> {};

TEST_P(CheckCase, GivesItsFindingsInBothReadings) {
    object o;
    GetParam().fault(o);
    EXPECT_EQ(findings_of(o.bytes()), GetParam().expected);
    EXPECT_EQ(findings_of(o.bytes(), dcm_reading::interpret), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, CheckCase, testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Check, AFindingSaysWhatIsWrongAtTheElementsOffset) {
    object o;
    o.data.insert(o.data.begin(), {0x0008, 0x0000, "UL", le32(10)});
    const std::string bytes = o.bytes();
    dcm_row_model rows;
    const dcm_bytes file{bytes.data(), bytes.data() + bytes.size()};
    rows.load(file);
    const dcm_findings findings = dcm_check(rows, file);
    ASSERT_EQ(findings.list.size(), 2u);
    const dcm_finding& f = findings.list[1];
    EXPECT_EQ(f.severity, dcm_severity::error);
    EXPECT_EQ(f.offset, bytes.find(std::string("\x08\0\0\0UL", 6)));
    EXPECT_NE(findings.message(f).find("Group 0008 length says 10 bytes, the group holds"),
              std::string::npos)
        << findings.message(f);
    EXPECT_TRUE(findings.has_errors());
}

// The sentences made from a finding's numbers when read, and those held as
// text, read the same from a copy that outlives the check's own list.
TEST(Check, SentencesReadTheSameFromACopyOfTheFindings) {
    object o;
    std::swap(o.data[2], o.data[3]);                                                 // order
    o.data.insert(o.data.begin() + 9, o.data[8]);                                    // duplicate
    o.set(0x0008, 0x0001, "UL", le32(0));                                            // retired
    o.set(0x0009, 0x1010, "LO", "AB");                                               // private
    o.set(0x0020, 0x000D, "UI", "1.2.3.4.7 ");                                       // padding
    o.set(0x0028, 0x0030, "DS", "1\\2\\3");                                          // vm
    o.tail = dicom_builder().explicit_element(0x0040, 0x0254, "LO", "ABC").bytes();  // odd
    o.remove(0x0010, 0x0040);  // a sentence held as text
    const std::string bytes = o.bytes();
    const dcm_bytes file{bytes.data(), bytes.data() + bytes.size()};
    dcm_findings copy;
    std::vector<std::string> said;
    {
        dcm_row_model rows;
        rows.load(file);
        const dcm_findings found = dcm_check(rows, file);
        for (const dcm_finding& f : found.list) said.push_back(found.message(f));
        copy = found;
    }
    ASSERT_EQ(copy.list.size(), said.size());
    for (std::size_t i = 0; i < said.size(); ++i) EXPECT_EQ(copy.message(copy.list[i]), said[i]);
    for (const char* sentence : {
             "(0008,0001) Length to End is retired",
             "(0008,0020) comes after (0008,0030); tags ascend within a data set or item",
             "(0010,0020) appears a second time in the same data set or item",
             "Private element (0009,1010) has no private creator (0009,0010) in its data set or "
             "item (nor do the block's elements after it)",
             "UI value is padded with a space; UI is padded with NUL",
             "(0028,0030) Pixel Spacing holds 3 values; the dictionary's multiplicity is 2",
             "Value length 3 is odd; every value has an even length",
             "(0010,0040) Patient's Sex (Type 2, Patient module) is missing",
         })
        EXPECT_NE(std::find(said.begin(), said.end(), sentence), said.end()) << sentence;
}

TEST(Check, DeclaredExplicitButWrittenImplicitIsASyntaxError) {
    object o;
    o.data.clear();
    o.tail = dicom_builder().implicit_element(0x0008, 0x0016, "1.2.840.10008.5.1.4.1.1.7").bytes();
    const std::vector<found> got = findings_of(o.bytes());
    EXPECT_NE(std::find(got.begin(), got.end(), found{"syntax", 0x00020010}), got.end());
}

// Every real file pydicom ships, in both readings: findings lie within the file
// and are in file order, and the plainest files have none.
TEST(Check, RealFilesGiveFindingsWithinTheirBytesInFileOrder) {
    const std::filesystem::path data = VELK_PYDICOM_DATA;
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(data)) {
        if (!entry.is_regular_file()) continue;
        for (const dcm_reading reading : {dcm_reading::standard, dcm_reading::interpret}) {
            dcm_row_model rows(reading);
            const dcm_file_mapping mapping(entry.path().c_str());
            const dcm_bytes file = dcm_bytes::of(mapping);
            rows.load(file);
            const dcm_findings findings = dcm_check(rows, file);
            std::size_t last_row = 0;
            for (const dcm_finding& f : findings.list) {
                if (!f.inflated) {
                    EXPECT_LE(f.offset, std::uint64_t(file.end - file.begin)) << entry.path();
                }
                EXPECT_GE(f.row, last_row) << entry.path();
                last_row = f.row;
            }
            if (entry.path().filename() == "CT_small.dcm") {
                EXPECT_TRUE(findings.list.empty()) << findings.message(findings.list[0]);
            }
        }
        ++files;
    }
    EXPECT_GT(files, 50);
}

}  // namespace

}  // namespace velk
