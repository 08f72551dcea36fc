#include "app/status_panes.h"

#include <commctrl.h>

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

const wchar_t* FailureText(DocumentReadFailure failure) {
    switch (failure) {
    case DocumentReadFailure::none: return L"";
    case DocumentReadFailure::not_found: return L"Not found";
    case DocumentReadFailure::no_access: return L"No access";
    case DocumentReadFailure::folder: return L"A folder, not a file";
    case DocumentReadFailure::not_part10: return L"Not a part-10 file";
    }
    return L"";
}

}  // namespace

DocumentPaneTexts PaneTextsOf(const DocumentFacts& facts) {
    DocumentPaneTexts texts;
    texts.rows = Grouped(facts.rows) + (facts.rows == 1 ? L" row" : L" rows");
    texts.syntax = facts.syntax;
    if (facts.failure != DocumentReadFailure::not_found && facts.failure != DocumentReadFailure::folder)
        texts.size = Grouped(facts.fileSize) + L" bytes";
    texts.load = FailureText(facts.failure);
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
