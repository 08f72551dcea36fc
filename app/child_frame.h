// The document window: an MDI child that holds one document (its file's rows,
// view/document.h) and shows it in its element list view and panes, carries the
// document menu, passes commands and keyboard pre-translation on to the view, and
// sends the list's notifications back to it.
#pragma once

#include <windows.h>

#include "framework/mdi_child.h"
#include "view/document.h"
#include "view/document_panes.h"
#include "view/velk_view.h"

namespace velk {

class CChildFrame : public CMDIChildWindowImpl<CChildFrame> {
public:
    // Icons, default title ("Document"), menu and accelerators: resource 129.
    static CWindowClassInfo& GetWndClassInfo();

    // Creates a document window on the heap inside mdiClient, with `title` (null:
    // its default title; the Window menu lists the title it is made with) and an
    // empty list. The window owns the object from then on and deletes it when
    // it is destroyed. Answers null when no window could be made (nothing is
    // left behind then).
    static CChildFrame* CreateIn(HWND mdiClient, const wchar_t* title = nullptr);
    // The document window object of `window`, or null for any other window.
    static CChildFrame* Of(HWND window);

    bool ProcessWindowMessage(CMessage& m) override;
    void OnFinalMessage(HWND hwnd) override;

    // The document first: the list and the panes observe it, and go before it.
    dcm_document m_document;
    CVelkView m_view{m_document};
    CDocumentPanes m_panes{*this, m_view,
                           m_document};  // the filter box and the inspector, on request

private:
    CChildFrame() = default;
    ~CChildFrame() override;

    LRESULT OnCreate(CMessage& m);
    LRESULT OnForwardMsg(CMessage& m);
    LRESULT OnCommand(CMessage& m);
    LRESULT OnMDIActivate(CMessage& m);
    // Shows the document's facts in the frame's status bar while it is the active one.
    void ShowFacts();
    HWND StatusBar() const;
    LRESULT OnCompareWith(CMessage& m);
    // ApplyReadingMessage(): the document listed again in the reading in wParam.
    LRESULT OnApplyReading(CMessage& m);

    bool* m_deleted = nullptr;  // set when the object deletes itself during creation
};

}  // namespace velk
