// Drives a running shell (test::ShellThread) from the test's own thread: every
// request is a message sent with a time limit, so that a shell that stops
// answering fails the test instead of hanging it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "file_drop.h"

namespace velk {

namespace test {

class ShellDriver {
public:
    // The window counts as frozen when a message waits longer than this.
    static constexpr DWORD kFrozenMs = 5000;

    explicit ShellDriver(HWND frame, DWORD shellThread)
        : m_frame(frame), m_thread(shellThread),
          m_client(::FindWindowExW(frame, nullptr, L"MDIClient", nullptr)) {}

    // Sends and waits at most `limit` ms; `answered` tells whether it came back.
    LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                 DWORD limit = 60000, bool* answered = nullptr) const {
        DWORD_PTR result = 0;
        const bool ok = ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, limit,
                                              &result) != 0;
        if (answered) *answered = ok;
        return static_cast<LRESULT>(result);
    }

    // Opens the files as a drop on the main window opens them.
    void Drop(const std::vector<std::wstring>& paths) const {
        Send(m_frame, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)));
    }
    HWND Active() const { return reinterpret_cast<HWND>(Send(m_client, WM_MDIGETACTIVE)); }
    void Command(HWND window, WORD id) const { Send(window, WM_COMMAND, id); }
    void Close(HWND document) const {
        Send(m_client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document));
    }

    static HWND ListOf(HWND document) { return ::GetWindow(document, GW_CHILD); }
    int Rows(HWND document) const { return int(Send(ListOf(document), LVM_GETITEMCOUNT)); }
    // The row's image: 0 plain, 1 expanded container, 2 collapsed container.
    int Image(HWND list, int row) const {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        Send(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    }
    // A click on the row's icon, which collapses or expands a container.
    void ClickIcon(HWND list, int row) const {
        Send(list, LVM_ENSUREVISIBLE, WPARAM(row), FALSE);
        RECT icon{};
        icon.left = LVIR_ICON;
        Send(list, LVM_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&icon));
        const LPARAM at = MAKELPARAM((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2);
        Send(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        Send(list, WM_LBUTTONUP, 0, at);
    }
    // The shell thread's windows and all their children.
    int WindowCount() const {
        int count = 0;
        ::EnumThreadWindows(m_thread, CountWithChildren, reinterpret_cast<LPARAM>(&count));
        return count;
    }
    // The find dialogs the shell shows now.
    std::vector<HWND> FindDialogs() const {
        std::vector<HWND> found;
        ::EnumThreadWindows(m_thread, TakeFindDialog, reinterpret_cast<LPARAM>(&found));
        return found;
    }

    HWND Frame() const { return m_frame; }

private:
    static BOOL CALLBACK CountChild(HWND, LPARAM count) {
        ++*reinterpret_cast<int*>(count);
        return TRUE;
    }
    static BOOL CALLBACK CountWithChildren(HWND window, LPARAM count) {
        ++*reinterpret_cast<int*>(count);
        ::EnumChildWindows(window, CountChild, count);
        return TRUE;
    }
    static BOOL CALLBACK TakeFindDialog(HWND window, LPARAM found) {
        constexpr int kFindWhatEdit = 0x480;  // edt1 of the find dialog template
        if (::GetDlgItem(window, kFindWhatEdit) && ::GetDlgItem(window, IDOK))
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        return TRUE;
    }

    HWND m_frame;
    DWORD m_thread;
    HWND m_client;
};

}  // namespace test

}  // namespace velk
