// Document windows, seen from the main frame.
//
// TO BE FILLED IN BY THE DOCUMENTS ISSUE (CChildFrame, OpenDocument, the element
// list view). Until then these entries create no window: the frame routes New,
// Open, drops and the command-line file here, and nothing opens.
#pragma once

#include <windows.h>
#include <shellapi.h>

class CMainFrame;

// Opens `path` in a new document window inside the frame's MDI client.
void OpenDocumentWindow(CMainFrame& frame, const wchar_t* path);
// Opens an empty document window (the New command).
void NewDocumentWindow(CMainFrame& frame);
// Runs the File Open dialog and opens the chosen file.
void OpenDocumentFromDialog(CMainFrame& frame);
// Opens every dropped name that is not a folder; releases the drop handle.
void OpenDroppedDocuments(CMainFrame& frame, HDROP drop);
