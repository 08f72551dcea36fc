// A folder of one test run's own for the files it writes, emptied and removed
// when the run ends.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace velk {

namespace test {

class TempFolder {
public:
    explicit TempFolder(const std::wstring& prefix) {
        wchar_t base[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, base);
        m_path = std::wstring(base) + prefix + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
        ::CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~TempFolder() {
        for (const std::wstring& file : m_files) ::DeleteFileW(file.c_str());
        ::RemoveDirectoryW(m_path.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Writes `bytes` as the file `name` in the folder, replacing what was there;
    // answers its path, or an empty text when it cannot be written.
    std::wstring Write(const std::wstring& name, const std::string& bytes) {
        const std::wstring path = m_path + name;
        m_files.push_back(path);
        std::FILE* f = ::_wfopen(path.c_str(), L"wb");
        if (!f) return std::wstring();
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        return std::fclose(f) == 0 && written ? path : std::wstring();
    }

private:
    std::wstring m_path;
    std::vector<std::wstring> m_files;
};

}  // namespace test

}  // namespace velk
