// A finding of the check: one thing wrong (or worth knowing) about one element
// of a file, at that element's offset, in a sentence a person understands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velk {

enum class dcm_severity : std::uint8_t { error, warning, info };

// What a finding is about; each has its own identifier in the output
// (dcm_check_kind_name).
enum class dcm_check_kind : std::uint8_t {
    value,          // a value breaks its VR's rules
    length,         // an odd value length
    vr,             // an explicit VR the dictionary does not give for the tag
    vm,             // a number of values outside the dictionary's multiplicity
    order,          // tags not ascending within one data set or item
    duplicate,      // the same tag twice in one data set or item
    group_length,   // a (gggg,0000) that differs from the bytes its group holds
    item_length,    // a defined-length sequence or item whose content overruns it
    meta,           // the file meta information
    syntax,         // the transfer syntax, or a data set not encoded as it says
    pixel,          // the image pixel description against Pixel Data
    private_block,  // a private element whose block has no creator
    required,       // a required attribute of the modules every object has
    retired,        // a retired attribute
    damage,         // where the walk stopped early
};

struct dcm_finding {
    dcm_severity severity;
    dcm_check_kind kind;
    std::uint32_t tag;
    std::uint64_t offset;  // the element's first byte (or where a missing one belongs)
    bool inflated;         // the offset counts in a deflated data set's inflated bytes
    std::size_t row;       // the row of the whole load it belongs to (rows() when none)
    std::string message;
};

// "value", "length", ..., "group-length", "private", ...
const char* dcm_check_kind_name(dcm_check_kind kind);
// "error", "warning", "info".
const char* dcm_severity_name(dcm_severity severity);

// "(0008,0016)", as findings write a tag.
std::string dcm_tag_text(std::uint32_t tag);
void dcm_append_tag(std::string& out, std::uint32_t tag);

// A file's findings in file order, with what a summary counts.
struct dcm_findings {
    std::vector<dcm_finding> list;
    bool capped = false;  // more were found than a file keeps (dcm_check_max_findings)

    std::size_t count(dcm_severity severity) const;
    bool has_errors() const { return count(dcm_severity::error) > 0; }
};

// Findings kept per file: a hostile file can break a rule at every one of its
// million elements; past this many the rest are counted as one more.
constexpr std::size_t dcm_check_max_findings = 100000;

}  // namespace velk
