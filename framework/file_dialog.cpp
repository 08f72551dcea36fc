#include "file_dialog.h"

#include <cwchar>

namespace velk {

CFileOpenDialog::CFileOpenDialog(DWORD flags, const wchar_t* defaultExtension,
                                 const wchar_t* initialName, const wchar_t* filter) {
    if (initialName) std::swprintf(m_szFileName, MAX_PATH, L"%ls", initialName);
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = 256;
    m_ofn.lpstrDefExt = defaultExtension;
    m_ofn.lpstrFilter = filter;
    m_ofn.Flags = flags | kAddedFlags;
    m_ofn.lpfnHook = &HookProc;
}

INT_PTR CFileOpenDialog::DoModal(HWND owner) {
    m_ofn.hwndOwner = owner;
    m_ofn.hInstance = nullptr;
    return ::GetOpenFileNameW(&m_ofn) ? IDOK : IDCANCEL;
}

UINT_PTR CALLBACK CFileOpenDialog::HookProc(HWND, UINT, WPARAM, LPARAM) {
    return 0;  // the dialog's own processing for everything
}

}  // namespace velk
