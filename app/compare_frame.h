// The comparison window: an MDI child that lists the differences between two
// files, one row each, in the first file's order. Its cells are made once, when
// the files are compared (and again on Refresh): the window holds no mapping.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "framework/list_view.h"
#include "framework/mdi_child.h"
#include "present/compare.h"
#include "present/reading.h"

namespace velk {

class CCompareFrame : public CMDIChildWindowImpl<CCompareFrame> {
public:
    // The document window's icons, menu and accelerators.
    static CWindowClassInfo& GetWndClassInfo();
    // Compares the two files, read in `reading`, and shows the differences in a
    // new window inside mdiClient, maximised like a document; null when no window
    // could be made.
    static CCompareFrame* CreateIn(HWND mdiClient, const std::wstring& first,
                                   const std::wstring& second, dcm_reading reading);

    bool ProcessWindowMessage(CMessage& m) override;
    void OnFinalMessage(HWND hwnd) override;

    HWND List() const { return m_list.m_hWnd; }

private:
    CCompareFrame() = default;

    LRESULT OnCreate(CMessage& m);
    LRESULT OnNotify(CMessage& m);
    LRESULT OnRefresh(CMessage& m);
    // View > Interpret: compared again in the reading in wParam.
    LRESULT OnApplyReading(CMessage& m);
    LRESULT OnCopyRows(CMessage& m);
    LRESULT OnSelectAll(CMessage& m);
    void Compare();

    using row_cells = std::array<std::wstring, dcm_difference_column_count>;
    std::wstring m_first, m_second;
    dcm_reading m_reading = dcm_reading::standard;
    std::vector<row_cells> m_cells;
    CListViewCtrl m_list;
};

// Compare With: the second file is another open document, chosen from a menu
// of them, or any file, chosen with the Open dialog; the differences, read in
// `reading` (the documents'), open in a new window.
void CompareWithFromDialog(HWND mdiClient, const wchar_t* first, dcm_reading reading);

}  // namespace velk
