// The status bar's panes for the active document: its rows, its transfer syntax,
// its file size and how its load ended, beside the prompt pane. With no document
// the bar is the one prompt pane it always was.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "view/document.h"

namespace velk {

// What the status bar shows of the active document.
struct DocumentFacts {
    std::size_t rows = 0;  // the rows the list shows (a filter's while it shows its own)
    std::wstring syntax;   // the transfer syntax by name, or its UID when unknown
    std::uint64_t fileSize = 0;
    dcm_open_failure open = dcm_open_failure::none;  // why the path gave no bytes
    dcm_walk_result walk;                            // how the load's walk ended
    // While the default reading is in use: why View > Interpret would show more
    // (ASCII words, "" when it would not).
    const char* interpretHint = "";
    std::wstring problems;  // the check's count ("2 errors, 5 warnings"); "" when no file was read
};

// Everything comes from what the document's load kept: a fold changes the rows
// only, and the file is not read again for the bar.
DocumentFacts FactsOf(const dcm_document& document, std::size_t rowsShown);

// The texts of the document panes, in their order.
struct DocumentPaneTexts {
    std::wstring rows, syntax, size, problems, load;
};
DocumentPaneTexts PaneTextsOf(const DocumentFacts& facts);

void ShowDocumentPanes(HWND statusBar, const DocumentFacts& facts);
void ShowNoDocumentPanes(HWND statusBar);
// The pixel under the pointer over a document's frame, as a last pane after the
// document's ("Column 3, row 7: 1024 (24)": stored value, rescaled value); an
// empty text takes the pane away.
void ShowPixelPane(HWND statusBar, const std::wstring& pixel);

}  // namespace velk
