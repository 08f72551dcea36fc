#include "app/main_frame.h"

#include <shellapi.h>

#include <vector>

#include "app/about_dlg.h"
#include "app/child_frame.h"
#include "app/directory_frame.h"
#include "app/documents.h"
#include "app/folder_frame.h"
#include "app/problems_frame.h"
#include "app/resource.h"
#include "app/status_panes.h"
#include "framework/bars.h"
#include "view/screen_scale.h"

namespace velk {

// The frame's numbers that its behaviour fixes: a bar's toggle command carries
// the bar's window number, bands are numbered from the framework's first band,
// and a system command's prompt string is found from the command's number.
static_assert(ID_VIEW_TOOLBAR == IDW_TOOLBAR && ID_VIEW_STATUS_BAR == IDW_STATUS_BAR);
static_assert(IDW_BAND_FIRST == kFirstBandId);
static_assert(IDS_SC_SIZE == (IDS_SYSTEM_MENU_BASE | ((SC_SIZE >> 4) & 0xFFF)));

namespace {

constexpr DWORD kCommandBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                   CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE;
constexpr DWORD kToolBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN |
                                TBSTYLE_TOOLTIPS | TBSTYLE_FLAT;
constexpr DWORD kReBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                              RBS_VARHEIGHT | RBS_BANDBORDERS | RBS_AUTOSIZE | CCS_NODIVIDER;
constexpr DWORD kStatusBarStyle =
    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | SBARS_SIZEGRIP;

constexpr const wchar_t* kAddOnLabel = L"Send Orbel Explorer Add-on (OEA)";
// The width within which the link measures its label.
constexpr LONG kLinkMeasureWidth = 1024;

// The toolbar (table and strip) drawn for the screen's scaling.
UINT ToolBarForScreen() {
    switch (ArtSizeFor(ScreenDpi())) {
    case ArtSize::percent150: return IDR_TOOLBAR_150;
    case ArtSize::percent200: return IDR_TOOLBAR_200;
    case ArtSize::percent100: break;
    }
    return IDR_MAINFRAME;
}

}  // namespace

CWindowClassInfo& CMainFrame::GetWndClassInfo() {
    static CWindowClassInfo info = CWindowClassInfo::Frame(IDR_MAINFRAME);
    return info;
}

bool CMainFrame::ProcessWindowMessage(CMessage& m) {
    using Map = MessageMap<CMainFrame>;
    static const Map::Entry map[] = {
        Map::Message(WM_CREATE, &CMainFrame::OnCreate),
        Map::Message(WM_DESTROY, &CMainFrame::OnDestroy),
        Map::Message(WM_DROPFILES, &CMainFrame::OnDropFiles),
        Map::Message(WM_SIZE, &CMainFrame::OnSize),
        Map::Command(ID_APP_EXIT, &CMainFrame::OnFileExit),
        Map::Command(ID_FILE_NEW, &CMainFrame::OnFileNew),
        Map::Command(ID_FILE_OPEN, &CMainFrame::OnFileOpen),
        Map::Command(ID_FILE_OPEN_FOLDER, &CMainFrame::OnFileOpenFolder),
        Map::Command(ID_VIEW_DIRECTORY, &CMainFrame::OnViewDirectory),
        Map::Command(ID_VIEW_PROBLEMS, &CMainFrame::OnViewProblems),
        Map::Command(ID_VIEW_TOOLBAR, &CMainFrame::OnViewToolBar),
        Map::Command(ID_VIEW_STATUS_BAR, &CMainFrame::OnViewStatusBar),
        Map::Command(ID_VIEW_INTERPRET, &CMainFrame::OnViewInterpret),
        Map::Command(ID_APP_ABOUT, &CMainFrame::OnAppAbout),
        Map::Command(ID_WINDOW_CASCADE, &CMainFrame::OnWindowCascade),
        Map::Command(ID_WINDOW_TILE_HORZ, &CMainFrame::OnWindowTileHorizontal),
        Map::Command(ID_WINDOW_TILE_VERT, &CMainFrame::OnWindowTileVertical),
        Map::Command(ID_WINDOW_ARRANGE, &CMainFrame::OnWindowArrangeIcons),
        Map::CommandRange(ID_FILE_MRU_FIRST, ID_FILE_MRU_LAST, &CMainFrame::OnRecentFile),
        Map::Message(WM_INITMENUPOPUP, &CMainFrame::OnInitMenuPopup),
        Map::Message(WM_COMMAND, &CMainFrame::OnOtherCommand),
        Map::Chain(&CMainFrame::RouteUpdateUI),
    };
    return Map::Route(*this, map, m) || CMDIFrameWindowImpl::ProcessWindowMessage(m);
}

LRESULT CMainFrame::OnCreate(CMessage&) {
    CreateCommandBar();
    m_hWndToolBar =
        CreateToolBarFromResource(m_hWnd, ToolBarForScreen(), false, kToolBarStyle, IDW_TOOLBAR);
    CreateMailToLink();
    CreateTopBar();
    CreateFrameStatusBar(IDS_READY, kStatusBarStyle, IDW_STATUS_BAR);
    CreateMDIClient(nullptr, IDW_MDI_CLIENT, IDW_FIRST_MDI_CHILD);
    QuietMaximizedSwitches(m_hWndMDIClient);
    m_CmdBar.SetMDIClient(m_hWndMDIClient);

    UIAddToolBar(m_hWndToolBar);
    UISetCheck(ID_VIEW_TOOLBAR, true);
    UISetCheck(ID_VIEW_STATUS_BAR, true);
    UISetCheck(ID_VIEW_INTERPRET, m_reading == dcm_reading::interpret);

    if (CMessageLoop* loop = ThreadLoop()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }
    ApplyRememberedBars();
    return 0;
}

// The menu is drawn by the command bar, with the toolbar's images beside its
// commands; the frame's own menu bar goes.
void CMainFrame::CreateCommandBar() {
    m_CmdBar.Create(m_hWnd, nullptr, nullptr, kCommandBarStyle);
    m_CmdBar.AttachMenu(GetMenu());
    m_CmdBar.LoadImages(ToolBarForScreen());
    SetMenu(nullptr);
}

void CMainFrame::CreateMailToLink() {
    RECT measure = {0, 0, kLinkMeasureWidth, 0};
    m_mailToLink.Create(m_hWnd, &measure, nullptr, 0, 0, 0U);
    m_mailToLink.SetLabel(kAddOnLabel);
    m_mailToLink.SetHyperLink(kAddOnLabel);
    SIZE ideal = {};
    m_mailToLink.GetIdealSize(&ideal);
    m_mailToLink.SetWindowPos(nullptr, 0, 0, ideal.cx, ideal.cy, SWP_NOMOVE | SWP_NOZORDER);
}

// Bands 0xEB00 (menu), 0xEB01 (toolbar, on a new row) and 0xEB02 (the link, beside
// the toolbar).
void CMainFrame::CreateTopBar() {
    CreateTopReBar(kReBarStyle, IDW_REBAR);
    AddTopBarBand(m_CmdBar, false);
    AddTopBarBand(m_hWndToolBar, true);
    AddTopBarBand(m_mailToLink, false);
    SizeTopBarBands();
}

LRESULT CMainFrame::OnDestroy(CMessage& m) {
    SaveSettings();
    DestroyDocumentWindows();
    // The loop may outlive the frame; it must not call a frame that has gone.
    if (CMessageLoop* loop = ThreadLoop()) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
    m.handled = false;  // the MDI frame ends the loop
    return 0;
}

// The document windows go first, each through the MDI client while the client
// is whole. Under wine, a shell run on a thread of its own and closed with
// documents still in the client left its process unable to exit: the ended
// thread still held the heap lock. Closed this way, it exits.
void CMainFrame::DestroyDocumentWindows() {
    std::vector<HWND> documents;
    for (HWND w = ::GetWindow(m_hWndMDIClient, GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
        if (!::GetWindow(w, GW_OWNER)) documents.push_back(w);  // not an icon title
    }
    for (HWND document : documents) {
        ::SendMessageW(m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
    }
}

CMessageLoop* CMainFrame::ThreadLoop() const { return GetAppModule().GetMessageLoop(); }

BOOL CMainFrame::PreTranslateMessage(MSG* msg) { return PreTranslateFrameMessage(msg); }

BOOL CMainFrame::OnIdle() {
    UIUpdateToolBar();
    // The document windows show their panes; once the last has gone, the bar is
    // the prompt pane alone again.
    if (!MDIGetActive()) ShowNoDocumentPanes(m_hWndStatusBar);
    return FALSE;
}

void CMainFrame::OpenDocument(const wchar_t* path) { OpenDocumentWindow(*this, path); }

void CMainFrame::OpenFolder(const wchar_t* folder) {
    CFolderFrame::CreateIn(m_hWndMDIClient, folder,
                           [this](const std::wstring& path) { OpenDocument(path.c_str()); });
}

LRESULT CMainFrame::OnFileOpenFolder(CMessage&) {
    std::wstring folder;
    if (ChooseFolder(m_hWnd, folder)) OpenFolder(folder.c_str());
    return 0;
}

// The active document's file read as a DICOMDIR; a file that is none shows why.
LRESULT CMainFrame::OnViewDirectory(CMessage&) {
    const CChildFrame* document = CChildFrame::Of(MDIGetActive());
    const wchar_t* path = document ? document->m_document.file() : nullptr;
    if (!path || !*path) return 0;
    CDirectoryFrame::CreateIn(m_hWndMDIClient, path,
                              [this](const std::wstring& file) { OpenDocument(file.c_str()); });
    return 0;
}

LRESULT CMainFrame::OnViewProblems(CMessage&) {
    CChildFrame* document = CChildFrame::Of(MDIGetActive());
    if (!document || !document->m_document.file()) return 0;
    CProblemsFrame::CreateIn(m_hWndMDIClient, document->m_hWnd, document->m_document.path(),
                             document->m_document.problems().findings());
    return 0;
}

LRESULT CMainFrame::OnDropFiles(CMessage& m) {
    OpenDroppedDocuments(*this, reinterpret_cast<HDROP>(m.wParam));
    return 0;
}

// Laid out as the frame lays out, then the status bar drawn whole: moved, it
// keeps the pixels of its old place, its size grip among them (maximised, the
// grip would stay where the bar's end was).
LRESULT CMainFrame::OnSize(CMessage& m) {
    if (m.wParam != SIZE_MINIMIZED) UpdateLayout();
    if (m_hWndStatusBar) ::InvalidateRect(m_hWndStatusBar, nullptr, TRUE);
    return 0;
}

LRESULT CMainFrame::OnFileExit(CMessage&) {
    PostMessage(WM_CLOSE);
    return 0;
}

LRESULT CMainFrame::OnFileNew(CMessage&) {
    NewDocumentWindow(*this);
    return 0;
}

LRESULT CMainFrame::OnFileOpen(CMessage&) {
    OpenDocumentFromDialog(*this);
    return 0;
}

// Only the toolbar's band comes and goes; the menu and the link stay.
LRESULT CMainFrame::OnViewToolBar(CMessage&) {
    m_toolBarVisible = !m_toolBarVisible;
    int band = FindReBarBand(m_hWndTopBar, kFirstBandId + 1);
    if (band >= 0) ::SendMessageW(m_hWndTopBar, RB_SHOWBAND, band, m_toolBarVisible);
    UISetCheck(ID_VIEW_TOOLBAR, m_toolBarVisible);
    UpdateLayout();
    return 0;
}

LRESULT CMainFrame::OnViewStatusBar(CMessage&) {
    bool visible = !::IsWindowVisible(m_hWndStatusBar);
    ::ShowWindow(m_hWndStatusBar, visible ? SW_SHOWNOACTIVATE : SW_HIDE);
    UISetCheck(ID_VIEW_STATUS_BAR, visible);
    UpdateLayout();
    return 0;
}

// One reading for every document: each one lists its file again at once.
LRESULT CMainFrame::OnViewInterpret(CMessage&) {
    const bool on = m_reading != dcm_reading::interpret;
    m_reading = on ? dcm_reading::interpret : dcm_reading::standard;
    UISetCheck(ID_VIEW_INTERPRET, on);
    UIUpdateToolBar();
    if (m_settings) m_settings->SetNumber(kInterpretValue, on ? 1 : 0);
    ApplyReadingIn(m_hWndMDIClient, m_reading);
    return 0;
}

LRESULT CMainFrame::OnAppAbout(CMessage&) {
    CAboutDlg dialog;
    dialog.DoModal(::GetActiveWindow());
    return 0;
}

LRESULT CMainFrame::OnWindowCascade(CMessage&) {
    MDICascade(0);
    return 0;
}

LRESULT CMainFrame::OnWindowTileHorizontal(CMessage&) {
    MDITile(MDITILE_HORIZONTAL);
    return 0;
}

LRESULT CMainFrame::OnWindowTileVertical(CMessage&) {
    MDITile(MDITILE_VERTICAL);
    return 0;
}

LRESULT CMainFrame::OnWindowArrangeIcons(CMessage&) {
    MDIIconArrange();
    return 0;
}

// A command that is not the frame's goes to the active document window, which
// hands it to its view. It then still reaches the update-UI table and the default
// frame processing, which activates a document window chosen from the window list.
LRESULT CMainFrame::OnOtherCommand(CMessage& m) {
    if (HWND active = MDIGetActive()) ::SendMessageW(active, WM_COMMAND, m.wParam, m.lParam);
    m.handled = false;
    return 0;
}

}  // namespace velk
