#include "parse/mapping.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cwctype>

#include "parse/windowed_view.h"

namespace velk {

const char* dcm_open_failure_text(dcm_open_failure why) {
    switch (why) {
    case dcm_open_failure::none: return "open";
    case dcm_open_failure::not_found: return "no such file";
    case dcm_open_failure::folder: return "is a directory";
    case dcm_open_failure::device: return "is a device, not a file; nothing was read";
    case dcm_open_failure::empty: return "empty file, not a DICOM part-10 file";
    case dcm_open_failure::in_use: return "is in use by another program that does not share it";
    case dcm_open_failure::access_denied: return "access denied";
    case dcm_open_failure::no_answer: return "did not answer within 3 seconds";
    case dcm_open_failure::no_memory: return "not enough memory to map it";
    case dcm_open_failure::other: break;
    }
    return "cannot be opened or mapped";
}
static_assert(dcm_open_wait_ms == 3000, "the no_answer text names the wait");

namespace {

std::atomic<std::uint64_t> whole_view_limit{UINT64_MAX};

}  // namespace

void dcm_set_whole_view_limit(std::uint64_t bytes) { whole_view_limit.store(bytes); }

std::uint64_t dcm_whole_view_limit() { return whole_view_limit.load(); }

void dcm_whole_view_limit_from_environment() {
    const char* text = std::getenv("VELK_WHOLE_VIEW_LIMIT");
    if (!text || *text < '0' || *text > '9') return;
    char* end = nullptr;
    errno = 0;
    const unsigned long long bytes = std::strtoull(text, &end, 10);
    if (*end == '\0' && errno == 0) dcm_set_whole_view_limit(bytes);
}

void dcm_file_mapping::adopt_windowed(std::unique_ptr<dcm_windowed_view> view) {
    if (!view) return fail(dcm_open_failure::no_memory);
    adopt(view->data(), view->size());
    m_windowed = std::move(view);
}

namespace {

bool is_separator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool starts_with(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

wchar_t upper(wchar_t c) {
    return static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(c)));
}

bool same_letters(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

// "C:\" or "C:/" at the start.
bool is_drive_path(std::wstring_view rest) {
    return rest.size() >= 3 && std::iswalpha(static_cast<std::wint_t>(rest[0])) &&
           rest[1] == L':' && is_separator(rest[2]);
}

// CON, PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$: Windows finds these in
// every folder, whatever the extension and with trailing spaces or a colon.
bool is_reserved_name(std::wstring_view name) {
    const std::size_t stop = name.find_first_of(L".:");
    std::wstring_view base = name.substr(0, stop);
    while (!base.empty() && base.back() == L' ') base.remove_suffix(1);
    for (const wchar_t* reserved : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (same_letters(base, reserved)) return true;
    if (base.size() == 4 &&
        (same_letters(base.substr(0, 3), L"COM") || same_letters(base.substr(0, 3), L"LPT")))
        return std::iswdigit(static_cast<std::wint_t>(base[3])) || base[3] == L'\x00b9' ||
               base[3] == L'\x00b2' || base[3] == L'\x00b3';
    return false;
}

}  // namespace

bool dcm_is_device_path(std::wstring_view path) {
    // The device namespace: \\.\NAME and \\?\NAME, unless what follows is a
    // drive path (\\?\C:\...) or a share (\\?\UNC\server\share\...).
    if (path.size() >= 4 && is_separator(path[0]) && is_separator(path[1]) &&
        (path[2] == L'.' || path[2] == L'?') && is_separator(path[3])) {
        const std::wstring_view rest = path.substr(4);
        return !(
            is_drive_path(rest) ||
            (rest.size() > 4 && same_letters(rest.substr(0, 3), L"UNC") && is_separator(rest[3])));
    }
    if (starts_with(path, L"\\??\\")) return true;
    const std::size_t last = path.find_last_of(L"\\/");
    const std::wstring_view name = last == std::wstring_view::npos ? path : path.substr(last + 1);
    // "C:CON" names the device too.
    const std::wstring_view after_drive =
        name.size() >= 2 && name[1] == L':' && last == std::wstring_view::npos ? name.substr(2)
                                                                               : name;
    return is_reserved_name(after_drive);
}

}  // namespace velk
