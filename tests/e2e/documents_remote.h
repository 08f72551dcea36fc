// Reaching the element list of another velk process from outside, as the
// end-to-end test and the screenshot do: finding the list, and the list messages
// that carry pointers, with memory allocated in that process.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <string>

namespace velk {

// Memory inside another process.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, std::size_t size)
        : m_process(process),
          m_address(
              ::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteBuffer() {
        if (m_address) ::VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    char* at(std::size_t offset) const { return static_cast<char*>(m_address) + offset; }
    bool write(std::size_t offset, const void* data, std::size_t n) const {
        return ::WriteProcessMemory(m_process, at(offset), data, n, nullptr) != FALSE;
    }
    bool read(std::size_t offset, void* data, std::size_t n) const {
        return ::ReadProcessMemory(m_process, at(offset), data, n, nullptr) != FALSE;
    }
    explicit operator bool() const { return m_address != nullptr; }

private:
    HANDLE m_process;
    void* m_address;
};

// The element list among a window's descendants: the owner-data report list.
inline HWND FindElementList(HWND frame) {
    HWND found = nullptr;
    ::EnumChildWindows(
        frame,
        [](HWND w, LPARAM p) -> BOOL {
            const LONG_PTR style = ::GetWindowLongPtrW(w, GWL_STYLE);
            if ((style & LVS_OWNERDATA) && (style & LVS_TYPEMASK) == LVS_REPORT) {
                *reinterpret_cast<HWND*>(p) = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The element list of any top-level window that lists rows, or null.
inline HWND FindAnyElementList() {
    HWND found = nullptr;
    ::EnumWindows(
        [](HWND top, LPARAM p) -> BOOL {
            HWND list = FindElementList(top);
            if (!list || ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) <= 0) return TRUE;
            *reinterpret_cast<HWND*>(p) = list;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The text of a cell of a list in another process (at most 259 characters).
inline std::wstring RemoteCellText(HANDLE process, HWND list, int row, int column) {
    RemoteBuffer remote(process, sizeof(LVITEMW) + 260 * sizeof(wchar_t));
    if (!remote) return L"?";
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(remote.at(sizeof(LVITEMW)));
    item.cchTextMax = 260;
    remote.write(0, &item, sizeof(item));
    const auto n = ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                  reinterpret_cast<LPARAM>(remote.at(0)));
    std::wstring text(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) remote.read(sizeof(LVITEMW), &text[0], text.size() * sizeof(wchar_t));
    return text;
}

// The middle of a row's icon, in the list's client coordinates.
inline POINT RemoteIconMiddle(HANDLE process, HWND list, int row) {
    RemoteBuffer remote(process, sizeof(RECT));
    RECT r{};
    r.left = LVIR_ICON;
    remote.write(0, &r, sizeof(r));
    ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(remote.at(0)));
    remote.read(0, &r, sizeof(r));
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A press and release of the left button there, queued as the mouse queues them.
inline void PostClick(HWND list, POINT at) {
    ::PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    ::PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

}  // namespace velk
