// A drop of file names, as the shell hands it to a window with WM_DROPFILES.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace velk {

namespace test {

// The receiver frees the block (DragFinish).
inline HDROP MakeDrop(const std::vector<std::wstring>& names) {
    std::size_t chars = 1;  // the list's closing terminator
    for (const std::wstring& n : names) chars += n.size() + 1;
    HGLOBAL memory =
        ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(drop + 1);
    for (const std::wstring& n : names) {
        n.copy(text, n.size());
        text += n.size() + 1;
    }
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

}  // namespace test

}  // namespace velk
