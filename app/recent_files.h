// The recently opened files: up to nine paths, the latest first, shown as the
// numbered items at the end of the File menu and kept in the settings.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/settings.h"

namespace velk {

class CRecentFiles {
public:
    static constexpr std::size_t kMaxFiles = 9;

    void Load(const CSettings& settings);
    void Save(const CSettings& settings) const;

    // Puts `path` first; the same file further down goes (names compare without
    // regard to case, as Windows compares them).
    void Add(const std::wstring& path);
    void Remove(std::size_t index);
    const std::vector<std::wstring>& Paths() const { return m_paths; }

    // Shows the files at the end of the File menu `file`: a separator and one
    // item per file ("&1 path"), commands firstCommand onwards, in place of
    // those shown before; the menu's other items stay.
    void ShowIn(HMENU file, UINT firstCommand) const;

private:
    std::vector<std::wstring> m_paths;
};

}  // namespace velk
