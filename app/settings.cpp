#include "app/settings.h"

namespace velk {

namespace {

// Longer texts than this are not ours: paths and names stay well below it.
constexpr DWORD kLongestText = 32 * 1024;

}  // namespace

bool CSettings::Read(const wchar_t* name, DWORD type, void* out, DWORD* size) const {
    DWORD found = 0;
    LSTATUS status =
        ::RegGetValueW(HKEY_CURRENT_USER, m_subkey.c_str(), name, RRF_RT_ANY, &found, out, size);
    return status == ERROR_SUCCESS && found == type;
}

std::optional<DWORD> CSettings::Number(const wchar_t* name) const {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (!Read(name, REG_DWORD, &value, &size) || size != sizeof(value)) return std::nullopt;
    return value;
}

std::optional<std::wstring> CSettings::Text(const wchar_t* name) const {
    DWORD size = 0;
    if (!Read(name, REG_SZ, nullptr, &size) || size > kLongestText * sizeof(wchar_t))
        return std::nullopt;
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    // RegGetValue ends the text with a terminator even when the stored one is missing.
    if (!Read(name, REG_SZ, text.data(), &size)) return std::nullopt;
    return std::wstring(text.data());
}

bool CSettings::ReadBlock(const wchar_t* name, void* out, DWORD size) const {
    DWORD stored = 0;
    if (!Read(name, REG_BINARY, nullptr, &stored) || stored != size) return false;
    return Read(name, REG_BINARY, out, &stored) && stored == size;
}

void CSettings::Write(const wchar_t* name, DWORD type, const void* data, DWORD size) const {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, m_subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(key);
}

void CSettings::SetNumber(const wchar_t* name, DWORD value) const {
    Write(name, REG_DWORD, &value, sizeof(value));
}

void CSettings::SetText(const wchar_t* name, const std::wstring& value) const {
    Write(name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void CSettings::SetBlock(const wchar_t* name, const void* data, DWORD size) const {
    Write(name, REG_BINARY, data, size);
}

void CSettings::Remove(const wchar_t* name) const {
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, m_subkey.c_str(), name);
}

}  // namespace velk
