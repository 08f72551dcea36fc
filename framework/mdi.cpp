#include "mdi.h"

#include <cwchar>

namespace velk {

HMENU FindWindowMenu(HMENU menuBar)
{
    if (!menuBar)
        return nullptr;
    const int count = ::GetMenuItemCount(menuBar);
    if (count < 2)
        return nullptr;
    const int position = count - 2;
    HMENU popup = ::GetSubMenu(menuBar, position);
    if (!popup)
        return nullptr;
    wchar_t text[16] = {};
    ::GetMenuStringW(menuBar, static_cast<UINT>(position), text, 16, MF_BYPOSITION);
    return std::wcscmp(text, L"&Window") == 0 ? popup : nullptr;
}

UINT RestoreFrameMenuMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"velk.framework.RestoreFrameMenu");
    return message;
}

}  // namespace velk
