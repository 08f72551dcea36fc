// The element list over files that are not simple: real files nobody here wrote,
// names outside the ANSI code page, deep nesting, and files that change, shrink,
// vanish or are damaged while documents show them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dicom_builder.h"
#include "parse/mapping.h"
#include "present/row_model.h"
#include "view_test_support.h"

namespace velk {

namespace {

using namespace viewtest;
using test::dicom_builder;

const wchar_t* const kPydicomFiles =
    L"Z:\\usr\\lib\\python3\\dist-packages\\pydicom\\data\\test_files\\";

std::string small_file() {
    dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    b.explicit_element(0x0008, 0x0060, "CS", "MR");
    b.sequence(0x0008, 0x1140).item().explicit_element(0x0008, 0x1150, "UI", "1.23");
    b.item_end().sequence_end();
    b.explicit_element(0x0010, 0x0010, "PN", "Doe^");
    return b.bytes();
}

// Rows whose icon a click toggles, found by their image.
std::vector<int> container_rows(HWND list) {
    std::vector<int> rows;
    for (int row = 0; row < ItemCount(list); ++row)
        if (ReadCell(list, row, 0).image != 0) rows.push_back(row);
    return rows;
}

class FilesTest : public DocumentsTest {};

TEST_F(FilesTest, NamesOutsideTheAnsiCodePageOpen) {
    for (const std::wstring& name :
         {std::wstring(
              L"\u03b1\u03ba\u03c4\u03b9\u03bd\u03bf\u03b3\u03c1\u03b1\u03c6\u03af\u03b1.dcm"),
          std::wstring(L"\u80f8\u90e8\u64ae\u5f71.dcm")}) {
        HWND document = OpenBytes(name, small_file());
        EXPECT_EQ(ItemCount(ListOf(document)), 8) << "the file must open by its wide name";
        EXPECT_EQ(TextOf(document), name);
        EXPECT_EQ(ReadCell(ListOf(document), 1, 4).text, L"MR");  // cell texts open it again
        ClickIcon(ListOf(document), 2);
        ClickIcon(ListOf(document), 2);  // and so does an expand
        EXPECT_EQ(ItemCount(ListOf(document)), 8);
    }
}

TEST_F(FilesTest, ARealStructuredReportCollapsesAndExpandsBackToItsLoad) {
    const std::wstring path = std::wstring(kPydicomFiles) + L"test-SR.dcm";
    dcm_row_model rows;
    rows.load_file(path.c_str());
    if (rows.size() == 0) GTEST_SKIP() << "pydicom's test files are not installed";

    HWND list = ListOf(Open(path));
    ASSERT_EQ(ItemCount(list), static_cast<int>(rows.size()));
    EXPECT_EQ(ReadRow(list, 0),
              (std::vector<std::wstring>{L"(0002,0000)", L"UL", L"4", L"Group 0002 Length",
                                         ReadCell(list, 0, 4).text, L"132"}));
    const std::vector<std::wstring> loaded = ReadAll(list);
    const std::vector<int> containers = container_rows(list);
    ASSERT_GE(containers.size(), 100u);
    // Each top-level container, then every container, from the last up so that
    // the rows above keep their numbers.
    for (auto it = containers.rbegin(); it != containers.rend(); ++it) {
        ClickIcon(list, *it);
        EXPECT_EQ(ReadCell(list, *it, 0).image, 2);
    }
    EXPECT_LT(ItemCount(list), static_cast<int>(rows.size()) / 4);
    for (int row = ItemCount(list) - 1; row >= 0; --row)
        if (ReadCell(list, row, 0).image == 2) ClickIcon(list, row);
    EXPECT_EQ(ReadAll(list), loaded);
}

TEST_F(FilesTest, ImplicitDataSetsExpandToTheRowsOfTheLoad) {
    dicom_builder b;
    b.preamble().transfer_syntax(test::implicit_le_uid());
    b.implicit_header(0x0008, 0x1140, test::undefined).item();
    b.implicit_element(0x0008, 0x1150, "1.23");
    b.implicit_header(0x0040, 0xA730, test::undefined)
        .item(12)
        .implicit_element(0x0040, 0xA040, "TEXT");
    b.sequence_end().item_end().sequence_end();
    b.implicit_element(0x0010, 0x0010, "Doe^");
    HWND list = ListOf(OpenBytes(L"implicit.dcm", b.bytes()));
    const std::vector<std::wstring> loaded = ReadAll(list);
    ASSERT_EQ(container_rows(list), (std::vector<int>{1, 2, 4, 5}));
    for (int row : {5, 1}) ClickIcon(list, row);
    EXPECT_EQ(ItemCount(list), 3);
    ClickIcon(list, 1);
    EXPECT_EQ(ReadAll(list), loaded);
}

TEST_F(FilesTest, DeepNestingIndentsByTheWrappedDepthAndCollapsesWhole) {
    dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    for (int i = 0; i < 20; ++i) {
        if (i % 2 == 0)
            b.sequence(0x0040, 0xA730);
        else
            b.item().explicit_element(0x0040, 0xA040, "CS", "TEXT");
    }
    for (int i = 19; i >= 0; --i) {
        if (i % 2 == 0)
            b.sequence_end();
        else
            b.explicit_element(0x0040, 0xA160, "UT", "after").item_end();
    }
    b.explicit_element(0x0010, 0x0010, "PN", "Doe^");
    HWND list = ListOf(OpenBytes(L"deep.dcm", b.bytes()));
    const std::vector<std::wstring> loaded = ReadAll(list);
    // Row 1 is the outer sequence at level 0; the rows at level 16 show indent 0.
    bool wrapped = false;
    for (int row = 2; row < ItemCount(list) - 1; ++row)
        wrapped |= ReadCell(list, row, 0).indent == 0;
    EXPECT_TRUE(wrapped);

    ClickIcon(list, 1);
    EXPECT_EQ(ItemCount(list), 3);
    ClickIcon(list, 1);
    EXPECT_EQ(ReadAll(list), loaded);
}

// ----------------------------------------------- the file changes under a document

class ChangedFileTest : public DocumentsTest {
protected:
    void SetUp() override {
        DocumentsTest::SetUp();
        m_path = RunFolder() + L"changing.dcm";
        ASSERT_TRUE(WriteFile(m_path, small_file()));
        m_list = ListOf(Open(m_path));
        m_loaded = ReadAll(m_list);
        ClickIcon(m_list, 2);  // the sequence
        ASSERT_EQ(ItemCount(m_list), 4);
    }

    std::wstring m_path;
    HWND m_list = nullptr;
    std::vector<std::wstring> m_loaded;
};

TEST_F(ChangedFileTest, AVanishedFileExpandsToNothingAndComesBackLater) {
    ASSERT_TRUE(::DeleteFileW(m_path.c_str()));
    ClickIcon(m_list, 2);
    EXPECT_EQ(ItemCount(m_list), 4);
    EXPECT_EQ(ReadCell(m_list, 2, 0).image, 1);   // expanded, with nothing the file still holds
    EXPECT_EQ(ReadCell(m_list, 2, 0).text, L"");  // no file, no tag
    EXPECT_EQ(ReadCell(m_list, 2, 5).text, L"");

    ASSERT_TRUE(WriteFile(m_path, small_file()));
    ClickIcon(m_list, 2);
    ClickIcon(m_list, 2);
    EXPECT_EQ(ReadAll(m_list), m_loaded);
}

TEST_F(ChangedFileTest, AShrunkFileExpandsToTheRowsItStillHolds) {
    const std::string bytes = small_file();
    ASSERT_TRUE(WriteFile(m_path, bytes.substr(0, bytes.size() - 30)));
    ClickIcon(m_list, 2);
    const int shown = ItemCount(m_list);
    EXPECT_GT(shown, 4);
    EXPECT_LT(shown, 8);
    for (int row = 0; row < shown; ++row) ReadRow(m_list, row);  // every cell answers
    ClickIcon(m_list, 2);
    EXPECT_EQ(ItemCount(m_list), 4);
}

TEST_F(ChangedFileTest, ADifferentElementAtTheOffsetExpandsToNothing) {
    std::string bytes = small_file();
    bytes.replace(bytes.find("SQ"), 2, "LQ");
    ASSERT_TRUE(WriteFile(m_path, bytes));
    ClickIcon(m_list, 2);
    EXPECT_EQ(ItemCount(m_list), 4);
    ClickIcon(m_list, 2);
    EXPECT_EQ(ItemCount(m_list), 4);
}

// Whether the file at `path` can be cut to nothing now. Others may write, rename
// and delete a mapped file, but no one can make it shorter while a view of it is
// mapped: that is what shows whether velk still holds one.
bool CanTruncate(const std::wstring& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

TEST_F(FilesTest, NoMappingOutlivesAPaint) {
    const std::wstring held = RunFolder() + L"held.dcm";
    ASSERT_TRUE(WriteFile(held, small_file()));
    {
        const dcm_file_mapping mapping(held.c_str());
        ASSERT_TRUE(mapping.is_open());
        EXPECT_FALSE(CanTruncate(held));
    }
    std::string unmarked = small_file();
    unmarked[128] = 'X';
    for (const std::string& bytes : {small_file(), unmarked}) {
        const std::wstring path = RunFolder() + L"painted.dcm";
        ASSERT_TRUE(WriteFile(path, bytes));
        HWND list = ListOf(Open(path));
        ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_TRUE(CanTruncate(path)) << ItemCount(list) << " rows";
        ::DeleteFileW(path.c_str());
        CloseDocuments();
    }
}

TEST_F(FilesTest, ADamagedFileLeavesTheOtherDocumentsAlone) {
    HWND good = OpenBytes(L"good.dcm", small_file());
    const std::vector<std::wstring> before = ReadAll(ListOf(good));

    // Lengths that point far past the end; nesting without end around an
    // unterminated pixel data element; noise after the marker.
    dicom_builder overlong;
    overlong.preamble().transfer_syntax(test::explicit_le_uid());
    overlong.explicit_header(0x0008, 0x0060, "UT", 0x7FFFFFF0).raw("ab");
    dicom_builder nest;
    nest.preamble();
    for (int i = 0; i < 5000; ++i) nest.item();
    nest.explicit_header(0x7FE0, 0x0010, "OB", test::undefined).item(0x40000000);
    std::string noise = std::string(128, 'x') + "DICM";
    unsigned state = 12345;
    for (int i = 0; i < 4000; ++i) noise += char((state = state * 1103515245u + 12345u) >> 16);

    for (const std::string& bytes : {overlong.bytes(), nest.bytes(), noise}) {
        HWND list = ListOf(OpenBytes(L"damaged.dcm", bytes));
        for (int row = 0; row < ItemCount(list) && row < 200; ++row) ReadRow(list, row);
        const std::vector<int> containers = container_rows(list);
        for (std::size_t i = 0; i < containers.size() && i < 20; ++i) {
            ClickIcon(list, containers[i]);  // collapse and expand again
            ClickIcon(list, containers[i]);
        }
    }
    EXPECT_EQ(ReadAll(ListOf(good)), before);
}

}  // namespace

}  // namespace velk
