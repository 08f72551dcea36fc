#include "app/add_on_mail.h"

#include <shlwapi.h>

#include <cwchar>
#include <vector>

#include "velk_version.h"

namespace velk {

namespace {

constexpr const wchar_t* kMissingInstallerText =
    L"Setup file 'orbelsetup.msi' is not found. Please re-install the application.";
constexpr const wchar_t* kMissingInstallerCaption = L"Error";
constexpr const wchar_t* kMailFormat =
    L"mailrun /szmail \"Orbel Explorer Add-on (OEA) %ls\" orbelsetup.msi";
constexpr const wchar_t* kReleaseVersion = L"" VELK_VERSION_TEXT;

// The mailer is a program of the ANSI world: its command line goes in the
// thread's code page.
std::string ToThreadAnsi(const std::wstring& text) {
    int size =
        WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::vector<char> bytes(static_cast<size_t>(size));
    WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    return std::string(bytes.data());
}

}  // namespace

std::wstring AddOnInstallerPath() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A path cut at MAX_PATH is no path to the program's folder.
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    PathRemoveFileSpecW(path);
    if (!PathCombineW(path, path, kAddOnInstallerName)) return std::wstring();
    return path;
}

std::wstring AddOnMailCommandLine() {
    wchar_t line[MAX_PATH] = {};
    // At most MAX_PATH - 1 characters and the terminator.
    std::swprintf(line, MAX_PATH, kMailFormat, kReleaseVersion);
    return line;
}

void SendAddOnMail(HWND owner) {
    std::wstring installer = AddOnInstallerPath();
    if (installer.empty() || !PathFileExistsW(installer.c_str())) {
        MessageBoxW(owner, kMissingInstallerText, kMissingInstallerCaption, MB_ICONERROR);
        return;
    }
    std::string command = ToThreadAnsi(AddOnMailCommandLine());
    WinExec(command.c_str(), SW_SHOWNORMAL);
}

}  // namespace velk
