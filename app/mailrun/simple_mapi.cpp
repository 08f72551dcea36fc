#include "simple_mapi.h"

#include <windows.h>
#include <mapi.h>

#include <string>
#include <vector>

namespace velk {

namespace mailrun {
namespace {

// Simple MAPI's portable entry takes 8-bit text in the ANSI code page. Fails when
// the text has characters that code page cannot hold.
bool ToAnsi(const std::wstring& text, std::string& out) {
    if (text.empty()) {
        out.clear();
        return true;
    }
    BOOL lossy = FALSE;
    int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(),
                                   static_cast<int>(text.size()), nullptr, 0, nullptr, &lossy);
    if (size <= 0 || lossy) return false;
    out.assign(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), static_cast<int>(text.size()),
                        &out[0], size, nullptr, nullptr);
    return true;
}

// A path the ANSI entry can carry: the path itself, or its short form.
bool AnsiPath(const std::wstring& path, std::string& out) {
    if (ToAnsi(path, out)) return true;
    DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (size == 0) return false;
    std::vector<wchar_t> shortPath(size);
    if (GetShortPathNameW(path.c_str(), shortPath.data(), size) == 0) return false;
    return ToAnsi(shortPath.data(), out);
}

std::wstring FileNamePart(const std::wstring& path) {
    std::wstring::size_type slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring MapiError(ULONG code) {
    switch (code) {
    case MAPI_E_USER_ABORT: return L"the user cancelled the mail";
    case MAPI_E_LOGIN_FAILURE: return L"no mail profile could be opened";
    case MAPI_E_ATTACHMENT_NOT_FOUND: return L"the mail program did not find the file";
    case MAPI_E_ATTACHMENT_OPEN_FAILURE: return L"the mail program could not open the file";
    case MAPI_E_NOT_SUPPORTED: return L"the mail program does not support this request";
    default: return L"the mail program failed with Simple MAPI error " + std::to_wstring(code);
    }
}

}  // namespace

std::wstring SendWithMapi(const std::wstring& subject, const std::wstring& fullPath) {
    std::string subjectA, pathA, nameA;
    if (!ToAnsi(subject, subjectA)) return L"the subject cannot be written in this code page";
    if (!AnsiPath(fullPath, pathA) || !ToAnsi(FileNamePart(fullPath), nameA)) {
        return L"the file's path cannot be written in this code page";
    }

    HMODULE mapi = LoadLibraryW(L"MAPI32.DLL");
    if (mapi == nullptr) return L"no Simple MAPI provider is installed (MAPI32.DLL)";
    auto send = reinterpret_cast<LPMAPISENDMAIL>(
        reinterpret_cast<void*>(GetProcAddress(mapi, "MAPISendMail")));
    if (send == nullptr) {
        FreeLibrary(mapi);
        return L"the Simple MAPI provider has no MAPISendMail";
    }

    MapiFileDesc attachment = {};
    attachment.nPosition = static_cast<ULONG>(-1);  // not placed inside the body text
    attachment.lpszPathName = &pathA[0];
    attachment.lpszFileName = &nameA[0];

    MapiMessage message = {};
    message.lpszSubject = &subjectA[0];
    message.nFileCount = 1;
    message.lpFiles = &attachment;

    // The user picks the recipients in the mail program's own window.
    ULONG result = send(0, 0, &message, MAPI_LOGON_UI | MAPI_DIALOG, 0);
    FreeLibrary(mapi);
    return result == SUCCESS_SUCCESS ? std::wstring() : MapiError(result);
}

}  // namespace mailrun

}  // namespace velk
