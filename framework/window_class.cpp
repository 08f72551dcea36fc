#include "window_class.h"

#include <cwchar>

#include "module.h"

namespace velk {

CWindowClassInfo CWindowClassInfo::Own(UINT classStyle, UINT iconResource) {
    CWindowClassInfo info;
    info.classStyle = classStyle;
    info.resourceId = iconResource;
    return info;
}

CWindowClassInfo CWindowClassInfo::MDIChild(UINT resourceId) {
    CWindowClassInfo info = Own(0, resourceId);
    info.defaultProc = ::DefMDIChildProcW;
    return info;
}

CWindowClassInfo CWindowClassInfo::Superclass(const wchar_t* baseClassName) {
    CWindowClassInfo info;
    info.superclassOf = baseClassName;
    return info;
}

bool CWindowClassInfo::FillFromBaseClass(WNDCLASSEXW& wc) {
    // System classes answer for a null instance, classes of this program for its own.
    if (!::GetClassInfoExW(nullptr, superclassOf, &wc) &&
        !::GetClassInfoExW(GetAppModule().GetModuleInstance(), superclassOf, &wc))
        return false;
    if (wc.cbWndExtra < 0 || wc.cbWndExtra > 1024)  // a sane base never needs more
        return false;
    m_baseProc = wc.lpfnWndProc;
    m_slot = wc.cbWndExtra;
    wc.cbWndExtra += static_cast<int>(sizeof(LONG_PTR));
    wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    return true;
}

void CWindowClassInfo::FillOwn(WNDCLASSEXW& wc) {
    HINSTANCE instance = GetAppModule().GetResourceInstance();
    m_baseProc = defaultProc ? defaultProc : ::DefWindowProcW;
    m_slot = 0;
    wc.style = classStyle;
    wc.cbWndExtra = static_cast<int>(sizeof(LONG_PTR));
    wc.hCursor = cursor ? ::LoadCursorW(nullptr, cursor) : nullptr;
    wc.hbrBackground = background;
    if (resourceId) {
        wc.hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(resourceId),
                                                   IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                                   ::GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
        wc.hIconSm = static_cast<HICON>(::LoadImageW(
            instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
            ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    }
}

ATOM CWindowClassInfo::Register(WNDPROC windowProc) {
    if (m_atom) return m_registeredProc == windowProc ? m_atom : 0;

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (superclassOf) {
        if (!FillFromBaseClass(wc)) return 0;
    } else {
        FillOwn(wc);
    }
    if (fixedName)
        std::swprintf(m_name, sizeof(m_name) / sizeof(m_name[0]), L"%ls", fixedName);
    else
        std::swprintf(m_name, sizeof(m_name) / sizeof(m_name[0]), L"velk:%p",
                      static_cast<const void*>(this));
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetAppModule().GetModuleInstance();
    wc.lpszClassName = m_name;
    wc.lpszMenuName = nullptr;
    m_atom = ::RegisterClassExW(&wc);
    if (m_atom) m_registeredProc = windowProc;
    return m_atom;
}

}  // namespace velk
