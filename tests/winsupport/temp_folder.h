// A folder of a test run's own for the files it writes, removed with all it
// holds when the folder object ends.
#pragma once

#include <string>

namespace velk {

namespace test {

class TempFolder {
public:
    // Makes the folder `prefix`-<process id> in the temporary folder.
    explicit TempFolder(const std::wstring& prefix);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, ending with a backslash.
    const std::wstring& path() const { return m_path; }

    // Writes `bytes` as the file `name` in the folder, replacing what was there;
    // answers its path, or an empty text when it cannot be written.
    std::wstring Write(const std::wstring& name, const std::string& bytes) const;

private:
    std::wstring m_path;
};

// One folder for the whole test program, removed when the program ends; names
// end with a backslash.
const std::wstring& RunFolder();

}  // namespace test

}  // namespace velk
