// What velk remembers between runs, kept as registry values under one key of the
// current user (HKCU\Software\velk). A value that is missing, of another type or
// unreadable reads as absent, and velk then does what it does with nothing stored.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace velk {

class CSettings {
public:
    // The key, below HKEY_CURRENT_USER, that velk.exe keeps its settings in.
    static constexpr const wchar_t* kVelkKey = L"Software\\velk";

    // Settings under HKCU\<subkey>; tests give a key of their own.
    explicit CSettings(std::wstring subkey = kVelkKey) : m_subkey(std::move(subkey)) {}

    std::optional<DWORD> Number(const wchar_t* name) const;
    std::optional<std::wstring> Text(const wchar_t* name) const;
    // A REG_BINARY value of exactly `size` bytes, copied into `out`.
    bool ReadBlock(const wchar_t* name, void* out, DWORD size) const;

    // Writes create the key when it is missing; a failed write is dropped: the
    // setting is then not remembered, and nothing else changes.
    void SetNumber(const wchar_t* name, DWORD value) const;
    void SetText(const wchar_t* name, const std::wstring& value) const;
    void SetBlock(const wchar_t* name, const void* data, DWORD size) const;
    void Remove(const wchar_t* name) const;

    const std::wstring& Subkey() const { return m_subkey; }

private:
    bool Read(const wchar_t* name, DWORD type, void* out, DWORD* size) const;
    void Write(const wchar_t* name, DWORD type, const void* data, DWORD size) const;

    std::wstring m_subkey;
};

}  // namespace velk
