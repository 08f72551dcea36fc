#include "app/documents.h"

#include <shlwapi.h>

#include <algorithm>
#include <vector>

#include "app/child_frame.h"
#include "app/main_frame.h"
#include "framework/file_dialog.h"
#include "view/wait_cursor.h"

namespace velk {

namespace {

// Releases a drop handle however the drop ends.
class CDropRelease {
public:
    explicit CDropRelease(HDROP drop) : m_drop(drop) {}
    ~CDropRelease() { ::DragFinish(m_drop); }
    CDropRelease(const CDropRelease&) = delete;
    CDropRelease& operator=(const CDropRelease&) = delete;

private:
    HDROP m_drop;
};

}  // namespace

void OpenDocumentIn(HWND mdiClient, const wchar_t* path, dcm_reading reading) {
    if (!path) path = L"";
    CChildFrame* child = nullptr;
    {
        // The window appears once, maximised and filled.
        CRedrawOff quiet(mdiClient);
        // Named as it is made: the Window menu lists the name it is made with.
        child = CChildFrame::CreateIn(mdiClient, ::PathFindFileNameW(path));
        if (!child) return;
        const CWaitCursor wait;
        child->m_document.set_reading(reading);
        child->m_document.load(path);
        child->MDIMaximize(*child);
    }
    child->RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void NewDocumentIn(HWND mdiClient, dcm_reading reading) {
    if (CChildFrame* child = CChildFrame::CreateIn(mdiClient))
        child->m_document.set_reading(reading);
}

UINT ApplyReadingMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"velk.ApplyReading");
    return message;
}

void ApplyReadingIn(HWND mdiClient, dcm_reading reading) {
    for (HWND child = ::GetWindow(mdiClient, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        ::SendMessageW(child, ApplyReadingMessage(), WPARAM(reading), 0);
    }
}

void OpenDocumentFromDialogIn(HWND mdiClient) {
    CFileOpenDialog dialog;  // every file shown, one file, no default name or extension
    if (dialog.DoModal(::GetActiveWindow()) == IDOK) OpenDocumentIn(mdiClient, dialog.m_szFileName);
}

namespace {

// Calls open(name) for every dropped name that is not a folder, and
// openFolder(name) for every folder.
template <class Open, class OpenFolder>
void OpenEachDropped(HDROP drop, Open open, OpenFolder openFolder) {
    const CDropRelease release(drop);
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    // One buffer that fits the longest name, so that no name is cut.
    UINT longest = 0;
    for (UINT i = 0; i < count; ++i)
        longest = std::max(longest, ::DragQueryFileW(drop, i, nullptr, 0));
    std::vector<wchar_t> name(static_cast<std::size_t>(longest) + 1);
    for (UINT i = 0; i < count; ++i) {
        name[0] = L'\0';
        ::DragQueryFileW(drop, i, name.data(), longest + 1);
        if (::PathIsDirectoryW(name.data()))
            openFolder(name.data());
        else
            open(name.data());
    }
}

}  // namespace

void OpenDroppedDocumentsIn(HWND mdiClient, HDROP drop) {
    // Without a frame, a folder is skipped, not searched.
    OpenEachDropped(
        drop, [mdiClient](const wchar_t* name) { OpenDocumentIn(mdiClient, name); },
        [](const wchar_t*) {});
}

void OpenDocumentWindow(CMainFrame& frame, const wchar_t* path) {
    OpenDocumentIn(frame.GetMDIClient(), path, frame.Reading());
    frame.OnDocumentOpened(path);
}

void NewDocumentWindow(CMainFrame& frame) { NewDocumentIn(frame.GetMDIClient(), frame.Reading()); }

void OpenDocumentFromDialog(CMainFrame& frame) {
    CFileOpenDialog dialog;  // as OpenDocumentFromDialogIn
    if (dialog.DoModal(::GetActiveWindow()) == IDOK) OpenDocumentWindow(frame, dialog.m_szFileName);
}

void OpenDroppedDocuments(CMainFrame& frame, HDROP drop) {
    OpenEachDropped(
        drop, [&frame](const wchar_t* name) { OpenDocumentWindow(frame, name); },
        [&frame](const wchar_t* folder) { frame.OpenFolder(folder); });
}

}  // namespace velk
