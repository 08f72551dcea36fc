// CMainFrame: the program's one top-level window, an MDI frame. It holds the
// command bar, the toolbar and the add-on link in a rebar, the status bar and the
// MDI client with the document windows; handles its own commands and passes every
// other one to the active document window.
#pragma once

#include "app/mail_to_link.h"
#include "app/recent_files.h"
#include "app/settings.h"
#include "framework/command_bar.h"
#include "framework/mdi_frame.h"
#include "framework/message_loop.h"
#include "framework/update_ui.h"
#include "present/reading.h"
#include "view/command_ids.h"

namespace velk {

class CMainFrame : public CMDIFrameWindowImpl<CMainFrame>,
                   public CUpdateUI<CMainFrame>,
                   public CMessageFilter,
                   public CIdleHandler {
public:
    static constexpr CUpdateUIEntry kUpdateUI[] = {
        {ID_VIEW_TOOLBAR, kUpdateMenu},
        {ID_VIEW_STATUS_BAR, kUpdateMenu},
        {ID_VIEW_INTERPRET, kUpdateMenu | kUpdateToolBar},
        {ID_VIEW_INSPECTOR, kUpdateMenu},       // the active document's
        {ID_VIEW_RESTORE_WINDOW, kUpdateMenu},  // while the active document shows a frame
    };

    static CWindowClassInfo& GetWndClassInfo();

    CMDICommandBarCtrl m_CmdBar;
    CMailToLink m_mailToLink;

    bool ProcessWindowMessage(CMessage& m) override;
    // The frame object lives on the start-up routine's stack, not on the heap.
    void OnFinalMessage(HWND) override {}

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnIdle() override;

    // Opens the file at `path` (used as given) in a new document window.
    void OpenDocument(const wchar_t* path);
    // Lists the DICOM files below `folder` in a new folder window.
    void OpenFolder(const wchar_t* folder);

    // Remembering across runs (main_frame_settings.cpp). Until RememberIn is
    // called, before the window is created, the frame neither reads nor writes
    // settings, and has no recent files.
    void RememberIn(const CSettings& settings) { m_settings = &settings; }
    // Shows the frame where and as it was last closed, or as showCommand says
    // when nothing is remembered.
    void ShowRemembered(int showCommand);
    // Called for every file opened in a document window.
    void OnDocumentOpened(const wchar_t* path);
    const CRecentFiles& RecentFiles() const { return m_recent; }

    // The reading every document lists its file in (View > Interpret): one choice
    // for the whole frame, handed to each document and comparison it opens.
    dcm_reading Reading() const { return m_reading; }

    HWND GetMDIClient() const { return m_hWndMDIClient; }
    HWND GetToolBar() const { return m_hWndToolBar; }

private:
    LRESULT OnCreate(CMessage& m);
    LRESULT OnDestroy(CMessage& m);
    LRESULT OnDropFiles(CMessage& m);
    LRESULT OnSize(CMessage& m);
    LRESULT OnFileExit(CMessage& m);
    LRESULT OnFileNew(CMessage& m);
    LRESULT OnFileOpen(CMessage& m);
    LRESULT OnFileOpenFolder(CMessage& m);
    LRESULT OnViewDirectory(CMessage& m);
    LRESULT OnViewProblems(CMessage& m);
    LRESULT OnViewToolBar(CMessage& m);
    LRESULT OnViewStatusBar(CMessage& m);
    LRESULT OnViewInterpret(CMessage& m);
    LRESULT OnAppAbout(CMessage& m);
    LRESULT OnWindowCascade(CMessage& m);
    LRESULT OnWindowTileHorizontal(CMessage& m);
    LRESULT OnWindowTileVertical(CMessage& m);
    LRESULT OnWindowArrangeIcons(CMessage& m);
    LRESULT OnOtherCommand(CMessage& m);
    LRESULT OnInitMenuPopup(CMessage& m);
    LRESULT OnRecentFile(CMessage& m);
    void ApplyRememberedBars();
    void ApplyRememberedColumns(HWND list) const;
    void SaveSettings() const;

    void DestroyDocumentWindows();
    void CreateCommandBar();
    void CreateMailToLink();
    void CreateTopBar();
    CMessageLoop* ThreadLoop() const;

    // The settings value of View > Interpret (DWORD 1 on, 0 off).
    static constexpr const wchar_t* kInterpretValue = L"Interpret";

    HWND m_hWndToolBar = nullptr;
    // Kept per frame rather than per process, so that a second frame in the same
    // process starts with its toolbar, flag and check mark in step.
    bool m_toolBarVisible = true;
    dcm_reading m_reading = dcm_reading::standard;
    const CSettings* m_settings = nullptr;  // where to remember; null: nowhere
    CRecentFiles m_recent;
};

}  // namespace velk
