// Document windows, seen from the main frame: the four ways a document opens.
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace velk {

class CMainFrame;

// Opens `path` in a new document window inside the frame's MDI client.
void OpenDocumentWindow(CMainFrame& frame, const wchar_t* path);
// Opens an empty document window (the New command).
void NewDocumentWindow(CMainFrame& frame);
// Runs the File Open dialog and opens the chosen file.
void OpenDocumentFromDialog(CMainFrame& frame);
// Opens every dropped name, a folder in a folder window; releases the drop handle.
void OpenDroppedDocuments(CMainFrame& frame, HDROP drop);

// The same, given the MDI client that holds the document windows.
void OpenDocumentIn(HWND mdiClient, const wchar_t* path);
void NewDocumentIn(HWND mdiClient);
void OpenDocumentFromDialogIn(HWND mdiClient);
// (Without the frame, dropped folders are skipped.)
void OpenDroppedDocumentsIn(HWND mdiClient, HDROP drop);

}  // namespace velk
