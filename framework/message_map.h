#pragma once
// Message maps. Each window class writes its own ProcessWindowMessage as
//
//     bool CMyWindow::ProcessWindowMessage(CMessage& m)
//     {
//         using Map = MessageMap<CMyWindow>;
//         static const Map::Entry map[] = {
//             Map::Message(WM_CREATE, &CMyWindow::OnCreate),
//             Map::Command(ID_FILE_OPEN, &CMyWindow::OnFileOpen),
//             Map::Notify(TTN_GETDISPINFOW, &CMyWindow::OnToolTipText),
//             Map::Chain(&CMyWindow::RouteUpdateUI),
//         };
//         return Map::Route(*this, map, m) || CBase::ProcessWindowMessage(m);
//     }
//
// The entries are tried in table order, then the base class's map; when nobody
// takes the message, the window procedure hands it to the default procedure.
// A handler takes the message by returning with m.handled left true; it clears
// m.handled to let the search go on (for example to add to the default processing).
#include <windows.h>

#include <cstddef>

namespace velk {

struct CMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool handled = true;

    CMessage(HWND window, UINT msg, WPARAM w, LPARAM l)
        : hwnd(window), message(msg), wParam(w), lParam(l) {}

    // WM_COMMAND: the command or control identifier, the notification code, the control.
    WORD CommandId() const { return LOWORD(wParam); }
    WORD CommandCode() const { return HIWORD(wParam); }
    HWND CommandControl() const { return reinterpret_cast<HWND>(lParam); }
    // WM_NOTIFY (and its reflected form): the notification header.
    NMHDR* Notification() const { return reinterpret_cast<NMHDR*>(lParam); }
};

template <class T>
class MessageMap {
public:
    using Handler = LRESULT (T::*)(CMessage&);
    // A chained map: answers whether it took the message (and then set m.result).
    using ChainHandler = bool (T::*)(CMessage&);

    struct Entry {
        enum class Kind { Message, Command, Notify, Chain };
        Kind kind;
        UINT message;  // Message: the message; Notify: WM_NOTIFY or its reflected form
        UINT first;    // Command: identifier range; Notify: code range
        UINT last;
        Handler handler;
        ChainHandler chain;
    };

    static Entry Message(UINT message, Handler handler) {
        return Entry{Entry::Kind::Message, message, 0, 0, handler, nullptr};
    }
    // WM_COMMAND with this identifier, from a menu, an accelerator or a control.
    static Entry Command(UINT id, Handler handler) { return CommandRange(id, id, handler); }
    static Entry CommandRange(UINT first, UINT last, Handler handler) {
        return Entry{Entry::Kind::Command, WM_COMMAND, first, last, handler, nullptr};
    }
    // WM_NOTIFY with this notification code (any control).
    static Entry Notify(UINT code, Handler handler) { return NotifyAs(WM_NOTIFY, code, handler); }
    // A notification of the given message (WM_NOTIFY, or its reflected form 0x204E).
    static Entry NotifyAs(UINT message, UINT code, Handler handler) {
        return Entry{Entry::Kind::Notify, message, code, code, handler, nullptr};
    }
    static Entry Chain(ChainHandler chain) {
        return Entry{Entry::Kind::Chain, 0, 0, 0, nullptr, chain};
    }

    template <std::size_t N>
    static bool Route(T& target, const Entry (&entries)[N], CMessage& m) {
        return Route(target, entries, N, m);
    }

    static bool Route(T& target, const Entry* entries, std::size_t count, CMessage& m) {
        for (std::size_t i = 0; i < count; ++i) {
            const Entry& entry = entries[i];
            if (entry.kind == Entry::Kind::Chain) {
                if ((target.*entry.chain)(m)) return true;
                continue;
            }
            if (!Matches(entry, m)) continue;
            m.handled = true;
            const LRESULT result = (target.*entry.handler)(m);
            if (m.handled) {
                m.result = result;
                return true;
            }
        }
        return false;
    }

private:
    static bool Matches(const Entry& entry, const CMessage& m) {
        if (m.message != entry.message) return false;
        switch (entry.kind) {
        case Entry::Kind::Command:
            return m.CommandId() >= entry.first && m.CommandId() <= entry.last;
        case Entry::Kind::Notify: {
            const NMHDR* header = m.Notification();
            return header && header->code >= entry.first && header->code <= entry.last;
        }
        default: return true;
        }
    }
};

}  // namespace velk
