#pragma once
// CFileOpenDialog: the platform's file-open dialog, Explorer style, sizable, with
// a hook procedure of the framework's (which leaves every message to the dialog).
// The caller's flags get OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING added.
#include <windows.h>
#include <commdlg.h>

namespace velk {

class CFileOpenDialog {
public:
    static constexpr DWORD kAddedFlags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;

    // filter: pairs of zero-terminated strings ending in an empty one, or null for
    // none; defaultExtension and initialName may be null.
    explicit CFileOpenDialog(DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                             const wchar_t* defaultExtension = nullptr,
                             const wchar_t* initialName = nullptr, const wchar_t* filter = nullptr);
    CFileOpenDialog(const CFileOpenDialog&) = delete;
    CFileOpenDialog& operator=(const CFileOpenDialog&) = delete;

    // Shows the dialog modally, owned by the given window (by default the active
    // one). Answers IDOK when the user chose a file, IDCANCEL when the user
    // cancelled or the dialog failed (for example, a path too long for the buffer).
    INT_PTR DoModal(HWND owner = ::GetActiveWindow());

    OPENFILENAMEW m_ofn{};
    wchar_t m_szFileName[MAX_PATH] = {};  // the chosen full path
    wchar_t m_szFileTitle[256] = {};      // its file name

private:
    static UINT_PTR CALLBACK HookProc(HWND, UINT, WPARAM, LPARAM);
};

}  // namespace velk
