// Under wine, the shell tests run on a desktop of their own, drawn as a virtual
// desktop window. On the bare X display that the tests get, wine waits about two
// seconds for a window manager whenever a shown top-level window is hidden or
// destroyed; inside a virtual desktop there is no such wait. On Windows the tests
// stay on the desktop they were started on.
#include <gtest/gtest.h>

#include <windows.h>

#include "shell_process.h"

namespace velk {

namespace {

constexpr wchar_t kTestDesktop[] = L"velk-shell-tests";
bool g_onTestDesktop = false;

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

class PrivateDesktop : public ::testing::Environment {
public:
    void SetUp() override {
        if (!RunningUnderWine()) return;
        // Wine draws a named desktop as a virtual desktop when it has a size.
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
            const wchar_t size[] = L"1024x768";
            RegSetValueExW(key, kTestDesktop, 0, REG_SZ, reinterpret_cast<const BYTE*>(size),
                           sizeof(size));
            RegCloseKey(key);
        }
        HDESK desktop = CreateDesktopW(kTestDesktop, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        g_onTestDesktop = desktop && SetThreadDesktop(desktop);
    }
};

::testing::Environment* const kDesktop = ::testing::AddGlobalTestEnvironment(new PrivateDesktop);

}  // namespace

wchar_t* TestDesktop() { return g_onTestDesktop ? const_cast<wchar_t*>(kTestDesktop) : nullptr; }

}  // namespace velk
