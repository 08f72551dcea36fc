#include "parse/mapping.h"

#include <locale>
#include <string>

namespace velk {

namespace {

std::string path_object(const char* path) { return path; }

#ifdef _WIN32
// Boost.Iostreams takes a wide path only in the shape of a file-system path
// object (one with a codecvt_type and native()); this is the least such shape.
struct wide_path {
    using codecvt_type = std::codecvt<wchar_t, char, std::mbstate_t>;
    std::wstring text;
    const std::wstring& native() const { return text; }
};

wide_path path_object(const wchar_t* path) { return wide_path{path}; }
#endif

}  // namespace

template <class Char>
void dcm_file_mapping::open(const Char* path) noexcept {
    if (!path) return;
    try {
        m_file.open(path_object(path));
    } catch (...) {
        // Missing, locked, unreadable or empty: the caller sees a closed mapping.
        try {
            m_file.close();
        } catch (...) {
        }
    }
}

dcm_file_mapping::dcm_file_mapping(const char* path) noexcept { open(path); }

#ifdef _WIN32
dcm_file_mapping::dcm_file_mapping(const wchar_t* path) noexcept { open(path); }
#endif

}  // namespace velk
