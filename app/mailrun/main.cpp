// mailrun: the mailer started by velk's add-on link. It hands one file, as an
// attachment with the given subject, to the user's mail program:
//
//   mailrun /szmail "SUBJECT" FILE
//
// Exit code 0 when the mail program took the mail; otherwise a message on stderr
// and a non-zero code: 1 bad command line, 2 file not found, 3 mail not handed over.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "mail_request.h"
#include "simple_mapi.h"

using namespace velk;

namespace {

enum ExitCode { kSent = 0, kUsage = 1, kNoFile = 2, kNotSent = 3 };

void Report(const std::wstring& message) {
    std::wstring line = L"mailrun: " + message + L"\n";
    int size = WideCharToMultiByte(CP_ACP, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return;
    std::vector<char> text(static_cast<size_t>(size));
    WideCharToMultiByte(CP_ACP, 0, line.c_str(), -1, text.data(), size, nullptr, nullptr);
    std::fputs(text.data(), stderr);
}

std::wstring FullPath(const std::wstring& path) {
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return std::wstring();
    std::vector<wchar_t> full(size);
    DWORD written = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    return written == 0 || written >= size ? std::wstring() : std::wstring(full.data());
}

bool IsFile(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring OwnFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) break;
        path.resize(path.size() * 2);
    }
    std::wstring own(path.data());
    std::wstring::size_type slash = own.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : own.substr(0, slash + 1);
}

// The caller names the file by its bare name and starts the mailer with its own
// current folder, which need not be where the file is; the file is looked for
// there first and then beside the mailer, where it is installed.
std::wstring FindAttachment(const std::wstring& file) {
    std::wstring here = FullPath(file);
    if (!here.empty() && IsFile(here)) return here;
    bool relative = file.find(L':') == std::wstring::npos && file[0] != L'\\' && file[0] != L'/';
    if (relative) {
        std::wstring beside = FullPath(OwnFolder() + file);
        if (!beside.empty() && IsFile(beside)) return beside;
    }
    return std::wstring();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring error;
    auto request = mailrun::ParseMailCommandLine(argc, argv, error);
    if (!request) {
        Report(error);
        return kUsage;
    }
    std::wstring attachment = FindAttachment(request->file);
    if (attachment.empty()) {
        Report(L"cannot find the file '" + request->file + L"'");
        return kNoFile;
    }
    error = mailrun::SendWithMapi(request->subject, attachment);
    if (!error.empty()) {
        Report(error);
        return kNotSent;
    }
    return kSent;
}
