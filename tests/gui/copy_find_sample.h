// The file that the copy and find tests of the real document window open, and
// ways to find its rows in the list.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "dicom_builder.h"

namespace copytest {

// A part-10 file in explicit VR little endian: file meta information, a UI, the
// modality, a private element (no description), a sequence with an item that
// holds a UI and a nested sequence with one more item (rows at depth 2 and
// deeper), the patient's name and ID, and a 1000-character comment.
inline std::string SampleFile() {
    using test::dicom_builder;
    const std::string uid = std::string("1.2.840.10008.5.1.4.1.1.4") + '\0';  // 26 bytes
    dicom_builder meta;
    meta.transfer_syntax(test::explicit_le_uid());
    dicom_builder nested;
    nested.item()
        .explicit_element(0x0008, 0x1155, "UI", "1.2.3.4.5.6.7.8")  // the deepest row
        .item_end();
    dicom_builder b;
    b.preamble()
        .explicit_element(0x0002, 0x0000, "UL", test::le32(std::uint32_t(meta.size())))
        .raw(meta.bytes())
        .explicit_element(0x0008, 0x0016, "UI", uid)
        .explicit_element(0x0008, 0x0060, "CS", "MR")
        .explicit_element(0x0009, 0x1001, "LO", "ABCD")
        .sequence(0x0008, 0x1140)
        .item()
        .explicit_element(0x0008, 0x1150, "UI", uid)
        .sequence(0x0008, 0x1140)
        .raw(nested.bytes())
        .sequence_end()
        .item_end()
        .sequence_end()
        .explicit_element(0x0010, 0x0010, "PN", "Doe^John")
        .explicit_element(0x0010, 0x0020, "LO", "ID0010")
        .explicit_element(0x0020, 0x4000, "LT", std::string(1000, 'c'));
    return b.bytes();
}

// The first row at or after `from` whose "Tag" cell is `tag`, or -1.
inline int RowOfTag(HWND list, const std::wstring& tag, int from = 0) {
    const int count = int(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = from; row < count; ++row) {
        wchar_t text[260] = {};
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = 260;
        ::SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(row), LPARAM(&item));
        if (tag == text) return row;
    }
    return -1;
}

}  // namespace copytest
