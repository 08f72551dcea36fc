#pragma once
// The bars of a frame window: a toolbar built from a toolbar resource, the rebar
// that holds the command bar, the toolbar and other windows in bands, and the
// status bar with its idle text.
#include <windows.h>

#include <cstddef>
#include <vector>

namespace velk {

// Band identifiers are this base plus the number of bands present when the band was added.
constexpr UINT kFirstBandId = 0xEB00;

// The toolbar resource (type 241): version 1, the image width and height, the item
// count and one command identifier per item, 0 for a separator. The images are in
// the bitmap resource of the same identifier, one per non-separator item, in order.
struct ToolBarResource {
    WORD imageWidth = 0;
    WORD imageHeight = 0;
    std::vector<WORD> items;
};

// Reads the resource bytes; false when they are too short for what they declare,
// or of another version.
bool ParseToolBarResource(const void* data, std::size_t size, ToolBarResource& out);

// Creates a toolbar child of parent with the buttons and images of the resource;
// with initialSeparator a separator comes first. Null when the resource is missing
// or malformed, or the window cannot be created.
HWND CreateToolBarFromResource(HWND parent, UINT resourceId, bool initialSeparator, DWORD style,
                               UINT id);

HWND CreateReBar(HWND parent, DWORD style, UINT id);

// Appends a band holding child, with the child-edge style and identifier
// kFirstBandId + band count; newRow starts a new row. A toolbar with buttons gets
// the chevron, its buttons' extent as width and ideal width, its first button's
// right edge as minimum width and a button's height as minimum height; any other
// window its current size, minimum width 0. The child then gets
// TBSTYLE_EX_HIDECLIPPEDBUTTONS (a window that is not a toolbar ignores it).
bool AddReBarBand(HWND rebar, HWND child, bool newRow);

// Widens each band by its left and right borders, so that its contents fit.
void WidenReBarBandsByBorders(HWND rebar);

// The zero-based index of the band with this identifier, or -1.
int FindReBarBand(HWND rebar, UINT bandId);

// A status bar with one part whose text is the string textId (up to 127 characters).
HWND CreateStatusBar(HWND parent, UINT textId, DWORD style, UINT id);

// Shows a prompt in the status bar's simple mode, without borders; Leave... returns
// to the parts and their texts.
void ShowStatusPrompt(HWND statusBar, const wchar_t* prompt);
void LeaveStatusPrompt(HWND statusBar);

}  // namespace velk
