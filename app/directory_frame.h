// The directory window: the record tree of a DICOMDIR (index/directory_tree.*)
// as a tree view, patient > study > series > instance, each record with its key
// values; Enter or a double click on a record that names a file opens that file
// as a document. Opened by View > Directory on the DICOMDIR's document.
#pragma once

#include <windows.h>

#include <string>

#include "app/folder_frame.h"
#include "framework/mdi_child.h"
#include "index/directory_tree.h"

namespace velk {

class CDirectoryFrame : public CMDIChildWindowImpl<CDirectoryFrame> {
public:
    static CWindowClassInfo& GetWndClassInfo();
    // Reads the DICOMDIR at `path` and shows its tree in a new window inside
    // mdiClient; null when no window could be made.
    static CDirectoryFrame* CreateIn(HWND mdiClient, const std::wstring& path,
                                     open_document_fn open);

    bool ProcessWindowMessage(CMessage& m) override;
    void OnFinalMessage(HWND hwnd) override;

    HWND Tree() const { return m_tree; }

private:
    CDirectoryFrame() = default;

    LRESULT OnCreate(CMessage& m);
    LRESULT OnNotify(CMessage& m);
    void Fill();
    void OpenSelected();

    std::wstring m_path;
    open_document_fn m_open;
    dcm_directory_tree m_records;
    HWND m_tree = nullptr;
};

}  // namespace velk
