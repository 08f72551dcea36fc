#pragma once
// CDialogImpl: a dialog from a dialog resource (T::IDD), modal or modeless, whose
// message map sees the dialog's messages before the dialog manager's defaults.
//
//     class CAboutDlg : public CDialogImpl<CAboutDlg> {
//     public:
//         enum { IDD = 100 };
//         bool ProcessWindowMessage(CMessage& m) override;
//     };
//
// A handler's result is the message's answer (DWLP_MSGRESULT where the dialog
// manager wants it there); a message no map takes gets the dialog manager's
// default processing. Exceptions stay inside the dialog procedure.
#include <windows.h>

#include "message_map.h"
#include "module.h"
#include "window.h"
#include "window_impl.h"

namespace velk {

namespace framework_detail {

// Messages whose answer a dialog procedure returns directly instead of through
// DWLP_MSGRESULT.
bool DialogReturnsDirectly(UINT message);

}  // namespace framework_detail

template <class TBase = CWindow>
class CDialogImplBaseT : public TBase, public CMessageTarget {
public:
    CDialogImplBaseT() = default;
    CDialogImplBaseT(const CDialogImplBaseT&) = delete;
    CDialogImplBaseT& operator=(const CDialogImplBaseT&) = delete;
    // A modeless dialog that outlives its object is destroyed with it.
    ~CDialogImplBaseT() override {
        HWND hwnd = this->m_hWnd;
        if (hwnd && ::IsWindow(hwnd)) {
            ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            this->m_hWnd = nullptr;
            if (!m_modal) ::DestroyWindow(hwnd);
        }
    }

    virtual DLGPROC GetDialogProc() { return &DialogProc; }  // slot 2
    virtual void OnFinalMessage(HWND /*hwnd*/) {}            // slot 3

    // Ends a modal dialog with this result, or destroys a modeless one.
    BOOL EndDialog(int result) {
        if (m_modal) return ::EndDialog(this->m_hWnd, result);
        return ::DestroyWindow(this->m_hWnd);
    }

protected:
    // The key under which a dialog being created waits for its window.
    static const void* HandoffKey() { return reinterpret_cast<const void*>(&DialogProc); }

    bool m_modal = false;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<CDialogImplBaseT*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
        if (!self) {
            self = static_cast<CDialogImplBaseT*>(
                framework_detail::CreationHandoff::Take(HandoffKey()));
            if (!self) return FALSE;
            ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
            self->m_hWnd = hwnd;
        }
        CMessage m(hwnd, msg, wParam, lParam);
        bool handled = false;
        try {
            handled = self->ProcessWindowMessage(m);
        } catch (...) {
            handled = false;
        }
        if (msg == WM_NCDESTROY) {
            ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            self->m_hWnd = nullptr;
            try {
                self->OnFinalMessage(hwnd);  // may delete self
            } catch (...) {
            }
            return FALSE;  // the dialog manager still frees what it keeps
        }
        if (!handled) return FALSE;
        if (framework_detail::DialogReturnsDirectly(msg)) return static_cast<INT_PTR>(m.result);
        ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, m.result);
        return TRUE;
    }
};

template <class T, class TBase = CWindow>
class CDialogImpl : public CDialogImplBaseT<TBase> {
public:
    using Base = CDialogImplBaseT<TBase>;

    // Runs the dialog modally, owned by the given window (by default the active
    // one), and answers the result it ended with; -1 when it could not be shown.
    INT_PTR DoModal(HWND owner = ::GetActiveWindow(), LPARAM initParam = 0) {
        if (this->m_hWnd) return -1;
        this->m_modal = true;
        framework_detail::CreationHandoff handoff(static_cast<Base*>(this), Base::HandoffKey());
        return ::DialogBoxParamW(GetAppModule().GetResourceInstance(), MAKEINTRESOURCEW(T::IDD),
                                 owner, this->GetDialogProc(), initParam);
    }

    // Creates the dialog modeless; the caller shows it and lets it see its keys
    // (IsDialogMessage in a message filter).
    HWND Create(HWND owner, LPARAM initParam = 0) {
        if (this->m_hWnd) return nullptr;
        this->m_modal = false;
        framework_detail::CreationHandoff handoff(static_cast<Base*>(this), Base::HandoffKey());
        return ::CreateDialogParamW(GetAppModule().GetResourceInstance(), MAKEINTRESOURCEW(T::IDD),
                                    owner, this->GetDialogProc(), initParam);
    }
};

}  // namespace velk
