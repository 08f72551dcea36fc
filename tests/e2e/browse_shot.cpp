// browse_shot filter TEXT | inspect ROW|end | pixel UP | compare FILE | menu KEY | directory -:
// in the element list of a running velk (the first one found on the desktop),
// types TEXT into the filter box, or opens the inspector on row ROW, or compares
// the document with FILE through Compare With and its Open dialog, or opens the
// menu whose access key is KEY with Alt+KEY, as typed, or shows the DICOMDIR's
// tree; pixel: the inspector on the row UP rows above the last (Pixel Data) with
// the pointer over the middle of its frame. Exits 0 when it got that far, 1
// otherwise. Used to take pictures of the three (tools/screenshot).
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <cwctype>
#include <string>

#include "app/resource.h"
#include "documents_remote.h"

using namespace velk;

namespace {

// Waits up to five seconds for a top-level window of the class and title.
HWND WaitForWindow(const wchar_t* className, const wchar_t* title) {
    for (int i = 0; i < 50; ++i) {
        if (HWND w = ::FindWindowW(className, title)) return w;
        ::Sleep(100);
    }
    return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 1;
    const std::wstring mode = argv[1];
    const HWND list = FindAnyElementList();
    if (!list) return 1;
    const HWND document = ::GetParent(list);
    if (mode == L"filter") {
        ::SendMessageW(document, WM_COMMAND, ID_VIEW_FILTER, 0);
        const HWND box = ::GetDlgItem(document, 0x7F01);
        if (!box) return 1;
        // Typed, as a user types it.
        for (const wchar_t* c = argv[2]; *c; ++c) ::SendMessageW(box, WM_CHAR, *c, 1);
        return 0;
    }
    if (mode == L"pixel") {
        ::SendMessageW(list, WM_KEYDOWN, VK_END, 1);
        for (long up = std::wcstol(argv[2], nullptr, 10); up > 0; --up)
            ::SendMessageW(list, WM_KEYDOWN, VK_UP, 1);
        ::SendMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
        const HWND pane = ::GetDlgItem(document, 0x7F04);
        RECT area{};
        if (!pane || !::GetWindowRect(pane, &area)) return 1;
        ::SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2 + 9);
        return 0;
    }
    if (mode == L"inspect") {
        // ROW, or "end" for the last row.
        const bool last = std::wstring(argv[2]) == L"end";
        const int row = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
        ::SendMessageW(list, WM_KEYDOWN, last ? VK_END : VK_HOME, 1);
        for (int i = 0; i < row; ++i) ::SendMessageW(list, WM_KEYDOWN, VK_DOWN, 1);
        ::SendMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
        return ::GetDlgItem(document, 0x7F02) ? 0 : 1;
    }
    if (mode == L"menu") {
        const HWND frame = ::GetAncestor(document, GA_ROOT);
        ::SetForegroundWindow(frame);
        const WORD keys[] = {VK_MENU, WORD(::towupper(argv[2][0]))};
        INPUT input[4] = {};
        for (int i = 0; i < 4; ++i) {
            input[i].type = INPUT_KEYBOARD;
            input[i].ki.wVk = keys[i < 2 ? i : 3 - i];
            if (i >= 2) input[i].ki.dwFlags = KEYEVENTF_KEYUP;
        }
        return ::SendInput(4, input, sizeof(INPUT)) == 4 ? 0 : 1;
    }
    if (mode == L"directory") {
        // View > Directory on the DICOMDIR the document shows (ARGUMENT unused).
        ::SendMessageW(::GetAncestor(document, GA_ROOT), WM_COMMAND, ID_VIEW_DIRECTORY, 0);
        return 0;
    }
    if (mode == L"compare") {
        ::PostMessageW(document, WM_COMMAND, ID_FILE_COMPARE, 0);
        const HWND dialog = WaitForWindow(L"#32770", L"Open");
        if (!dialog) return 1;
        // The dialog's file name box (the edit of its combo box, extended or
        // not, or the older dialog's edit), once the dialog has made it.
        HWND edit = nullptr;
        for (int i = 0; i < 50 && !edit; ++i) {
            if (HWND combo = ::GetDlgItem(dialog, 0x47C)) {
                edit = reinterpret_cast<HWND>(::SendMessageW(combo, CBEM_GETEDITCONTROL, 0, 0));
                if (!edit) edit = ::FindWindowExW(combo, nullptr, L"Edit", nullptr);
            }
            if (!edit) edit = ::GetDlgItem(dialog, 0x480);
            if (!edit) ::Sleep(100);
        }
        if (!edit) return 1;
        // The dialog empties the box as it finishes starting (listing its
        // folder, a second or more under wine), and an OK before then is lost:
        // the name is given again until the dialog has gone. The comparison is
        // made once it has; until then the picture would show the dialog.
        for (int i = 0; i < 100 && ::IsWindow(dialog); ++i) {
            if (i % 10 == 0) {
                ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
                ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            }
            ::Sleep(100);
        }
        return ::IsWindow(dialog) ? 1 : 0;
    }
    return 1;
}
