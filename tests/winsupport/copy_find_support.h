// What the copy and find tests share: the file the document windows open, its
// rows found by tag, and the clipboard read and written the ordinary way.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "dicom_builder.h"

namespace velk {

namespace copytest {

// A part-10 file in explicit VR little endian: file meta information, a UI, the
// modality, a private element (no description), a sequence with an item that
// holds a UI and a nested sequence with one more item (rows at depth 2 and
// deeper), the patient's name and ID, 60 private fillers, so that the last row
// lies below the first page, and a 1000-character comment.
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
        .explicit_element(0x0010, 0x0020, "LO", "ID0010");
    for (std::uint16_t i = 0; i < 60; ++i)
        b.explicit_element(0x0029, std::uint16_t(0x1000 + i), "LO", "fill");
    b.explicit_element(0x0020, 0x4000, "LT", std::string(1000, 'c'));
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

// The clipboard's text; "<no text>" when it holds none.
inline std::wstring ClipboardText() {
    std::wstring text = L"<no text>";
    if (!::OpenClipboard(nullptr)) return L"<clipboard busy>";
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* characters = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = characters;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

inline bool PutOnClipboard(const std::wstring& text) {
    if (!::OpenClipboard(nullptr)) return false;
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    bool placed = false;
    if (auto* characters = static_cast<wchar_t*>(::GlobalLock(block))) {
        text.copy(characters, text.size());
        characters[text.size()] = L'\0';
        ::GlobalUnlock(block);
        placed = ::SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    }
    if (!placed && block) ::GlobalFree(block);
    ::CloseClipboard();
    return placed;
}

}  // namespace copytest

}  // namespace velk
