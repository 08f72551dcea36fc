#include "menu_prompts.h"

#include <commctrl.h>

#include <algorithm>

#include "bars.h"
#include "module.h"

namespace velk {

namespace {

constexpr UINT kFirstSystemCommand = 0xF000;
constexpr UINT kLastSystemCommand = 0xF1EF;
constexpr UINT kFirstWindowListItem = 0xFF00;
constexpr UINT kLastWindowListItem = 0xFFFD;
constexpr UINT kWindowListPrompt = 0xEF1F;
constexpr int kStringBuffer = 256;  // strings are loaded up to 255 characters
constexpr size_t kToolTipBuffer = 80;

std::wstring LoadCommandString(UINT stringId) {
    if (stringId == 0) return std::wstring();
    wchar_t text[kStringBuffer] = {};
    const int length =
        ::LoadStringW(GetAppModule().GetResourceInstance(), stringId, text, kStringBuffer);
    return std::wstring(text, length > 0 ? static_cast<size_t>(length) : 0);
}

}  // namespace

UINT PromptStringId(UINT commandId) {
    if (commandId >= kFirstSystemCommand && commandId <= kLastSystemCommand)
        return 0xE000 | ((commandId >> 4) & 0xFFF);
    if (commandId >= kFirstWindowListItem && commandId <= kLastWindowListItem)
        return kWindowListPrompt;
    return commandId;
}

std::wstring MenuPrompt(UINT commandId) {
    const std::wstring text = LoadCommandString(PromptStringId(commandId));
    return text.substr(0, text.find(L'\n'));
}

std::wstring ToolTipText(UINT commandId) {
    const std::wstring text = LoadCommandString(commandId);
    const size_t newline = text.find(L'\n');
    if (newline == std::wstring::npos) return std::wstring();
    return text.substr(newline + 1, kToolTipBuffer - 1);
}

void ShowMenuSelectPrompt(HWND statusBar, WPARAM wParam, LPARAM lParam) {
    if (!statusBar) return;
    const UINT flags = HIWORD(wParam);
    if (flags == 0xFFFF && lParam == 0) {  // the menu has closed
        LeaveStatusPrompt(statusBar);
        return;
    }
    // A popup or a separator has no command, and so no prompt.
    const bool hasCommand = !(flags & (MF_POPUP | MF_SEPARATOR));
    const std::wstring prompt = hasCommand ? MenuPrompt(LOWORD(wParam)) : std::wstring();
    ShowStatusPrompt(statusBar, prompt.c_str());
}

void FillToolTipText(NMTTDISPINFOW& request) {
    const std::wstring text = ToolTipText(static_cast<UINT>(request.hdr.idFrom));
    const size_t length = std::min(text.size(), kToolTipBuffer - 1);
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length), request.szText);
    request.szText[length] = L'\0';
    request.lpszText = request.szText;
    request.hinst = nullptr;
}

}  // namespace velk
