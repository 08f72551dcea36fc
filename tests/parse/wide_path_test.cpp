// Windows only: a file whose name lies outside the ANSI code page opens by its
// wide path.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "dicom_builder.h"
#include "parse/file.h"
#include "parse/mapping.h"
#include "recording_visitor.h"

namespace velk {

namespace {

std::wstring temp_folder() {
    const std::string narrow = ::testing::TempDir();
    return std::wstring(narrow.begin(), narrow.end());
}

TEST(WidePath, GreekAndJapaneseNamesOpen) {
    const std::string bytes =
        test::dicom_builder().preamble().explicit_element(0x0008, 0x0060, "CS", "MR").bytes();
    for (const wchar_t* name : {L"\x03b1\x03c1\x03c7\x03b5\x03af\x03bf.dcm", L"\x753b\x50cf.dcm"}) {
        const std::wstring path = temp_folder() + name;
        std::FILE* f = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);

        EXPECT_EQ(dcm_file_mapping(path.c_str()).size(), bytes.size());
        test::recording_visitor v;
        dcm_load_file(path.c_str(), v);
        EXPECT_EQ(v.events.size(), 2u) << "base and one element";
        _wremove(path.c_str());
    }
}

}  // namespace

}  // namespace velk
