// The display-request adapter, run under wine: what the list receives for each
// mask bit, with files that exist, change and vanish.
#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "dicom_builder.h"
#include "view/row_text_win.h"

namespace velk {

namespace {

std::wstring temp_path(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name + std::to_wstring(GetCurrentProcessId()) + L".dcm";
}

bool write_file(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == bytes.size();
}

std::wstring ansi_to_wide(const std::string& s) {
    std::wstring w(s.size(), L'\0');
    const int n =
        MultiByteToWideChar(CP_THREAD_ACP, 0, s.data(), int(s.size()), &w[0], int(w.size()));
    w.resize(n > 0 ? n : 0);
    return w;
}

class RowText : public testing::Test {
protected:
    void SetUp() override {
        test::dicom_builder b;
        b.preamble()
            .explicit_element(0x0008, 0x0060, "CS", "MR")
            .sequence(0x0008, 0x1140)
            .item()
            .explicit_element(0x0010, 0x0010, "PN", "Ren\xE9")
            .item_end()
            .sequence_end();
        m_bytes = b.bytes();
        m_path = temp_path(L"velk_row_text_");
        ASSERT_TRUE(write_file(m_path, m_bytes));
        m_rows.load_file(m_path.c_str());
        ASSERT_EQ(m_rows.size(), 6u);
    }
    void TearDown() override { DeleteFileW(m_path.c_str()); }

    dcm_row_source source() { return {m_path.c_str(), &m_rows}; }

    // The text of one cell through a buffer of `capacity` characters, with guard
    // characters behind it.
    std::wstring text(int row, int column, int capacity = 260) {
        std::wstring buffer(capacity + 4, L'#');
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.iSubItem = column;
        item.pszText = &buffer[0];
        item.cchTextMax = capacity;
        EXPECT_TRUE(dcm_row_text(source(), item));
        EXPECT_EQ(buffer.substr(capacity), L"####") << "wrote past cchTextMax";
        return buffer.substr(0, buffer.find(L'\0'));
    }

    std::string m_bytes;
    std::wstring m_path;
    dcm_row_model m_rows;
};

TEST_F(RowText, TextOfEveryColumn) {
    const wchar_t* expected[] = {L"(0008,0060)", L"CS", L"2", L"Modality", L"MR", L"132"};
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(text(0, column), expected[column]) << "column " << column;
    EXPECT_EQ(text(1, 2), L"-1");
    EXPECT_EQ(text(2, 3), L"Item");
}

TEST_F(RowText, EightBitTextIsConvertedWithTheThreadCodePage) {
    EXPECT_EQ(text(3, 4), ansi_to_wide("Ren\xE9"));
}

TEST_F(RowText, TextIsCutToTheBuffer) {
    EXPECT_EQ(text(3, 3, 5), L"Pati");
    EXPECT_EQ(text(3, 3, 1), L"");
}

TEST_F(RowText, ColumnSixGivesNoText) {
    std::wstring buffer(8, L'#');
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iSubItem = 6;
    item.pszText = &buffer[0];
    item.cchTextMax = 8;
    EXPECT_TRUE(dcm_row_text(source(), item));
    EXPECT_EQ(buffer[0], L'\0');
}

TEST_F(RowText, IndentAndImageAsAsked) {
    struct expectation {
        int row, indent, image;
    };
    ASSERT_EQ(m_rows.collapse(2), 2u);  // the item
    const expectation rows[] = {{0, 0, 0}, {1, 0, 1}, {2, 1, 2}, {3, 1, 0}};
    for (const auto& r : rows) {
        LVITEMW item{};
        item.mask = LVIF_INDENT | LVIF_IMAGE;
        item.iItem = r.row;
        item.pszText = nullptr;
        EXPECT_TRUE(dcm_row_text(source(), item));
        EXPECT_EQ(item.iIndent, r.indent) << "row " << r.row;
        EXPECT_EQ(item.iImage, r.image) << "row " << r.row;
    }
}

TEST_F(RowText, FillsOnlyWhatTheMaskAsks) {
    wchar_t buffer[8] = L"keep";
    LVITEMW item{};
    item.mask = LVIF_INDENT;
    item.iItem = 3;
    item.iImage = 77;
    item.pszText = buffer;
    item.cchTextMax = 8;
    EXPECT_TRUE(dcm_row_text(source(), item));
    EXPECT_EQ(item.iIndent, 2);
    EXPECT_EQ(item.iImage, 77);
    EXPECT_STREQ(buffer, L"keep");
}

TEST_F(RowText, NoDocumentAnswersNothing) {
    wchar_t buffer[8] = L"keep";
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_INDENT | LVIF_IMAGE;
    item.iIndent = 5;
    item.pszText = buffer;
    item.cchTextMax = 8;
    dcm_row_source none{nullptr, &m_rows};
    EXPECT_FALSE(dcm_row_text(none, item));
    item.iItem = 6;  // not a row
    EXPECT_FALSE(dcm_row_text(source(), item));
    EXPECT_EQ(item.iIndent, 5);
    EXPECT_STREQ(buffer, L"keep");
}

TEST_F(RowText, CellsFollowTheFileOnDisk) {
    // Rewritten with another value of the same length: the cell shows the new bytes.
    std::string changed = m_bytes;
    changed.replace(changed.find("MR"), 2, "CT");
    ASSERT_TRUE(write_file(m_path, changed));
    EXPECT_EQ(text(0, 4), L"CT");
    // Cut short before the sequence: its cells are empty, the first row's are not.
    ASSERT_TRUE(write_file(m_path, changed.substr(0, 142)));
    EXPECT_EQ(text(0, 4), L"CT");
    EXPECT_EQ(text(1, 0), L"");
    EXPECT_EQ(text(3, 4), L"");
    // Gone: every cell is empty, and the request is still answered.
    ASSERT_TRUE(DeleteFileW(m_path.c_str()));
    EXPECT_EQ(text(0, 0), L"");
    EXPECT_EQ(text(0, 5), L"");
}

}  // namespace

}  // namespace velk
