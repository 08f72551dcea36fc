#include "app/status_panes.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "parse/syntax_registry.h"
#include "view/screen_scale.h"

namespace velk {

namespace {

// Space beside a pane's text at 100 %, each side, within the pane's borders.
constexpr int kPaneMargin = 6;
// The window property of the bar that holds its panes' tooltip control.
constexpr const wchar_t* kPaneTipsProperty = L"velk.PaneTips";
// The last tool reaches this far: the last pane ends at the bar's right end,
// wherever that is after a resize.
constexpr LONG kFarRight = 0x7FFF;
// The window property of the bar set while its last pane is the pixel under the pointer.
constexpr const wchar_t* kPixelPaneProperty = L"velk.PixelPane";
// The prompt pane and the document's five.
constexpr UINT_PTR kDocumentPanes = 6;
// Those and the pixel under the pointer.
constexpr UINT_PTR kMostPanes = kDocumentPanes + 1;

// 1234567 -> "1,234,567".
std::wstring Grouped(std::uint64_t n) {
    std::wstring digits = std::to_wstring(n);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3) digits.insert(std::size_t(at), 1, L',');
    return digits;
}

// Text of the portable core (ASCII, or a file's bytes one to a character).
std::wstring Widen(const std::string& text) {
    std::wstring wide;
    for (char c : text) wide += wchar_t(static_cast<unsigned char>(c));
    return wide;
}

// The words the command line also uses, as a pane's text: capitalised.
std::wstring Sentence(std::wstring text) {
    if (!text.empty() && text[0] >= L'a' && text[0] <= L'z')
        text[0] = wchar_t(text[0] - L'a' + L'A');
    return text;
}

// How the load ended: why the path gave nothing, complete, or where the walk
// stopped (the offset as the Offset column shows it, so that Find reaches it).
std::wstring LoadText(const DocumentFacts& facts) {
    if (facts.open != dcm_open_failure::none)
        return Sentence(Widen(dcm_open_failure_text(facts.open)));
    return Sentence(Widen(dcm_walk_end_text(facts.walk)));
}

}  // namespace

DocumentFacts FactsOf(const dcm_document& document, std::size_t rowsShown) {
    const dcm_row_model& rows = document.rows();
    const dcm_load_facts& load = rows.load_facts();
    DocumentFacts facts;
    facts.rows = rowsShown;
    facts.fileSize = load.file_size;
    facts.open = load.open;
    facts.walk = rows.walk_result();
    const dcm_syntax_info* known = dcm_find_syntax(load.transfer_syntax);
    facts.syntax = Widen(known ? std::string(known->name) : load.transfer_syntax);
    facts.interpretHint = dcm_interpret_hint_text(rows.interpret_hint());
    if (load.open == dcm_open_failure::none && facts.walk.status != dcm_walk_status::not_part10)
        facts.problems = Widen(document.problems().summary());
    return facts;
}

DocumentPaneTexts PaneTextsOf(const DocumentFacts& facts) {
    DocumentPaneTexts texts;
    texts.rows = Grouped(facts.rows) + (facts.rows == 1 ? L" row" : L" rows");
    texts.syntax = facts.syntax;
    if (facts.open == dcm_open_failure::none || facts.open == dcm_open_failure::empty)
        texts.size = Grouped(facts.fileSize) + L" bytes";
    texts.load = LoadText(facts);
    if (*facts.interpretHint) {
        if (!texts.load.empty()) texts.load += L"; ";
        texts.load += Widen(facts.interpretHint);
    }
    texts.problems = facts.problems;
    return texts;
}

namespace {

std::wstring PaneText(HWND statusBar, int pane) {
    const LRESULT length = ::SendMessageW(statusBar, SB_GETTEXTLENGTHW, WPARAM(pane), 0);
    std::wstring text(std::size_t(LOWORD(length)) + 1, L'\0');
    ::SendMessageW(statusBar, SB_GETTEXTW, WPARAM(pane), reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::size_t(LOWORD(length)));
    return text;
}

// The width each text needs, whole, in the bar's font: the text, a margin each
// side and the pane's borders.
std::vector<int> PaneWidths(HWND statusBar, const std::vector<std::wstring>& texts) {
    int borders[3] = {};
    ::SendMessageW(statusBar, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    HDC dc = ::GetDC(statusBar);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(statusBar, WM_GETFONT, 0, 0));
    HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    std::vector<int> widths;
    for (const std::wstring& text : texts) {
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &extent);
        widths.push_back(int(extent.cx) + 2 * (ScaleToScreen(kPaneMargin) + borders[0]) +
                         borders[2]);
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(statusBar, dc);
    return widths;
}

// One tooltip control for the bar, made on first use; it goes with the frame
// that owns it.
HWND PaneTips(HWND statusBar) {
    if (HWND tips = static_cast<HWND>(::GetPropW(statusBar, kPaneTipsProperty))) return tips;
    HWND tips =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, statusBar, nullptr, nullptr, nullptr);
    if (tips) ::SetPropW(statusBar, kPaneTipsProperty, tips);
    return tips;
}

// Each pane's whole text as its tooltip, one tool per pane.
void SetPaneTips(HWND statusBar, const std::vector<std::wstring>& texts) {
    HWND tips = PaneTips(statusBar);
    if (!tips) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = statusBar;
    for (tool.uId = 0; tool.uId < kMostPanes; ++tool.uId)
        ::SendMessageW(tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    for (std::size_t pane = 0; pane < texts.size(); ++pane) {
        tool = TOOLINFOW{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = statusBar;
        tool.uId = pane;
        ::SendMessageW(statusBar, SB_GETRECT, pane, reinterpret_cast<LPARAM>(&tool.rect));
        if (pane + 1 == texts.size()) tool.rect.right = kFarRight;
        tool.lpszText = const_cast<wchar_t*>(texts[pane].c_str());
        ::SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

}  // namespace

// Each pane as wide as its text, the prompt pane as wide as the prompt it shows
// now ("Ready"; a menu's prompts show in the bar's simple mode, across it); the
// load pane takes the rest, after the check's count.
void ShowDocumentPanes(HWND statusBar, const DocumentFacts& facts) {
    if (!statusBar) return;
    const DocumentPaneTexts panes = PaneTextsOf(facts);
    const std::vector<std::wstring> texts = {
        PaneText(statusBar, 0), panes.rows, panes.syntax, panes.size, panes.problems, panes.load};
    const std::vector<int> widths = PaneWidths(statusBar, texts);
    constexpr int kPanes = int(kDocumentPanes);
    int edges[kPanes];
    int right = 0;
    for (int i = 0; i < kPanes - 1; ++i) edges[i] = right += widths[std::size_t(i)];
    edges[kPanes - 1] = -1;
    ::SendMessageW(statusBar, SB_SETPARTS, kPanes, reinterpret_cast<LPARAM>(edges));
    ::RemovePropW(statusBar, kPixelPaneProperty);
    for (WPARAM i = 1; i < WPARAM(kPanes); ++i)
        ::SendMessageW(statusBar, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(texts[i].c_str()));
    SetPaneTips(statusBar, texts);
}

void ShowNoDocumentPanes(HWND statusBar) {
    if (!statusBar || ::SendMessageW(statusBar, SB_GETPARTS, 0, 0) == 1) return;
    int whole = -1;
    ::SendMessageW(statusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&whole));
    ::RemovePropW(statusBar, kPixelPaneProperty);
    SetPaneTips(statusBar, {});
}

// The document's panes keep their texts; the last of them becomes as wide as its
// text and the pixel's pane takes the rest, or, with no pixel, the room again.
void ShowPixelPane(HWND statusBar, const std::wstring& pixel) {
    if (!statusBar) return;
    const bool shown = ::GetPropW(statusBar, kPixelPaneProperty) != nullptr;
    const int panes = int(::SendMessageW(statusBar, SB_GETPARTS, 0, 0)) - (shown ? 1 : 0);
    if (panes < 2 || (pixel.empty() && !shown))
        return;  // no document's panes, or nothing to take away
    std::vector<std::wstring> texts;
    for (int pane = 0; pane < panes; ++pane) texts.push_back(PaneText(statusBar, pane));
    if (!pixel.empty()) texts.push_back(Sentence(pixel));
    const std::vector<int> widths = PaneWidths(statusBar, texts);
    std::vector<int> edges(texts.size(), -1);
    int right = 0;
    for (std::size_t i = 0; i + 1 < texts.size(); ++i) edges[i] = right += widths[i];
    ::SendMessageW(statusBar, SB_SETPARTS, WPARAM(edges.size()),
                   reinterpret_cast<LPARAM>(edges.data()));
    if (pixel.empty()) {
        ::RemovePropW(statusBar, kPixelPaneProperty);
    } else {
        ::SetPropW(statusBar, kPixelPaneProperty, statusBar);
        ::SendMessageW(statusBar, SB_SETTEXTW, WPARAM(panes),
                       reinterpret_cast<LPARAM>(texts.back().c_str()));
    }
    SetPaneTips(statusBar, texts);
}

}  // namespace velk
