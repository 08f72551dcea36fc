#include "parse/mapping.h"

#include <string>

template <class Char>
void dcm_file_mapping::open(const Char* path) noexcept {
    if (!path) return;
    try {
        m_file.open(std::basic_string<Char>(path));
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
