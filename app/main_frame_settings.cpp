// What the main frame remembers between runs: its placement, the View toggles,
// the list's column widths and the recent files (settings.h names the values).
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <cwchar>
#include <string>
#include <vector>

#include "app/child_frame.h"
#include "app/documents.h"
#include "app/main_frame.h"
#include "app/resource.h"
#include "present/cell_text.h"
#include "view/screen_scale.h"

namespace velk {

namespace {

constexpr const wchar_t* kPlacementValue = L"Placement";
constexpr const wchar_t* kToolBarValue = L"Toolbar";
constexpr const wchar_t* kStatusBarValue = L"StatusBar";
constexpr const wchar_t* kColumnWidthsValue = L"ColumnWidths";
// Wider than any screen: a stored width beyond it is not one velk wrote.
constexpr int kWidestColumn = 10000;

// The placement last stored, when it is whole and lies on a monitor of this
// machine (a screen since unplugged would keep the frame out of sight).
bool RememberedPlacement(const CSettings& settings, WINDOWPLACEMENT* placement) {
    if (!settings.ReadBlock(kPlacementValue, placement, sizeof(*placement))) return false;
    const RECT& r = placement->rcNormalPosition;
    return placement->length == sizeof(*placement) && r.right > r.left && r.bottom > r.top &&
           ::MonitorFromRect(&r, MONITOR_DEFAULTTONULL) != nullptr;
}

// "w0,w1,...", one width per column; empty when any is out of bounds or missing.
std::vector<int> ParseWidths(const std::wstring& text) {
    std::vector<int> widths;
    const wchar_t* p = text.c_str();
    while (*p && widths.size() < dcm_column_count) {
        wchar_t* end = nullptr;
        const long width = std::wcstol(p, &end, 10);
        if (end == p || width < 0 || width > kWidestColumn) return {};
        widths.push_back(static_cast<int>(width));
        p = *end == L',' ? end + 1 : end;
        if (*end != L',' && *end != L'\0') return {};
    }
    if (*p || widths.size() != dcm_column_count) return {};
    return widths;
}

// The element list of a document window: its child that has a header.
HWND ListOfDocument(HWND document) {
    for (HWND child = ::GetWindow(document, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::SendMessageW(child, LVM_GETHEADER, 0, 0)) return child;
    }
    return nullptr;
}

bool StyleVisible(HWND window) {
    return window && (::GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE);
}

}  // namespace

void CMainFrame::ShowRemembered(int showCommand) {
    WINDOWPLACEMENT placement{};
    if (!m_settings || !RememberedPlacement(*m_settings, &placement)) {
        ShowWindow(showCommand);
        return;
    }
    // The caller's choice wins, unless it is the ordinary one; a frame closed
    // minimised comes back restored.
    const bool ordinary = showCommand == SW_SHOWNORMAL || showCommand == SW_SHOWDEFAULT;
    if (!ordinary)
        placement.showCmd = static_cast<UINT>(showCommand);
    else if (placement.showCmd != SW_SHOWMAXIMIZED)
        placement.showCmd = SW_SHOWNORMAL;
    placement.flags = 0;
    ::SetWindowPlacement(m_hWnd, &placement);
}

void CMainFrame::ApplyRememberedBars() {
    if (!m_settings) return;
    if (m_settings->Number(kToolBarValue) == 0u && m_toolBarVisible)
        SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    // Not through the command: it reads the bar's visibility, and nothing is
    // visible while the frame is being created.
    if (m_settings->Number(kStatusBarValue) == 0u) {
        ::ShowWindow(m_hWndStatusBar, SW_HIDE);
        UISetCheck(ID_VIEW_STATUS_BAR, false);
    }
    m_recent.Load(*m_settings);
    if (m_settings->Number(kInterpretValue) == 1u) {
        m_reading = dcm_reading::interpret;
        UISetCheck(ID_VIEW_INTERPRET, true);
    }
}

void CMainFrame::ApplyRememberedColumns(HWND list) const {
    std::optional<std::wstring> text = m_settings->Text(kColumnWidthsValue);
    if (!list || !text) return;
    const std::vector<int> widths = ParseWidths(*text);
    for (std::size_t i = 0; i < widths.size(); ++i)
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(ScaleToScreen(widths[i]), 0));
}

// Called as the frame goes, its windows still whole (hidden already: the
// status bar's own style says whether it is shown).
void CMainFrame::SaveSettings() const {
    if (!m_settings) return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (::GetWindowPlacement(m_hWnd, &placement))
        m_settings->SetBlock(kPlacementValue, &placement, sizeof(placement));
    m_settings->SetNumber(kToolBarValue, m_toolBarVisible ? 1 : 0);
    m_settings->SetNumber(kStatusBarValue, StyleVisible(m_hWndStatusBar) ? 1 : 0);
    // The widths of the document in front, as the user left them, in pixels at
    // 96 dpi: a screen scaled otherwise next time gets them scaled.
    HWND active = reinterpret_cast<HWND>(::SendMessageW(m_hWndMDIClient, WM_MDIGETACTIVE, 0, 0));
    if (HWND list = active ? ListOfDocument(active) : nullptr) {
        std::wstring widths;
        for (int i = 0; i < dcm_column_count; ++i) {
            if (i) widths += L',';
            const int width = static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0));
            widths += std::to_wstring(::MulDiv(width, 96, ScreenDpi()));
        }
        m_settings->SetText(kColumnWidthsValue, widths);
    }
}

void CMainFrame::OnDocumentOpened(const wchar_t* path) {
    if (!m_settings) return;
    HWND active = reinterpret_cast<HWND>(::SendMessageW(m_hWndMDIClient, WM_MDIGETACTIVE, 0, 0));
    if (active) ApplyRememberedColumns(ListOfDocument(active));
    // Only files that gave bytes: a name that opened nothing is no recent file.
    const CChildFrame* document = CChildFrame::Of(active);
    if (!path || !*path || !document ||
        document->m_document.rows().load_facts().open != dcm_open_failure::none)
        return;
    m_recent.Add(path);
    m_recent.Save(*m_settings);
}

// The File menu, of the frame or of a document, shows the recent files as it opens.
LRESULT CMainFrame::OnInitMenuPopup(CMessage& m) {
    m.handled = false;  // the update-UI table still sees it
    const CChildFrame* document = CChildFrame::Of(MDIGetActive());
    UISetCheck(ID_VIEW_INSPECTOR, document && document->m_panes.InspectorShown());
    UIEnable(ID_VIEW_RESTORE_WINDOW, document && document->m_panes.FrameShown());
    if (m_settings && !HIWORD(m.lParam))
        m_recent.ShowIn(reinterpret_cast<HMENU>(m.wParam), ID_FILE_MRU_FIRST);
    return 0;
}

LRESULT CMainFrame::OnRecentFile(CMessage& m) {
    const std::size_t index = LOWORD(m.wParam) - ID_FILE_MRU_FIRST;
    if (index >= m_recent.Paths().size()) return 0;
    const std::wstring path = m_recent.Paths()[index];
    if (!::PathFileExistsW(path.c_str())) {
        m_recent.Remove(index);
        if (m_settings) m_recent.Save(*m_settings);
        const std::wstring text =
            L"The file " + path +
            L" no longer exists.\nIt has been removed from the list of recent files.";
        ::MessageBoxW(m_hWnd, text.c_str(), L"velk", MB_ICONWARNING | MB_OK);
        return 0;
    }
    OpenDocument(path.c_str());
    return 0;
}

}  // namespace velk
