#include "check/finding.h"

#include <algorithm>

namespace velk {

const char* dcm_check_kind_name(dcm_check_kind kind) {
    switch (kind) {
    case dcm_check_kind::value: return "value";
    case dcm_check_kind::length: return "length";
    case dcm_check_kind::vr: return "vr";
    case dcm_check_kind::vm: return "vm";
    case dcm_check_kind::order: return "order";
    case dcm_check_kind::duplicate: return "duplicate";
    case dcm_check_kind::group_length: return "group-length";
    case dcm_check_kind::item_length: return "item-length";
    case dcm_check_kind::meta: return "meta";
    case dcm_check_kind::syntax: return "syntax";
    case dcm_check_kind::pixel: return "pixel";
    case dcm_check_kind::private_block: return "private";
    case dcm_check_kind::required: return "required";
    case dcm_check_kind::retired: return "retired";
    case dcm_check_kind::damage: return "damage";
    }
    return "";
}

const char* dcm_severity_name(dcm_severity severity) {
    switch (severity) {
    case dcm_severity::error: return "error";
    case dcm_severity::warning: return "warning";
    case dcm_severity::info: return "info";
    }
    return "";
}

std::size_t dcm_findings::count(dcm_severity severity) const {
    return static_cast<std::size_t>(
        std::count_if(list.begin(), list.end(),
                      [severity](const dcm_finding& f) { return f.severity == severity; }));
}

void dcm_append_tag(std::string& out, std::uint32_t tag) {
    // Written by hand: a hostile file may give a finding for each of a
    // million elements, and a formatted print per finding would cost more
    // than the check.
    static const char digits[] = "0123456789ABCDEF";
    char text[11] = {'(', 0, 0, 0, 0, ',', 0, 0, 0, 0, ')'};
    for (int i = 0; i < 4; ++i) {
        text[1 + i] = digits[(tag >> (28 - 4 * i)) & 0xF];
        text[6 + i] = digits[(tag >> (12 - 4 * i)) & 0xF];
    }
    out.append(text, sizeof text);
}

std::string dcm_tag_text(std::uint32_t tag) {
    std::string text;
    dcm_append_tag(text, tag);
    return text;
}

}  // namespace velk
