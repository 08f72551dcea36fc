// Text onto the clipboard, for Copy Item and Copy Rows.
#pragma once

#include <windows.h>

#include <cstddef>

namespace velk {

// Places `count` UTF-16 characters of `text` on the clipboard as CF_UNICODETEXT:
// one global block of the characters and a terminating zero, owned by the
// clipboard once placed. `owner` opens the clipboard. Answers S_OK; E_FAIL when
// the clipboard cannot be opened (another program holds it), and then the old
// contents stay; E_OUTOFMEMORY when no block can be had, also without touching
// the old contents.
HRESULT CopyTextToClipboard(HWND owner, const wchar_t* text, std::size_t count);

}  // namespace velk
