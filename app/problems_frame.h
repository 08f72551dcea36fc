// The problems window: every finding of one document in file order (severity,
// kind, tag, offset, message) as a report list; Enter or a double click selects
// the finding's row in the document, expanding the containers that hide it.
// Opened by View > Problems on the document; it lists the findings again each
// time the document's check runs (Refresh, the Interpret switch).
#pragma once

#include <windows.h>

#include <string>

#include "check/finding.h"
#include "framework/list_view.h"
#include "framework/mdi_child.h"

namespace velk {

class CProblemsFrame : public CMDIChildWindowImpl<CProblemsFrame> {
public:
    static CWindowClassInfo& GetWndClassInfo();
    // Lists `findings` of the document window `document` (whose file is at
    // `path`) in a new window inside mdiClient; null when no window could be made.
    static CProblemsFrame* CreateIn(HWND mdiClient, HWND document, const std::wstring& path,
                                    dcm_findings findings);
    // Lists `findings` again, the focus on the first.
    void Refill(dcm_findings findings);

    bool ProcessWindowMessage(CMessage& m) override;
    void OnFinalMessage(HWND hwnd) override;

    HWND List() const { return m_list.m_hWnd; }

private:
    CProblemsFrame() = default;

    LRESULT OnCreate(CMessage& m);
    LRESULT OnNotify(CMessage& m);
    void Fill();
    std::wstring CellText(std::size_t finding, int column) const;
    void ShowSelected();

    HWND m_document = nullptr;    // the document window the findings are of
    std::size_t m_listening = 0;  // the token of the listener told of its checks
    dcm_findings m_findings;
    CListViewCtrl m_list;
    std::wstring m_cell;  // the text handed to the list last
};

}  // namespace velk
