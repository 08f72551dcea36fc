// A read-only mapping of a whole file, for the length of one load, one expand or
// one cell's text. Opening never throws: a file that is missing, unreadable or
// empty (an empty file cannot be mapped) gives a mapping that is not open.
#pragma once

#include <cstddef>

#include <boost/iostreams/device/mapped_file.hpp>

namespace velk {

class dcm_file_mapping {
public:
    explicit dcm_file_mapping(const char* path) noexcept;
#ifdef _WIN32
    // Opens by the wide path, so that names outside the ANSI code page open too.
    explicit dcm_file_mapping(const wchar_t* path) noexcept;
#endif
    dcm_file_mapping(const dcm_file_mapping&) = delete;
    dcm_file_mapping& operator=(const dcm_file_mapping&) = delete;

    bool is_open() const { return m_file.is_open(); }
    const char* begin() const { return is_open() ? m_file.data() : nullptr; }
    const char* end() const { return is_open() ? m_file.data() + m_file.size() : nullptr; }
    std::size_t size() const { return is_open() ? m_file.size() : 0; }

private:
    template <class Char>
    void open(const Char* path) noexcept;

    boost::iostreams::mapped_file_source m_file;
};

}  // namespace velk
