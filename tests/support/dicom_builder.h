// A tiny little-endian builder of DICOM byte streams for tests. Each call appends
// one field or one element; the bytes are kept in a string.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace velk {

namespace test {

constexpr std::uint32_t undefined = 0xFFFFFFFFu;

inline std::string le16(std::uint16_t v) { return std::string{char(v & 0xFF), char(v >> 8)}; }

inline std::string le32(std::uint32_t v) {
    return le16(std::uint16_t(v & 0xFFFF)) + le16(std::uint16_t(v >> 16));
}

inline bool long_form(const std::string& vr) {
    for (const char* v :
         {"SQ", "OB", "OW", "OF", "UT", "UN", "UC", "UR", "OD", "OL", "OV", "SV", "UV"})
        if (vr == v) return true;
    return false;
}

class dicom_builder {
public:
    // 128 zero bytes and "DICM": the part-10 preamble.
    dicom_builder& preamble() {
        m_bytes.append(128, '\0');
        m_bytes += "DICM";
        return *this;
    }

    // An explicit header with a declared length, short or long form by VR.
    dicom_builder& explicit_header(std::uint16_t group, std::uint16_t element,
                                   const std::string& vr, std::uint32_t length) {
        tag(group, element);
        m_bytes += vr.substr(0, 2);
        if (long_form(vr)) {
            m_bytes += le16(0);  // reserved
            m_bytes += le32(length);
        } else {
            m_bytes += le16(std::uint16_t(length));
        }
        return *this;
    }

    dicom_builder& explicit_element(std::uint16_t group, std::uint16_t element,
                                    const std::string& vr, const std::string& value) {
        explicit_header(group, element, vr, std::uint32_t(value.size()));
        m_bytes += value;
        return *this;
    }

    // An implicit header: tag and 32-bit length.
    dicom_builder& implicit_header(std::uint16_t group, std::uint16_t element,
                                   std::uint32_t length) {
        tag(group, element);
        m_bytes += le32(length);
        return *this;
    }

    dicom_builder& implicit_element(std::uint16_t group, std::uint16_t element,
                                    const std::string& value) {
        implicit_header(group, element, std::uint32_t(value.size()));
        m_bytes += value;
        return *this;
    }

    // An explicit "SQ" header; undefined length unless one is given.
    dicom_builder& sequence(std::uint16_t group, std::uint16_t element,
                            std::uint32_t length = undefined) {
        return explicit_header(group, element, "SQ", length);
    }

    dicom_builder& item(std::uint32_t length = undefined) {
        return implicit_header(0xFFFE, 0xE000, length);
    }
    dicom_builder& item_end(std::uint32_t length = 0) {
        return implicit_header(0xFFFE, 0xE00D, length);
    }
    dicom_builder& sequence_end(std::uint32_t length = 0) {
        return implicit_header(0xFFFE, 0xE0DD, length);
    }

    // (0002,0010) with the value padded to even length by a NUL.
    dicom_builder& transfer_syntax(std::string uid) {
        if (uid.size() % 2) uid += '\0';
        return explicit_element(0x0002, 0x0010, "UI", uid);
    }

    dicom_builder& raw(const std::string& bytes) {
        m_bytes += bytes;
        return *this;
    }

    const std::string& bytes() const { return m_bytes; }
    std::size_t size() const { return m_bytes.size(); }

    // Writes the bytes to `path`; returns false on failure.
    bool write(const std::string& path) const {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return false;
        const bool ok = std::fwrite(m_bytes.data(), 1, m_bytes.size(), f) == m_bytes.size();
        return std::fclose(f) == 0 && ok;
    }

private:
    void tag(std::uint16_t group, std::uint16_t element) {
        m_bytes += le16(group);
        m_bytes += le16(element);
    }

    std::string m_bytes;
};

// Implicit VR little endian and explicit VR little endian transfer syntaxes.
inline const char* implicit_le_uid() { return "1.2.840.10008.1.2"; }
inline const char* explicit_le_uid() { return "1.2.840.10008.1.2.1"; }

}  // namespace test

}  // namespace velk
