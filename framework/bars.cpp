#include "bars.h"

#include <commctrl.h>

#include "module.h"

namespace velk {

namespace {

constexpr WORD kToolBarResourceVersion = 1;
const wchar_t* const kToolBarResourceType = MAKEINTRESOURCEW(241);
// Toolbar buttons are their image plus this margin in each direction.
constexpr int kButtonMargin = 7;

HMENU ChildId(UINT id) { return reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)); }

WORD ReadWord(const unsigned char* bytes, std::size_t index) {
    return static_cast<WORD>(bytes[2 * index] | (bytes[2 * index + 1] << 8));
}

bool LoadToolBarResource(UINT resourceId, ToolBarResource& out) {
    HINSTANCE instance = GetAppModule().GetResourceInstance();
    HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(resourceId), kToolBarResourceType);
    if (!found) return false;
    HGLOBAL loaded = ::LoadResource(instance, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    return data && ParseToolBarResource(data, ::SizeofResource(instance, found), out);
}

std::vector<TBBUTTON> ButtonsOf(const ToolBarResource& resource, bool initialSeparator,
                                int& imageCount) {
    std::vector<TBBUTTON> buttons;
    auto separator = [] {
        TBBUTTON button{};
        button.fsStyle = BTNS_SEP;
        return button;
    };
    if (initialSeparator) buttons.push_back(separator());
    imageCount = 0;
    for (WORD command : resource.items) {
        if (command == 0) {
            buttons.push_back(separator());
            continue;
        }
        TBBUTTON button{};
        button.iBitmap = imageCount++;
        button.idCommand = command;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON;
        buttons.push_back(button);
    }
    return buttons;
}

bool IsToolBarWithButtons(HWND window) { return ::SendMessageW(window, TB_BUTTONCOUNT, 0, 0) > 0; }

void MeasureBand(HWND child, REBARBANDINFOW& band) {
    if (IsToolBarWithButtons(child)) {
        const int count = static_cast<int>(::SendMessageW(child, TB_BUTTONCOUNT, 0, 0));
        RECT first{}, last{};
        ::SendMessageW(child, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
        ::SendMessageW(child, TB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last));
        const DWORD buttonSize = static_cast<DWORD>(::SendMessageW(child, TB_GETBUTTONSIZE, 0, 0));
        band.fStyle |= RBBS_USECHEVRON;
        band.cx = static_cast<UINT>(last.right);
        band.cxMinChild = static_cast<UINT>(first.right);
        band.cyMinChild = HIWORD(buttonSize);
    } else {
        RECT rect{};
        ::GetWindowRect(child, &rect);
        band.cx = static_cast<UINT>(rect.right - rect.left);
        band.cxMinChild = 0;
        band.cyMinChild = static_cast<UINT>(rect.bottom - rect.top);
    }
    band.cxIdeal = band.cx;
}

}  // namespace

bool ParseToolBarResource(const void* data, std::size_t size, ToolBarResource& out) {
    constexpr std::size_t kHeaderWords = 4;
    if (!data || size < kHeaderWords * 2) return false;
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (ReadWord(bytes, 0) != kToolBarResourceVersion) return false;
    const std::size_t count = ReadWord(bytes, 3);
    if ((kHeaderWords + count) * 2 > size) return false;
    out.imageWidth = ReadWord(bytes, 1);
    out.imageHeight = ReadWord(bytes, 2);
    out.items.clear();
    for (std::size_t i = 0; i < count; ++i) out.items.push_back(ReadWord(bytes, kHeaderWords + i));
    return true;
}

HWND CreateToolBarFromResource(HWND parent, UINT resourceId, bool initialSeparator, DWORD style,
                               UINT id) {
    ToolBarResource resource;
    if (!LoadToolBarResource(resourceId, resource)) return nullptr;
    int imageCount = 0;
    std::vector<TBBUTTON> buttons = ButtonsOf(resource, initialSeparator, imageCount);

    HINSTANCE instance = GetAppModule().GetResourceInstance();
    HWND toolBar = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 100, 100, parent,
                                     ChildId(id), GetAppModule().GetModuleInstance(), nullptr);
    if (!toolBar) return nullptr;
    ::SendMessageW(toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageW(toolBar, TB_SETBITMAPSIZE, 0,
                   MAKELPARAM(resource.imageWidth, resource.imageHeight));
    ::SendMessageW(
        toolBar, TB_SETBUTTONSIZE, 0,
        MAKELPARAM(resource.imageWidth + kButtonMargin, resource.imageHeight + kButtonMargin));
    if (imageCount > 0) {
        TBADDBITMAP bitmap{instance, resourceId};
        ::SendMessageW(toolBar, TB_ADDBITMAP, static_cast<WPARAM>(imageCount),
                       reinterpret_cast<LPARAM>(&bitmap));
    }
    if (!buttons.empty())
        ::SendMessageW(toolBar, TB_ADDBUTTONSW, buttons.size(),
                       reinterpret_cast<LPARAM>(buttons.data()));
    ::SendMessageW(toolBar, TB_AUTOSIZE, 0, 0);
    return toolBar;
}

HWND CreateReBar(HWND parent, DWORD style, UINT id) {
    HWND rebar = ::CreateWindowExW(0, REBARCLASSNAMEW, nullptr, style, 0, 0, 100, 100, parent,
                                   ChildId(id), GetAppModule().GetModuleInstance(), nullptr);
    if (rebar) {
        REBARINFO info{};
        info.cbSize = sizeof(info);
        ::SendMessageW(rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));
    }
    return rebar;
}

bool AddReBarBand(HWND rebar, HWND child, bool newRow) {
    if (!rebar || !child) return false;
    REBARBANDINFOW band{};
    band.cbSize = REBARBANDINFOW_V6_SIZE;
    band.fMask =
        RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_ID | RBBIM_SIZE | RBBIM_IDEALSIZE;
    band.fStyle = RBBS_CHILDEDGE | (newRow ? RBBS_BREAK : 0);
    band.wID = kFirstBandId + static_cast<UINT>(::SendMessageW(rebar, RB_GETBANDCOUNT, 0, 0));
    band.hwndChild = child;
    MeasureBand(child, band);
    if (!::SendMessageW(rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(&band)))
        return false;
    const LRESULT extended = ::SendMessageW(child, TB_GETEXTENDEDSTYLE, 0, 0);
    ::SendMessageW(child, TB_SETEXTENDEDSTYLE, 0, extended | TBSTYLE_EX_HIDECLIPPEDBUTTONS);
    return true;
}

void WidenReBarBandsByBorders(HWND rebar) {
    const int count = static_cast<int>(::SendMessageW(rebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        RECT borders{};
        ::SendMessageW(rebar, RB_GETBANDBORDERS, i, reinterpret_cast<LPARAM>(&borders));
        REBARBANDINFOW band{};
        band.cbSize = REBARBANDINFOW_V6_SIZE;
        band.fMask = RBBIM_SIZE;
        ::SendMessageW(rebar, RB_GETBANDINFOW, i, reinterpret_cast<LPARAM>(&band));
        band.cx += static_cast<UINT>(borders.left + borders.right);
        ::SendMessageW(rebar, RB_SETBANDINFOW, i, reinterpret_cast<LPARAM>(&band));
    }
}

int FindReBarBand(HWND rebar, UINT bandId) {
    return static_cast<int>(::SendMessageW(rebar, RB_IDTOINDEX, bandId, 0));
}

HWND CreateStatusBar(HWND parent, UINT textId, DWORD style, UINT id) {
    wchar_t text[128] = {};
    if (textId) ::LoadStringW(GetAppModule().GetResourceInstance(), textId, text, 128);
    return ::CreateWindowExW(0, STATUSCLASSNAMEW, text, style, 0, 0, 0, 0, parent, ChildId(id),
                             GetAppModule().GetModuleInstance(), nullptr);
}

void ShowStatusPrompt(HWND statusBar, const wchar_t* prompt) {
    ::SendMessageW(statusBar, SB_SIMPLE, TRUE, 0);
    ::SendMessageW(statusBar, SB_SETTEXTW, SB_SIMPLEID | SBT_NOBORDERS,
                   reinterpret_cast<LPARAM>(prompt));
}

void LeaveStatusPrompt(HWND statusBar) { ::SendMessageW(statusBar, SB_SIMPLE, FALSE, 0); }

}  // namespace velk
