// The folder window: an MDI child that lists the DICOM part-10 files below a
// folder, one row of key values each (index/), grouped by study and series as
// rows that fold, sorted by a click on a column's header (again: the other way),
// filtered by the filter box (Ctrl+L). Enter or a double click opens a file as a
// document, or folds a group. The folder is read on a thread of the window's
// own: rows appear as they are read, the status bar counts them, and the window
// stays usable throughout; Refresh (F5) reads it again.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/list_view.h"
#include "framework/mdi_child.h"
#include "index/folder_table.h"
#include "view/wide_text.h"

namespace velk {

// Opens a file (a full path) as a document, as File > Open does.
using open_document_fn = std::function<void(const std::wstring& path)>;

class CFolderFrame : public CMDIChildWindowImpl<CFolderFrame> {
public:
    // The document window's icons, menu and accelerators.
    static CWindowClassInfo& GetWndClassInfo();
    // Opens a folder window inside mdiClient and starts reading `folder`;
    // null when no window could be made.
    static CFolderFrame* CreateIn(HWND mdiClient, const std::wstring& folder,
                                  open_document_fn open);
    // The folder window object of `window`, or null for any other window.
    static CFolderFrame* Of(HWND window);

    bool ProcessWindowMessage(CMessage& m) override;
    void OnFinalMessage(HWND hwnd) override;

    HWND List() const { return m_list.m_hWnd; }
    HWND FilterBox() const { return m_filter; }
    const dcm_folder_table& Table() const { return m_table; }
    // Whether the reading thread has read every file.
    bool Finished() const;

    struct reading;  // what the reading thread and the window share

private:
    CFolderFrame() = default;
    ~CFolderFrame() override;

    LRESULT OnCreate(CMessage& m);
    LRESULT OnSize(CMessage& m);
    LRESULT OnDestroy(CMessage& m);
    LRESULT OnNotify(CMessage& m);
    LRESULT OnRowsRead(CMessage& m);
    LRESULT OnFilterChange(CMessage& m);
    LRESULT OnRefresh(CMessage& m);
    LRESULT OnCopyRows(CMessage& m);
    LRESULT OnSelectAll(CMessage& m);
    LRESULT OnToggleFilter(CMessage& m);
    LRESULT OnMDIActivate(CMessage& m);
    LRESULT OnForwardMsg(CMessage& m);

    void StartReading();
    void StopReading();
    void ShowLines();
    std::vector<dcm_folder_line> VisibleLines() const;
    void ShowNewLines(const std::vector<dcm_folder_line>& shown);
    void ShowProgress() const;
    void Activate(int line);
    bool FoldByKey(const MSG& msg);
    void Layout();

    std::wstring m_folder;
    open_document_fn m_open;
    CListViewCtrl m_list;
    HWND m_filter = nullptr;
    bool m_filterShown = false;
    dcm_folder_table m_table;
    std::shared_ptr<reading> m_reading;
    std::thread m_reader;
};

// The folder browser: answers whether the user chose a folder, and which.
bool ChooseFolder(HWND owner, std::wstring& folder);

}  // namespace velk
