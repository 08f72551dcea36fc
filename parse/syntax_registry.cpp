#include "parse/syntax_registry.h"

namespace velk {

namespace {

constexpr dcm_byte_order little = dcm_byte_order::little;
constexpr bool implicit_vr = false, explicit_vr = true;
constexpr bool plain = false, deflated = true;
constexpr bool native = false, encapsulated = true;
using C = dcm_compression;

}  // namespace

// Names as the status bar has always shown them; syntaxes added later carry
// the table's name without "Image Compression", as the older ones do.
// clang-format off
const dcm_syntax_info dcm_syntax_table[] = {
    {uid_implicit_vr_little_endian, "Implicit VR Little Endian", little, implicit_vr, plain, native, C::none},
    {uid_explicit_vr_little_endian, "Explicit VR Little Endian", little, explicit_vr, plain, native, C::none},
    {"1.2.840.10008.1.2.1.98", "Encapsulated Uncompressed Explicit VR Little Endian", little, explicit_vr, plain, encapsulated, C::none},
    {uid_deflated_explicit_vr_little_endian, "Deflated Explicit VR Little Endian", little, explicit_vr, deflated, native, C::none},
    {uid_explicit_vr_big_endian, "Explicit VR Big Endian", dcm_byte_order::big, explicit_vr, plain, native, C::none},
    {"1.2.840.10008.1.2.4.50", "JPEG Baseline (Process 1)", little, explicit_vr, plain, encapsulated, C::jpeg_baseline},
    {"1.2.840.10008.1.2.4.51", "JPEG Extended (Process 2 & 4)", little, explicit_vr, plain, encapsulated, C::jpeg_extended},
    {"1.2.840.10008.1.2.4.57", "JPEG Lossless, Non-Hierarchical (Process 14)", little, explicit_vr, plain, encapsulated, C::jpeg_lossless},
    {"1.2.840.10008.1.2.4.70", "JPEG Lossless, First-Order Prediction", little, explicit_vr, plain, encapsulated, C::jpeg_lossless},
    {"1.2.840.10008.1.2.4.80", "JPEG-LS Lossless", little, explicit_vr, plain, encapsulated, C::jpeg_ls},
    {"1.2.840.10008.1.2.4.81", "JPEG-LS Near-Lossless", little, explicit_vr, plain, encapsulated, C::jpeg_ls},
    {"1.2.840.10008.1.2.4.90", "JPEG 2000 (Lossless Only)", little, explicit_vr, plain, encapsulated, C::jpeg2000},
    {"1.2.840.10008.1.2.4.91", "JPEG 2000", little, explicit_vr, plain, encapsulated, C::jpeg2000},
    {"1.2.840.10008.1.2.4.92", "JPEG 2000 Part 2 Multi-component (Lossless Only)", little, explicit_vr, plain, encapsulated, C::jpeg2000},
    {"1.2.840.10008.1.2.4.93", "JPEG 2000 Part 2 Multi-component", little, explicit_vr, plain, encapsulated, C::jpeg2000},
    {"1.2.840.10008.1.2.4.94", "JPIP Referenced", little, explicit_vr, plain, native, C::other},
    {"1.2.840.10008.1.2.4.95", "JPIP Referenced Deflate", little, explicit_vr, deflated, native, C::other},
    {"1.2.840.10008.1.2.4.100", "MPEG2 Main Profile / Main Level", little, explicit_vr, plain, encapsulated, C::video},
    {"1.2.840.10008.1.2.4.100.1", "Fragmentable MPEG2 Main Profile / Main Level", little, explicit_vr, plain, encapsulated, C::video},
    {"1.2.840.10008.1.2.4.101", "MPEG2 Main Profile / High Level", little, explicit_vr, plain, encapsulated, C::video},
    {"1.2.840.10008.1.2.4.101.1", "Fragmentable MPEG2 Main Profile / High Level", little, explicit_vr, plain, encapsulated, C::video},
    {"1.2.840.10008.1.2.4.102", "MPEG-4 AVC/H.264 High Profile / Level 4.1", little, explicit_vr, plain, encapsulated, C::video},
    {"1.2.840.10008.1.2.4.102.1", "Fragmentable MPEG-4 AVC/H.264 High Profile / Level 4.1", little, explicit_vr, plain, encapsulated, C::video},
    {"1.2.840.10008.1.2.4.103", "MPEG-4 AVC/H.264 BD-compatible High Profile / Level 4.1", little, explicit_vr, plain, encapsulated, C::video},
    {"1.2.840.10008.1.2.4.103.1", "Fragmentable MPEG-4 AVC/H.264 BD-compatible High Profile / Level 4.1", little, explicit_vr, plain, encapsulated, C::video},
    {"1.2.840.10008.1.2.4.104", "MPEG-4 AVC/H.264 High Profile / Level 4.2 For 2D Video", little, explicit_vr, plain, encapsulated, C::video},
    {"1.2.840.10008.1.2.4.104.1", "Fragmentable MPEG-4 AVC/H.264 High Profile / Level 4.2 For 2D Video", little, explicit_vr, plain, encapsulated, C::video},
    {"1.2.840.10008.1.2.4.105", "MPEG-4 AVC/H.264 High Profile / Level 4.2 For 3D Video", little, explicit_vr, plain, encapsulated, C::video},
    {"1.2.840.10008.1.2.4.105.1", "Fragmentable MPEG-4 AVC/H.264 High Profile / Level 4.2 For 3D Video", little, explicit_vr, plain, encapsulated, C::video},
    {"1.2.840.10008.1.2.4.106", "MPEG-4 AVC/H.264 Stereo High Profile / Level 4.2", little, explicit_vr, plain, encapsulated, C::video},
    {"1.2.840.10008.1.2.4.106.1", "Fragmentable MPEG-4 AVC/H.264 Stereo High Profile / Level 4.2", little, explicit_vr, plain, encapsulated, C::video},
    {"1.2.840.10008.1.2.4.107", "HEVC/H.265 Main Profile / Level 5.1", little, explicit_vr, plain, encapsulated, C::video},
    {"1.2.840.10008.1.2.4.108", "HEVC/H.265 Main 10 Profile / Level 5.1", little, explicit_vr, plain, encapsulated, C::video},
    {"1.2.840.10008.1.2.4.110", "JPEG XL Lossless", little, explicit_vr, plain, encapsulated, C::jpeg_xl},
    {"1.2.840.10008.1.2.4.111", "JPEG XL JPEG Recompression", little, explicit_vr, plain, encapsulated, C::jpeg_xl},
    {"1.2.840.10008.1.2.4.112", "JPEG XL", little, explicit_vr, plain, encapsulated, C::jpeg_xl},
    {"1.2.840.10008.1.2.4.201", "High-Throughput JPEG 2000 (Lossless Only)", little, explicit_vr, plain, encapsulated, C::jpeg2000},
    {"1.2.840.10008.1.2.4.202", "High-Throughput JPEG 2000 with RPCL Options (Lossless Only)", little, explicit_vr, plain, encapsulated, C::jpeg2000},
    {"1.2.840.10008.1.2.4.203", "High-Throughput JPEG 2000", little, explicit_vr, plain, encapsulated, C::jpeg2000},
    {"1.2.840.10008.1.2.4.204", "JPIP HTJ2K Referenced", little, explicit_vr, plain, native, C::other},
    {"1.2.840.10008.1.2.4.205", "JPIP HTJ2K Referenced Deflate", little, explicit_vr, deflated, native, C::other},
    {"1.2.840.10008.1.2.5", "RLE Lossless", little, explicit_vr, plain, encapsulated, C::rle},
    {"1.2.840.10008.1.2.7.1", "SMPTE ST 2110-20 Uncompressed Progressive Active Video", little, explicit_vr, plain, native, C::other},
    {"1.2.840.10008.1.2.7.2", "SMPTE ST 2110-20 Uncompressed Interlaced Active Video", little, explicit_vr, plain, native, C::other},
    {"1.2.840.10008.1.2.7.3", "SMPTE ST 2110-30 PCM Digital Audio", little, explicit_vr, plain, native, C::other},
};
// clang-format on

const std::size_t dcm_syntax_count = sizeof dcm_syntax_table / sizeof dcm_syntax_table[0];

const dcm_syntax_info* dcm_find_syntax(std::string_view uid) {
    while (!uid.empty() && (uid.back() == '\0' || uid.back() == ' ')) uid.remove_suffix(1);
    for (std::size_t i = 0; i < dcm_syntax_count; ++i) {
        if (dcm_syntax_table[i].uid == uid) return &dcm_syntax_table[i];
    }
    return nullptr;
}

}  // namespace velk
