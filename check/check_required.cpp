// The attributes every composite object holds: the SOP Common, Patient,
// General Study and General Series modules, and Image Pixel when there is Pixel
// Data (the standard's PS3.3 sections C.12.1, C.7.1.1, C.7.2.1, C.7.3.1,
// C.7.6.3). Type 1 must be there with a value, Type 2 must be there, empty or
// not. Conditional attributes (Type 1C, 2C) are left to the parts that know
// their condition (Planar Configuration: the pixel check). This is not a
// check of whole objects: each object's other modules are not looked at.
#include <string>

#include "check/check_source.h"
#include "parse/tags.h"

namespace velk {

namespace {

enum class module : std::uint8_t { sop_common, patient, study, series, image_pixel };

struct required_attribute {
    std::uint32_t tag;
    int type;  // 1 or 2
    module in;
};

constexpr required_attribute required_table[] = {
    {0x00080016u, 1, module::sop_common},   // SOP Class UID
    {0x00080018u, 1, module::sop_common},   // SOP Instance UID
    {0x00080020u, 2, module::study},        // Study Date
    {0x00080030u, 2, module::study},        // Study Time
    {0x00080050u, 2, module::study},        // Accession Number
    {0x00080060u, 1, module::series},       // Modality
    {0x00080090u, 2, module::study},        // Referring Physician's Name
    {0x00100010u, 2, module::patient},      // Patient's Name
    {0x00100020u, 2, module::patient},      // Patient ID
    {0x00100030u, 2, module::patient},      // Patient's Birth Date
    {0x00100040u, 2, module::patient},      // Patient's Sex
    {0x0020000Du, 1, module::study},        // Study Instance UID
    {0x0020000Eu, 1, module::series},       // Series Instance UID
    {0x00200010u, 2, module::study},        // Study ID
    {0x00200011u, 2, module::series},       // Series Number
    {0x00280002u, 1, module::image_pixel},  // Samples per Pixel
    {0x00280004u, 1, module::image_pixel},  // Photometric Interpretation
    {0x00280010u, 1, module::image_pixel},  // Rows
    {0x00280011u, 1, module::image_pixel},  // Columns
    {0x00280100u, 1, module::image_pixel},  // Bits Allocated
    {0x00280101u, 1, module::image_pixel},  // Bits Stored
    {0x00280102u, 1, module::image_pixel},  // High Bit
    {0x00280103u, 1, module::image_pixel},  // Pixel Representation
};

const char* module_name(module m) {
    switch (m) {
    case module::sop_common: return "SOP Common";
    case module::patient: return "Patient";
    case module::study: return "General Study";
    case module::series: return "General Series";
    case module::image_pixel: return "Image Pixel";
    }
    return "";
}

// No value: none at all, or only the padding of a text value.
bool is_empty(std::string_view value) {
    return value.find_first_not_of(' ') == std::string_view::npos;
}

// Storage classes whose objects belong to no patient, study or series: of the
// modules here they have SOP Common alone (the standard's PS3.3 sections A.58
// Color Palette, A.38 Hanging Protocol, A.64-A.66 implant templates).
constexpr std::string_view no_patient_classes[] = {
    "1.2.840.10008.5.1.4.39.1",  // Color Palette
    "1.2.840.10008.5.1.4.38.1",  // Hanging Protocol
    "1.2.840.10008.5.1.4.43.1",  // Generic Implant Template
    "1.2.840.10008.5.1.4.44.1",  // Implant Assembly Template
    "1.2.840.10008.5.1.4.45.1",  // Implant Template Group
};

bool belongs_to_a_patient(const dcm_check_source& source) {
    const std::size_t row = source.top_level(tag_sop_class_uid);
    if (row >= source.size()) return true;
    const std::string_view sop_class = dcm_trimmed(source.element(row).bytes());
    for (const std::string_view c : no_patient_classes)
        if (sop_class == c) return false;
    return true;
}

}  // namespace

void dcm_check_required(dcm_check_source& source) {
    if (!dcm_check_composite(source)) return;
    const bool pixels = source.top_level(tag_pixel_data) < source.size();
    const bool patient = belongs_to_a_patient(source);
    for (const required_attribute& a : required_table) {
        if (a.in == module::image_pixel && !pixels) continue;
        if (a.in != module::sop_common && a.in != module::image_pixel && !patient) continue;
        const std::size_t row = source.top_level(a.tag);
        const std::string what = dcm_tag_text(a.tag) + " " + dcm_check_name(a.tag) + " (Type " +
                                 std::to_string(a.type) + ", " + module_name(a.in) + " module)";
        if (row >= source.size())
            source.add_for(source.top_level_place(a.tag), a.tag, dcm_severity::error,
                           dcm_check_kind::required, what + " is missing");
        else if (a.type == 1 && is_empty(source.element(row).bytes()))
            source.add(row, dcm_severity::error, dcm_check_kind::required, what + " is empty");
    }
}

}  // namespace velk
