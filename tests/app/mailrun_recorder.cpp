// A stand-in for the mailer in the shell's tests. Built as mailrun.exe beside the
// test program, which is where the add-on link's bare "mailrun" is found first.
// It writes its command line, exactly as it received it, in UTF-8 to
// mailrun_command_line.txt beside itself and exits 0. The text appears under its
// final name only when complete.
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    std::wstring own(path, length);
    return own.substr(0, own.find_last_of(L"\\/") + 1);
}

std::string ToUtf8(const wchar_t* text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::vector<char> bytes(static_cast<size_t>(size));
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    return std::string(bytes.data(), static_cast<size_t>(size - 1));
}

bool WriteWhole(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

}  // namespace

int main() {
    std::wstring folder = OwnFolder();
    if (folder.empty()) return 2;
    std::wstring partial = folder + L"mailrun_command_line.part";
    std::wstring final = folder + L"mailrun_command_line.txt";
    if (!WriteWhole(partial, ToUtf8(GetCommandLineW()))) return 2;
    return MoveFileExW(partial.c_str(), final.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 2;
}
