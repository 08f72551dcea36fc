#pragma once
// Status-bar prompts and tooltips from the string table: the string of a command
// identifier is its prompt, a newline, and its tooltip.
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace velk {

// The string that holds the prompt of a menu item: system-menu items
// (0xF000..0xF1EF) use 0xE000 | ((id >> 4) & 0xFFF), window-list items
// (0xFF00..0xFFFD) share 0xEF1F, every other item its own identifier.
UINT PromptStringId(UINT commandId);

// The prompt of a menu item: its string up to the first newline ("" when none).
std::wstring MenuPrompt(UINT commandId);

// The tooltip of a command: the part of its string after the first newline, cut
// to fit a buffer of 80 characters; "" when there is none.
std::wstring ToolTipText(UINT commandId);

// WM_MENUSELECT: shows the highlighted item's prompt in the status bar's simple
// mode; leaves simple mode when the menu closes.
void ShowMenuSelectPrompt(HWND statusBar, WPARAM wParam, LPARAM lParam);

// TTN_GETDISPINFOW for a tool identified by command (not by window): fills the
// request's own buffer with the tooltip of the command.
void FillToolTipText(NMTTDISPINFOW& request);

}  // namespace velk
