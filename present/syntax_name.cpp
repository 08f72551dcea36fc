#include "present/syntax_name.h"

namespace velk {

namespace {

struct syntax_name {
    std::string_view uid;
    const char* name;
};

constexpr syntax_name kNames[] = {
    {"1.2.840.10008.1.2", "Implicit VR Little Endian"},
    {"1.2.840.10008.1.2.1", "Explicit VR Little Endian"},
    {"1.2.840.10008.1.2.1.99", "Deflated Explicit VR Little Endian"},
    {"1.2.840.10008.1.2.2", "Explicit VR Big Endian"},
    {"1.2.840.10008.1.2.4.50", "JPEG Baseline (Process 1)"},
    {"1.2.840.10008.1.2.4.51", "JPEG Extended (Process 2 & 4)"},
    {"1.2.840.10008.1.2.4.57", "JPEG Lossless, Non-Hierarchical (Process 14)"},
    {"1.2.840.10008.1.2.4.70", "JPEG Lossless, First-Order Prediction"},
    {"1.2.840.10008.1.2.4.80", "JPEG-LS Lossless"},
    {"1.2.840.10008.1.2.4.81", "JPEG-LS Near-Lossless"},
    {"1.2.840.10008.1.2.4.90", "JPEG 2000 (Lossless Only)"},
    {"1.2.840.10008.1.2.4.91", "JPEG 2000"},
    {"1.2.840.10008.1.2.4.100", "MPEG2 Main Profile / Main Level"},
    {"1.2.840.10008.1.2.4.102", "MPEG-4 AVC/H.264 High Profile / Level 4.1"},
    {"1.2.840.10008.1.2.4.201", "High-Throughput JPEG 2000 (Lossless Only)"},
    {"1.2.840.10008.1.2.4.203", "High-Throughput JPEG 2000"},
    {"1.2.840.10008.1.2.5", "RLE Lossless"},
};

}  // namespace

const char* dcm_transfer_syntax_name(std::string_view uid) {
    while (!uid.empty() && (uid.back() == '\0' || uid.back() == ' ')) uid.remove_suffix(1);
    for (const syntax_name& known : kNames) {
        if (known.uid == uid) return known.name;
    }
    return nullptr;
}

}  // namespace velk
