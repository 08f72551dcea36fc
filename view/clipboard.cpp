#include "view/clipboard.h"

#include <cstdint>
#include <cstring>

namespace velk {

namespace {

// A shared global block holding the text and its terminator, or null. A null
// text is an empty one.
HGLOBAL TextBlock(const wchar_t* text, std::size_t count) {
    if (!text) count = 0;
    if (count > (SIZE_MAX - sizeof(wchar_t)) / sizeof(wchar_t)) return nullptr;
    HGLOBAL block = ::GlobalAlloc(GMEM_DDESHARE, sizeof(wchar_t) * count + sizeof(wchar_t));
    if (!block) return nullptr;
    auto* characters = static_cast<wchar_t*>(::GlobalLock(block));
    if (!characters) {
        ::GlobalFree(block);
        return nullptr;
    }
    if (count) std::memcpy(characters, text, sizeof(wchar_t) * count);
    characters[count] = L'\0';
    ::GlobalUnlock(block);
    return block;
}

}  // namespace

HRESULT CopyTextToClipboard(HWND owner, const wchar_t* text, std::size_t count) {
    if (!::OpenClipboard(owner)) return E_FAIL;
    // The block is made before the clipboard is emptied, so that a copy that
    // cannot get memory leaves the old contents rather than nothing.
    HGLOBAL block = TextBlock(text, count);
    if (!block) {
        ::CloseClipboard();
        return E_OUTOFMEMORY;
    }
    ::EmptyClipboard();
    // Placed, the block is the clipboard's; refused, it is still ours.
    if (!::SetClipboardData(CF_UNICODETEXT, block)) ::GlobalFree(block);
    ::CloseClipboard();
    return S_OK;
}

}  // namespace velk
