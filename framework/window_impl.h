#pragma once
// Window objects: a C++ object bound to one window, whose message map sees every
// message of that window before the default procedure does.
//
//     class CMyWindow : public CWindowImpl<CMyWindow> {
//     public:
//         static CWindowClassInfo& GetWndClassInfo();   // optional; a default exists
//         bool ProcessWindowMessage(CMessage& m) override;  // see message_map.h
//     };
//
// The object finds itself from its window: the window's class keeps the object's
// address in the window's extra bytes (a subclassed window: in its subclass data).
// An exception never leaves a window procedure: a handler that throws counts as
// not having handled the message, which then gets the default processing.
#include <windows.h>
#include <commctrl.h>

#include "message_map.h"
#include "module.h"
#include "subclass.h"
#include "window.h"
#include "window_class.h"

namespace velk {

// The menu of a top-level window or the identifier of a child window, as
// CreateWindowEx takes either; a plain 0 means neither.
class MenuOrId {
public:
    MenuOrId() = default;
    MenuOrId(HMENU menu) : m_handle(menu) {}
    MenuOrId(UINT id) : m_handle(reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))) {}
    MenuOrId(int id) : MenuOrId(static_cast<UINT>(id)) {}
    HMENU Handle() const { return m_handle; }

private:
    HMENU m_handle = nullptr;
};

// Slots 0 and 1 of every window object: its message map and its destructor.
class CMessageTarget {
public:
    // The bottom of every map chain: nothing taken, the default procedure decides.
    virtual bool ProcessWindowMessage(CMessage& /*m*/) { return false; }
    virtual ~CMessageTarget() = default;
};

namespace framework_detail {

// Hands the object being created to the first message of its new window. The
// handoff is per thread and lasts only for the creating call.
class CreationHandoff {
public:
    CreationHandoff(void* object, const void* key);
    ~CreationHandoff();
    CreationHandoff(const CreationHandoff&) = delete;
    CreationHandoff& operator=(const CreationHandoff&) = delete;
    // The object waiting for a window with this key, taken at most once.
    static void* Take(const void* key);

private:
    void* m_savedObject;
    const void* m_savedKey;
};

// A control notification sent back to its control (message + 0x2000).
bool IsReflectedMessage(UINT message);
UINT OriginalOfReflected(UINT message);

// The window procedure of the class that T supplies, for objects over TBase.
template <class T, class TBase>
struct ClassWindowProc;

}  // namespace framework_detail

template <class TBase = CWindow>
class CWindowImplBaseT : public TBase, public CMessageTarget {
public:
    // How messages that the maps leave are processed for this window.
    using DefaultProc = LRESULT (*)(CWindowImplBaseT& self, UINT msg, WPARAM wParam, LPARAM lParam);

    CWindowImplBaseT() = default;
    CWindowImplBaseT(const CWindowImplBaseT&) = delete;
    CWindowImplBaseT& operator=(const CWindowImplBaseT&) = delete;
    // A window that outlives its object would answer to a dead object: it is
    // detached first, then destroyed (a subclassed window is only given back).
    ~CWindowImplBaseT() override { ReleaseWindow(); }

    virtual WNDPROC GetWindowProc() { return nullptr; }  // slot 2
    // Slot 3: called once after WM_NCDESTROY, when the object is no longer bound to
    // the window. The object may delete itself here.
    virtual void OnFinalMessage(HWND /*hwnd*/) {}

    // The default processing of a message for this window.
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
        return m_defaultProc(*this, msg, wParam, lParam);
    }
    // The default processing of the message being handled.
    LRESULT DefWindowProc() {
        return m_currentMessage ? DefWindowProc(m_currentMessage->message, m_currentMessage->wParam,
                                                m_currentMessage->lParam)
                                : 0;
    }
    const CMessage* GetCurrentMessage() const { return m_currentMessage; }

    // Binds this object to an existing window of any class (a subclass layer).
    BOOL SubclassWindow(HWND hwnd) {
        if (this->m_hWnd || !::IsWindow(hwnd)) return FALSE;
        if (!AddSubclass(hwnd, &SubclassProc, SubclassId(), reinterpret_cast<DWORD_PTR>(this)))
            return FALSE;
        this->m_hWnd = hwnd;
        m_binding = Binding::Subclass;
        m_defaultProc = &CallSubclassDefault;
        return TRUE;
    }
    HWND UnsubclassWindow() {
        if (m_binding != Binding::Subclass) return nullptr;
        HWND hwnd = this->m_hWnd;
        Unbind(hwnd);
        this->m_hWnd = nullptr;
        return hwnd;
    }

protected:
    template <class, class>
    friend struct framework_detail::ClassWindowProc;

    void SetDefaultProc(DefaultProc proc) { m_defaultProc = proc; }

    // Binds a window of a class registered by the framework to this object.
    void BindClassWindow(HWND hwnd, const CWindowClassInfo& info) {
        ::SetWindowLongPtrW(hwnd, info.ObjectSlot(), reinterpret_cast<LONG_PTR>(this));
        this->m_hWnd = hwnd;
        m_binding = Binding::ClassSlot;
        m_slot = info.ObjectSlot();
        m_superProc = info.BaseProc();
    }

    static CWindowImplBaseT* FromClassWindow(HWND hwnd, const CWindowClassInfo& info) {
        return reinterpret_cast<CWindowImplBaseT*>(::GetWindowLongPtrW(hwnd, info.ObjectSlot()));
    }

    // One message through the object's maps, then (when nobody took it) the
    // default processing. WM_NCDESTROY always reaches the default processing, which
    // frees what the system and a base class keep for the window.
    static LRESULT Dispatch(CWindowImplBaseT* self, HWND hwnd, UINT msg, WPARAM wParam,
                            LPARAM lParam) {
        CMessage m(hwnd, msg, wParam, lParam);
        const CMessage* outer = self->m_currentMessage;
        self->m_currentMessage = &m;
        const bool handled = RunMaps(*self, m);
        LRESULT result = m.result;
        if (!handled || msg == WM_NCDESTROY) {
            const LRESULT byDefault = self->DefaultProcessing(hwnd, msg, wParam, lParam);
            if (!handled) result = byDefault;
        }
        self->m_currentMessage = outer;
        if (msg == WM_NCDESTROY) {
            self->Unbind(hwnd);
            self->m_hWnd = nullptr;
            self->m_destroyedWindow = hwnd;
        }
        // Destroyed while one of its own messages was being handled further up: the
        // final hook waits until that outermost message is done with the object.
        if (self->m_destroyedWindow && !outer) {
            HWND destroyed = self->m_destroyedWindow;
            self->m_destroyedWindow = nullptr;
            RunFinalMessage(*self, destroyed);  // may delete self
        }
        return result;
    }

private:
    enum class Binding { None, ClassSlot, Subclass };

    static bool RunMaps(CWindowImplBaseT& self, CMessage& m) {
        try {
            return self.ProcessWindowMessage(m);
        } catch (...) {
            return false;
        }
    }

    static void RunFinalMessage(CWindowImplBaseT& self, HWND hwnd) {
        try {
            self.OnFinalMessage(hwnd);
        } catch (...) {
        }
    }

    LRESULT DefaultProcessing(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        // A reflected notification that the control does not handle gets what its
        // parent's default would have given (a brush for WM_CTLCOLOR*, 0 otherwise).
        if (framework_detail::IsReflectedMessage(msg))
            return ::DefWindowProcW(hwnd, framework_detail::OriginalOfReflected(msg), wParam,
                                    lParam);
        return m_defaultProc(*this, msg, wParam, lParam);
    }

    static LRESULT CallSuperProc(CWindowImplBaseT& self, UINT msg, WPARAM wParam, LPARAM lParam) {
        WNDPROC super = self.m_superProc ? self.m_superProc : ::DefWindowProcW;
        return ::CallWindowProcW(super, self.m_hWnd, msg, wParam, lParam);
    }

    static LRESULT CallSubclassDefault(CWindowImplBaseT& self, UINT msg, WPARAM wParam,
                                       LPARAM lParam) {
        return CallNextSubclass(self.m_hWnd, msg, wParam, lParam);
    }

    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR object) {
        return Dispatch(reinterpret_cast<CWindowImplBaseT*>(object), hwnd, msg, wParam, lParam);
    }

    UINT_PTR SubclassId() const { return reinterpret_cast<UINT_PTR>(this); }

    void Unbind(HWND hwnd) {
        if (m_binding == Binding::Subclass) {
            RemoveSubclass(hwnd, &SubclassProc, SubclassId());
            m_defaultProc = &CallSuperProc;
        } else if (m_binding == Binding::ClassSlot) {
            ::SetWindowLongPtrW(hwnd, m_slot, 0);
        }
        m_binding = Binding::None;
    }

    void ReleaseWindow() {
        HWND hwnd = this->m_hWnd;
        if (!hwnd || !::IsWindow(hwnd)) return;
        const Binding binding = m_binding;
        Unbind(hwnd);
        this->m_hWnd = nullptr;
        if (binding == Binding::ClassSlot) ::DestroyWindow(hwnd);
    }

    Binding m_binding = Binding::None;
    int m_slot = 0;
    WNDPROC m_superProc = nullptr;
    DefaultProc m_defaultProc = &CallSuperProc;
    const CMessage* m_currentMessage = nullptr;
    HWND m_destroyedWindow = nullptr;
};

namespace framework_detail {

template <class T, class TBase>
struct ClassWindowProc {
    using Object = CWindowImplBaseT<TBase>;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        const CWindowClassInfo& info = T::GetWndClassInfo();
        Object* self = Object::FromClassWindow(hwnd, info);
        if (!self) {
            self = static_cast<Object*>(CreationHandoff::Take(&info));
            if (self) self->BindClassWindow(hwnd, info);
        }
        if (!self)
            return ::CallWindowProcW(info.BaseProc() ? info.BaseProc() : ::DefWindowProcW, hwnd,
                                     msg, wParam, lParam);
        return Object::Dispatch(self, hwnd, msg, wParam, lParam);
    }
};

}  // namespace framework_detail

// A window object whose window class T supplies (T::GetWndClassInfo(); the
// default is a class of our own with a generated name), over the window wrapper
// TBase, with the style defaults of TWinTraits.
template <class T, class TBase = CWindow, class TWinTraits = CControlTraits>
class CWindowImpl : public CWindowImplBaseT<TBase> {
public:
    using Base = CWindowImplBaseT<TBase>;

    static CWindowClassInfo& GetWndClassInfo() {
        static CWindowClassInfo info = CWindowClassInfo::Own();
        return info;
    }

    // Creates the window. No rectangle: the platform's default position and size
    // for a top-level or MDI child window, an empty rectangle for a child.
    // menuOrId: the menu of a top-level window, the identifier of a child.
    HWND Create(HWND parent, const RECT* rect = nullptr, const wchar_t* title = nullptr,
                DWORD style = 0, DWORD exStyle = 0, MenuOrId menuOrId = MenuOrId(),
                void* createParam = nullptr) {
        if (this->m_hWnd) return nullptr;
        CWindowClassInfo& info = T::GetWndClassInfo();
        const ATOM atom = info.Register(this->GetWindowProc());
        if (!atom) return nullptr;
        style = TWinTraits::GetStyle(style);
        exStyle = TWinTraits::GetExStyle(exStyle);
        const RECT placement = Placement(rect, style, exStyle);
        framework_detail::CreationHandoff handoff(static_cast<Base*>(this), &info);
        // After this call the object may already be gone (a window that failed in
        // WM_CREATE was destroyed, and its final hook may delete the object).
        return ::CreateWindowExW(exStyle, MAKEINTATOM(atom), title, style, placement.left,
                                 placement.top, placement.right, placement.bottom, parent,
                                 menuOrId.Handle(), GetAppModule().GetModuleInstance(),
                                 createParam);
    }

    // Windows of one class share one procedure, whatever the style defaults.
    WNDPROC GetWindowProc() override { return &framework_detail::ClassWindowProc<T, TBase>::Proc; }

private:
    // left/top: position; right/bottom: size, as CreateWindowEx takes them.
    static RECT Placement(const RECT* rect, DWORD style, DWORD exStyle) {
        if (rect)
            return RECT{rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top};
        const bool plainChild = (style & WS_CHILD) && !(exStyle & WS_EX_MDICHILD);
        if (plainChild) return RECT{0, 0, 0, 0};
        return RECT{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    }
};

}  // namespace velk
