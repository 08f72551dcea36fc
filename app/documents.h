// Document windows, seen from the main frame: the four ways a document opens.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "present/reading.h"

namespace velk {

class CMainFrame;

// Opens `path` in a new document window inside the frame's MDI client, in the
// frame's reading.
void OpenDocumentWindow(CMainFrame& frame, const wchar_t* path);
// Opens an empty document window (the New command).
void NewDocumentWindow(CMainFrame& frame);
// Runs the File Open dialog and opens the chosen file.
void OpenDocumentFromDialog(CMainFrame& frame);
// Opens every dropped name, a folder in a folder window; releases the drop handle.
void OpenDroppedDocuments(CMainFrame& frame, HDROP drop);

// The same, given the MDI client that holds the document windows and the reading.
void OpenDocumentIn(HWND mdiClient, const wchar_t* path,
                    dcm_reading reading = dcm_reading::standard);
void NewDocumentIn(HWND mdiClient, dcm_reading reading = dcm_reading::standard);
void OpenDocumentFromDialogIn(HWND mdiClient);
// (Without the frame, dropped folders are skipped.)
void OpenDroppedDocumentsIn(HWND mdiClient, HDROP drop);

// Sent to every window in the MDI client when View > Interpret changes, the
// reading chosen in wParam (a dcm_reading): each document window lists its file
// again in it, and each comparison compares again. A registered message, so that
// no other window's own message shares its number.
UINT ApplyReadingMessage();
void ApplyReadingIn(HWND mdiClient, dcm_reading reading);

}  // namespace velk
