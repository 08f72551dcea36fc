#include "view/find_dialog.h"

#include <commdlg.h>

#include <algorithm>

#include "view/find_list.h"
#include "view/velk_view.h"
#include "view/wait_cursor.h"

namespace velk {

UINT FindDialogMessage() {
    static const UINT message = ::RegisterWindowMessageW(FINDMSGSTRINGW);
    return message;
}

void CFindDialogs::Opened(HWND dialog) {
    m_open.erase(
        std::remove_if(m_open.begin(), m_open.end(), [](HWND d) { return !::IsWindow(d); }),
        m_open.end());
    if (dialog) m_open.push_back(dialog);
}

void CFindDialogs::CloseAll() {
    for (HWND dialog : m_open)
        if (::IsWindow(dialog)) ::DestroyWindow(dialog);
    m_open.clear();
}

void CVelkView::PrepareFindRecord() {
    m_findReplace = FINDREPLACEW{};
    m_findReplace.lStructSize = sizeof(FINDREPLACEW);
    m_findReplace.hwndOwner = m_hWnd;
    m_findWhat[0] = L'\0';
}

LRESULT CVelkView::ShowFindDialog(CMessage&) {
    m_findReplace.lpstrFindWhat = m_findWhat;
    m_findReplace.wFindWhatLen = kFindWhatLength;
    // Downward and ignoring case each time; the last text is offered again.
    m_findReplace.Flags = FR_DOWN | FR_HIDEWHOLEWORD;
    m_findDialog = ::FindTextW(&m_findReplace);
    m_findDialogs.Opened(m_findDialog);
    return 0;
}

LRESULT CVelkView::OnFindDialogMessage(CMessage& m) {
    // Only the notifications of this view's own record.
    if (reinterpret_cast<const FINDREPLACEW*>(m.lParam) != &m_findReplace) return 0;
    if (m_findReplace.Flags & FR_DIALOGTERM)
        m_findDialog = nullptr;
    else if (m_findReplace.Flags & FR_FINDNEXT)
        FindNext();
    return 0;
}

void CVelkView::FindNext() {
    const CWaitCursor wait;
    velk::FindNext(m_hWnd, Rows(), File(), m_findReplace);
}

LRESULT CVelkView::OnDestroyFindDialogs(CMessage& m) {
    m_findDialogs.CloseAll();
    m_findDialog = nullptr;
    m.handled = false;  // the control's own WM_DESTROY still runs
    return 0;
}

BOOL CVelkView::PreTranslateMessage(MSG* msg) {
    // Tab, Enter and Escape in the modeless dialog.
    return m_findDialog && ::IsDialogMessageW(m_findDialog, msg);
}

}  // namespace velk
