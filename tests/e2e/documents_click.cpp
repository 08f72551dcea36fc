// documents_click ROW [TOP]: in the element list of a running velk (the first
// one found on the desktop), scrolls so that row TOP (default ROW) is the first
// row shown, and clicks the icon of row ROW, which collapses or expands it.
// Exits 0 when it clicked, 1 when no list or row was found. Used to take
// pictures of the list with a container collapsed.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>

#include "documents_remote.h"

using namespace velk;

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 1;
    const int row = static_cast<int>(std::wcstol(argv[1], nullptr, 10));
    const int top = argc > 2 ? static_cast<int>(std::wcstol(argv[2], nullptr, 10)) : row;
    HWND list = FindAnyElementList();
    const int count = list ? static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
    if (row < 0 || row >= count || top < 0 || top >= count) return 1;

    // Down to the end, then back up until `top` shows: it is then the first row.
    ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(count - 1), FALSE);
    ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(top), FALSE);
    ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);

    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    HANDLE process =
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return 1;
    PostClick(list, RemoteIconMiddle(process, list, row));
    ::CloseHandle(process);
    return 0;
}
