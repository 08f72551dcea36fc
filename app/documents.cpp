// Placeholder entries until the documents issue builds the document windows:
// nothing opens, and a drop handle is still released.
#include "app/documents.h"

void OpenDocumentWindow(CMainFrame&, const wchar_t*) {}

void NewDocumentWindow(CMainFrame&) {}

void OpenDocumentFromDialog(CMainFrame&) {}

void OpenDroppedDocuments(CMainFrame&, HDROP drop) { DragFinish(drop); }
