// The panes a document window adds around its element list on request: a filter
// box above it (Ctrl+L) and an inspector pane below it (the View menu, or Enter
// on a row). Neither exists until it is first asked for, so that a document
// window that uses neither is exactly the list alone.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "framework/list_view.h"
#include "framework/message_map.h"
#include "parse/mapping.h"
#include "present/inspect.h"
#include "present/row_model.h"
#include "view/command_ids.h"
#include "view/document.h"
#include "view/frame_pane.h"
#include "view/row_filter.h"
#include "view/velk_view.h"

namespace velk {

class CDocumentPanes {
public:
    // `frame` is the document window, which holds the list over `document`'s rows
    // and the panes.
    CDocumentPanes(const CWindow& frame, CVelkView& view, dcm_document& document)
        : m_frame(frame), m_view(view), m_document(document) {}
    CDocumentPanes(const CDocumentPanes&) = delete;
    CDocumentPanes& operator=(const CDocumentPanes&) = delete;

    // Offered every message of the document window first; answers whether it
    // took the message. Sizes, the list's and the panes' notifications and the
    // panes' commands; everything else is left to the window.
    bool ProcessFrameMessage(CMessage& m);
    // Whether the inspector is shown (View > Inspector is checked).
    bool InspectorShown() const { return m_inspectorShown; }
    // Whether a frame of Pixel Data is shown (View > Restore Window/Level is enabled).
    bool FrameShown() const { return m_frameShown && m_framePane.Viewer().has_image(); }
    // Told the pixel under the pointer over the frame, and an empty text when there is none.
    void OnPixelUnderPointer(std::function<void(const std::wstring&)> tell) {
        m_framePane.OnPointer(std::move(tell));
    }

private:
    void LayOut();
    // The gap between the list and the inspector is a splitter: dragged, it
    // sets the inspector's height.
    bool OnSplitterMouse(CMessage& m);
    bool InSplitter(int y) const;
    void ShowInspector(bool show);
    void RedrawList();
    void Inspect();
    void ClearInspectorSelection();
    void HoldInspectorDrawing(bool hold);
    // Shows the frame pane when `element` is Pixel Data, hides it otherwise.
    // `file` is the document's file, mapped once for the move.
    void ShowFrameOf(const dcm_record& element, const char* begin, const char* end,
                     const dcm_file_mapping& file);
    std::string InspectedLine(std::size_t line, const dcm_file_mapping& file) const;
    // Every row of the document in file order: the filter's whole rows while it
    // shows its own, else the document's.
    const dcm_row_model& AllRows() const { return m_filtering ? m_all : m_document.rows(); }
    void FocusFilter();
    void HideFilter();
    // Down, Tab or Enter in the box: to the list, its first match focused.
    void EnterList();
    void ShowMatchCount();
    void ApplyFilter();
    void ClearFilter();
    void DropFilter();
    bool CopyInspectorLines();
    bool OnNotify(CMessage& m);
    bool OnCommand(CMessage& m);
    static LRESULT CALLBACK FilterKeys(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR panes);

    HWND Frame() const { return m_frame.m_hWnd; }

    const CWindow& m_frame;
    CVelkView& m_view;
    dcm_document& m_document;
    CListViewCtrl m_inspector;  // an owner-data list of the inspection's lines
    CFramePane m_framePane;     // beside it, the frame of a focused Pixel Data
    bool m_frameShown = false;
    CWindow m_filter;      // the filter box, an edit control
    CWindow m_matchCount;  // beside it: "12 of 272 rows"
    bool m_filterShown = false;
    HFONT m_fixedFont = nullptr;
    bool m_inspectorShown = false;
    int m_inspectorHeight = -1;  // as dragged; -1: two fifths of the window
    int m_splitterTop = 0;       // where the gap begins, while the inspector shows
    bool m_dragging = false;
    dcm_inspection m_inspection;
    std::vector<std::string> m_findingLines;  // the inspected element's findings, above its lines
    std::optional<dcm_file_mapping> m_paintFile;  // while the inspector paints

    // While a filter is typed: every row of the document, the filter over them,
    // and the rows it shows, which the list shows in place of the document's.
    bool m_filtering = false;
    unsigned m_filteredLoad = 0;  // the document's load count when the filter began
    dcm_row_model m_all;
    dcm_row_model m_shown;
    dcm_row_filter m_rowFilter;
};

}  // namespace velk
