#include "app/about_dlg.h"

#include <cwchar>
#include <memory>
#include <new>

namespace velk {

namespace {

// The file version of the running program as "major.minor.build.revision", from
// its version resource's fixed part. False when the program has no readable
// version resource.
bool ReadOwnFileVersion(wchar_t (&text)[128]) {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;

    DWORD unused = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &unused);
    if (size == 0) return false;
    // Twice the size: room for the conversions some systems make in place.
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[2 * size]());
    if (!block) return false;
    if (GetFileVersionInfoW(path, 0, size, block.get()) != TRUE) return false;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueW(block.get(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize))
        return false;
    if (fixed == nullptr || fixedSize < sizeof(VS_FIXEDFILEINFO)) return false;

    std::swprintf(text, 128, L"%d.%d.%d.%d", HIWORD(fixed->dwFileVersionMS),
                  LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                  LOWORD(fixed->dwFileVersionLS));
    return true;
}

}  // namespace

bool CAboutDlg::ProcessWindowMessage(CMessage& m) {
    using Map = MessageMap<CAboutDlg>;
    static const Map::Entry map[] = {
        Map::Message(WM_INITDIALOG, &CAboutDlg::OnInitDialog),
        Map::Command(IDOK, &CAboutDlg::OnCloseCommand),
        Map::Command(IDCANCEL, &CAboutDlg::OnCloseCommand),
    };
    return Map::Route(*this, map, m) || CDialogImpl::ProcessWindowMessage(m);
}

LRESULT CAboutDlg::OnInitDialog(CMessage&) {
    CenterWindow(GetParent());
    wchar_t version[128] = {};
    if (!ReadOwnFileVersion(version)) return FALSE;  // the focus is left alone
    SetDlgItemText(IDC_VERSION, version);
    return TRUE;  // the dialog manager focuses the default control
}

LRESULT CAboutDlg::OnCloseCommand(CMessage& m) {
    EndDialog(m.CommandId());
    return 0;
}

}  // namespace velk
