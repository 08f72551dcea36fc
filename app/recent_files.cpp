#include "app/recent_files.h"

#include <shlwapi.h>

#include <algorithm>

#include "app/resource.h"

namespace velk {

namespace {

// Long paths are shortened in the middle to this many characters in the menu.
constexpr UINT kShownPathLength = 60;

std::wstring ValueName(std::size_t index) { return L"Recent" + std::to_wstring(index + 1); }

// "&N path", the path shortened and its ampersands doubled so that they show.
std::wstring ItemText(std::size_t index, const std::wstring& path) {
    wchar_t shown[MAX_PATH] = {};
    if (!::PathCompactPathExW(shown, path.c_str(), kShownPathLength, 0))
        lstrcpynW(shown, path.c_str(), MAX_PATH);
    std::wstring text = L"&" + std::to_wstring(index + 1) + L" ";
    for (const wchar_t* c = shown; *c; ++c) {
        if (*c == L'&') text += L'&';
        text += *c;
    }
    return text;
}

}  // namespace

void CRecentFiles::Load(const CSettings& settings) {
    m_paths.clear();
    for (std::size_t i = 0; i < kMaxFiles; ++i) {
        std::optional<std::wstring> path = settings.Text(ValueName(i).c_str());
        if (path && !path->empty()) m_paths.push_back(*path);
    }
}

void CRecentFiles::Save(const CSettings& settings) const {
    for (std::size_t i = 0; i < kMaxFiles; ++i) {
        if (i < m_paths.size())
            settings.SetText(ValueName(i).c_str(), m_paths[i]);
        else
            settings.Remove(ValueName(i).c_str());
    }
}

void CRecentFiles::Add(const std::wstring& path) {
    if (path.empty()) return;
    m_paths.erase(std::remove_if(m_paths.begin(), m_paths.end(),
                                 [&](const std::wstring& p) {
                                     return ::lstrcmpiW(p.c_str(), path.c_str()) == 0;
                                 }),
                  m_paths.end());
    m_paths.insert(m_paths.begin(), path);
    if (m_paths.size() > kMaxFiles) m_paths.resize(kMaxFiles);
}

void CRecentFiles::Remove(std::size_t index) {
    if (index < m_paths.size()) m_paths.erase(m_paths.begin() + static_cast<std::ptrdiff_t>(index));
}

// The recent files are the menu's last items, after a separator of their own;
// they are told from the menu's other items by their commands, so that
// whatever the menu holds after Exit stays.
void CRecentFiles::ShowIn(HMENU file, UINT firstCommand) const {
    const auto lastIsRecent = [&] {
        const int last = ::GetMenuItemCount(file) - 1;
        const UINT id = last >= 0 ? ::GetMenuItemID(file, last) : 0;
        return id >= firstCommand && id < firstCommand + kMaxFiles;
    };
    const auto deleteLast = [&] {
        ::DeleteMenu(file, static_cast<UINT>(::GetMenuItemCount(file) - 1), MF_BYPOSITION);
    };
    if (lastIsRecent()) {
        while (lastIsRecent()) deleteLast();
        const int last = ::GetMenuItemCount(file) - 1;
        if (last >= 0 &&
            (::GetMenuState(file, static_cast<UINT>(last), MF_BYPOSITION) & MF_SEPARATOR))
            deleteLast();
    }
    if (m_paths.empty()) return;
    ::AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    for (std::size_t i = 0; i < m_paths.size(); ++i)
        ::AppendMenuW(file, MF_STRING, firstCommand + static_cast<UINT>(i),
                      ItemText(i, m_paths[i]).c_str());
}

}  // namespace velk
