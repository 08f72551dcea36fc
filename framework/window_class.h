#pragma once
// Window classes registered by the framework, and the style defaults (traits) that
// a window class gives its windows when creation asks for none.
#include <windows.h>

namespace velk {

// Styles used when creation gives 0; extended styles used when creation gives 0.
template <DWORD Style, DWORD ExStyle = 0>
struct CWindowTraits {
    static DWORD GetStyle(DWORD given) { return given ? given : Style; }
    static DWORD GetExStyle(DWORD given) { return given ? given : ExStyle; }
};

using CNullTraits = CWindowTraits<0, 0>;
using CControlTraits = CWindowTraits<WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0>;
using CFrameTraits = CWindowTraits<WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                   WS_EX_APPWINDOW | WS_EX_WINDOWEDGE>;
using CMDIChildTraits =
    CWindowTraits<WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_OVERLAPPEDWINDOW,
                  WS_EX_MDICHILD>;

// The description of one window class, registered on first use. A class is either
// the framework's own (its name generated unless one is given) or a superclass of
// an existing class, whose procedure then receives what the message maps leave.
// Each registered class keeps the window object's address in one pointer-sized
// slot of its windows' extra bytes (after the base class's, for a superclass).
class CWindowClassInfo {
public:
    // A class of our own: arrow cursor and window-colour background by default.
    static CWindowClassInfo Own(UINT classStyle = 0, UINT iconResource = 0);
    // A class of our own for frame windows: icons, title, menu and accelerators
    // all come from the one resource identifier.
    static CWindowClassInfo Frame(UINT resourceId) { return Own(0, resourceId); }
    // A class of our own for MDI child windows (default procedure DefMDIChildProcW).
    static CWindowClassInfo MDIChild(UINT resourceId);
    // A superclass of an existing (system) class such as "SysListView32".
    static CWindowClassInfo Superclass(const wchar_t* baseClassName);

    UINT classStyle = 0;
    const wchar_t* cursor = IDC_ARROW;  // a system cursor, or null for none
    HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    UINT resourceId = 0;                 // icons (and for frames: title, menu, accelerators)
    const wchar_t* fixedName = nullptr;  // null: a generated, process-unique name
    const wchar_t* superclassOf = nullptr;
    WNDPROC defaultProc = nullptr;  // own classes: what unhandled messages go to

    // Registers the class once, with the given window procedure. Answers 0 when the
    // class cannot be registered, or is already registered with another procedure.
    ATOM Register(WNDPROC windowProc);

    ATOM Atom() const { return m_atom; }
    const wchar_t* ClassName() const { return m_name; }
    // Where unhandled messages go: the base class's procedure for a superclass.
    WNDPROC BaseProc() const { return m_baseProc; }
    // The byte offset of the window object's address in the window's extra bytes.
    int ObjectSlot() const { return m_slot; }

private:
    bool FillFromBaseClass(WNDCLASSEXW& wc);
    void FillOwn(WNDCLASSEXW& wc);

    ATOM m_atom = 0;
    WNDPROC m_registeredProc = nullptr;
    WNDPROC m_baseProc = nullptr;
    int m_slot = 0;
    wchar_t m_name[64] = {};
};

}  // namespace velk
