#include "theme.h"

#include <shlwapi.h>

#include <cwctype>
#include <string>

namespace velk {

DWORD CommonControlsVersion() {
    HMODULE controls = ::GetModuleHandleW(L"comctl32.dll");
    if (!controls) return 0;
    auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(::GetProcAddress(controls, "DllGetVersion")));
    if (!getVersion) return 0;
    DLLVERSIONINFO info{};
    info.cbSize = sizeof(info);
    if (FAILED(getVersion(&info))) return 0;
    return (info.dwMajorVersion << 16) | (info.dwMinorVersion & 0xFFFF);
}

bool UsesCommonControlsSix() {
    if ((CommonControlsVersion() >> 16) >= 6) return true;
    // Some implementations report one version for both copies; the side-by-side
    // copy is still told apart by where it was loaded from.
    wchar_t path[MAX_PATH] = {};
    HMODULE controls = ::GetModuleHandleW(L"comctl32.dll");
    if (!controls || !::GetModuleFileNameW(controls, path, MAX_PATH)) return false;
    std::wstring lower(path);
    for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(c));
    return lower.find(L"\\winsxs\\") != std::wstring::npos;
}

}  // namespace velk
