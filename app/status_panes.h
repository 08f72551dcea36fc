// The status bar's panes for the active document: its rows, its transfer syntax,
// its file size and how its load ended, beside the prompt pane. With no document
// the bar is the one prompt pane it always was.
#pragma once

#include <windows.h>

#include <string>

#include "app/document.h"

namespace velk {

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
