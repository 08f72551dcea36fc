#include "app/status_panes.h"

#include <commctrl.h>

#include <cstdio>

#include "view/screen_scale.h"

namespace velk {

namespace {

// Pane widths at 100 %; the last pane reaches to the bar's right end.
constexpr int kPromptWidth = 260;
constexpr int kRowsWidth = 110;
constexpr int kSyntaxWidth = 250;
constexpr int kSizeWidth = 130;

// 1234567 -> "1,234,567".
std::wstring Grouped(std::uint64_t n) {
    std::wstring digits = std::to_wstring(n);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3) digits.insert(std::size_t(at), 1, L',');
    return digits;
}

// The words the command line also uses, as a pane's text: capitalised.
std::wstring Sentence(const char* words) {
    std::wstring text;
    for (const char* c = words; *c; ++c) text += wchar_t(static_cast<unsigned char>(*c));
    if (!text.empty() && text[0] >= L'a' && text[0] <= L'z') text[0] = wchar_t(text[0] - L'a' + L'A');
    return text;
}

// How the load ended: why the path gave nothing, complete, or where the walk
// stopped (the offset as the Offset column shows it, so that Find reaches it).
std::wstring LoadText(const DocumentFacts& facts) {
    if (facts.open != dcm_open_failure::none) return Sentence(dcm_open_failure_text(facts.open));
    const dcm_walk_result& walk = facts.walk;
    switch (walk.status) {
    case dcm_walk_status::complete:
    case dcm_walk_status::not_part10:
    case dcm_walk_status::out_of_memory:
        return Sentence(dcm_walk_status_text(walk.status));
    default:
        break;
    }
    // The offset in full, past 4 GiB too.
    std::wstring text = L"Stopped at " + std::to_wstring(walk.offset);
    if (walk.tag != 0) {
        wchar_t tag[16];
        std::swprintf(tag, 16, L", (%04X,%04X)", unsigned(walk.tag >> 16), unsigned(walk.tag & 0xFFFF));
        text += tag;
    }
    text += L": ";
    for (const char* c = dcm_walk_status_text(walk.status); *c; ++c) text += wchar_t(*c);
    return text;
}

}  // namespace

DocumentPaneTexts PaneTextsOf(const DocumentFacts& facts) {
    DocumentPaneTexts texts;
    texts.rows = Grouped(facts.rows) + (facts.rows == 1 ? L" row" : L" rows");
    texts.syntax = facts.syntax;
    if (facts.open == dcm_open_failure::none || facts.open == dcm_open_failure::empty)
        texts.size = Grouped(facts.fileSize) + L" bytes";
    texts.load = LoadText(facts);
    if (*facts.interpretHint) {
        if (!texts.load.empty()) texts.load += L"; ";
        for (const char* c = facts.interpretHint; *c; ++c) texts.load += wchar_t(*c);
    }
    return texts;
}

void ShowDocumentPanes(HWND statusBar, const DocumentFacts& facts) {
    if (!statusBar) return;
    int edges[5];
    edges[0] = ScaleToScreen(kPromptWidth);
    edges[1] = edges[0] + ScaleToScreen(kRowsWidth);
    edges[2] = edges[1] + ScaleToScreen(kSyntaxWidth);
    edges[3] = edges[2] + ScaleToScreen(kSizeWidth);
    edges[4] = -1;
    ::SendMessageW(statusBar, SB_SETPARTS, 5, reinterpret_cast<LPARAM>(edges));
    const DocumentPaneTexts texts = PaneTextsOf(facts);
    const std::wstring* panes[] = {&texts.rows, &texts.syntax, &texts.size, &texts.load};
    for (WPARAM i = 0; i < 4; ++i)
        ::SendMessageW(statusBar, SB_SETTEXTW, i + 1, reinterpret_cast<LPARAM>(panes[i]->c_str()));
}

void ShowNoDocumentPanes(HWND statusBar) {
    if (!statusBar || ::SendMessageW(statusBar, SB_GETPARTS, 0, 0) == 1) return;
    int whole = -1;
    ::SendMessageW(statusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&whole));
}

}  // namespace velk
