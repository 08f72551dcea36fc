// A finding of the check: one thing wrong (or worth knowing) about one element
// of a file, at that element's offset, in a sentence a person understands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
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

// How a finding's sentence is made when it is read (dcm_findings::message):
// the kinds a file may have by the thousand keep only the few numbers their
// sentence names, so that a check makes no text for them; the rest keep theirs.
enum class dcm_message_form : std::uint8_t {
    text,                  // held by the findings (values: where, how long)
    odd_length,            // values[0]: the value length
    out_of_order,          // values[0]: the tag before it
    duplicate,             // the tag once more
    no_private_creator,    // the block of the tag has no creator
    retired_group_length,  // a group length past the file meta information
    retired,               // the dictionary marks the tag retired
    multiplicity,          // values[0]: the number of values
    padding,               // values[0]: the VR's two letters; values[1]: its padding byte
};

struct dcm_finding {
    dcm_severity severity;
    dcm_check_kind kind;
    bool inflated;  // the offset counts in a deflated data set's inflated bytes
    dcm_message_form form;
    std::uint32_t tag;
    std::uint64_t offset;  // the element's first byte (or where a missing one belongs)
    std::size_t row;       // the row of the whole load it belongs to (rows() when none)
    std::uint64_t values[2];
};

// "value", "length", ..., "group-length", "private", ...
const char* dcm_check_kind_name(dcm_check_kind kind);
// "error", "warning", "info".
const char* dcm_severity_name(dcm_severity severity);

// "(0008,0016)", as findings write a tag.
std::string dcm_tag_text(std::uint32_t tag);
void dcm_append_tag(std::string& out, std::uint32_t tag);

// A file's findings in file order, with what a summary counts, and the text
// of their sentences.
struct dcm_findings {
    std::vector<dcm_finding> list;
    bool capped = false;  // more were found than a file keeps (dcm_check_max_findings)

    std::size_t count(dcm_severity severity) const;
    bool has_errors() const { return count(dcm_severity::error) > 0; }

    // The sentence of one of the findings: "DA value "2004.01.19" has
    // characters a date may not hold: '.'".
    std::string message(const dcm_finding& finding) const;
    void append_message(std::string& out, const dcm_finding& finding) const;

    // Keeps `text` as the sentence of `finding` (form text).
    void hold_text(dcm_finding& finding, std::string_view text);
    // Gives back the room beyond the findings and their text, for a holder
    // that keeps them (the check leaves room to grow: dcm_check).
    void shrink_to_fit();

private:
    // The sentences of form text, in blocks that are filled and never moved: a
    // list of them grown by doubling would touch twice its memory.
    std::vector<std::string> m_text_blocks;
};

// Findings kept per file: a hostile file can break a rule at every one of its
// million elements; past this many the rest are counted as one more.
constexpr std::size_t dcm_check_max_findings = 100000;

}  // namespace velk
