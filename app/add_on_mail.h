// Sending the maker's add-on installer by mail: the installer is looked for beside
// the program, and the maker's mailer is started with a fixed command line.
#pragma once

#include <windows.h>

#include <string>

namespace velk {

// The installer's file name, beside velk.exe.
constexpr const wchar_t* kAddOnInstallerName = L"orbelsetup.msi";

// The full path at which the installer is expected: the program's own folder plus
// the installer's name. Empty when the path does not fit MAX_PATH.
std::wstring AddOnInstallerPath();

// The mailer's command line. It names the installer by its bare name, and its
// version is the program's fixed release text, not read from the version resource.
std::wstring AddOnMailCommandLine();

// Starts the mailer when the installer exists; otherwise tells the user, in a
// message box owned by `owner`, that the installer is missing. The mailer's
// outcome is not watched.
void SendAddOnMail(HWND owner);

}  // namespace velk
