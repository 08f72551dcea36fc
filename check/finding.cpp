#include "check/finding.h"

#include <algorithm>

#include "present/dictionary_full.h"

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

namespace {

// Text blocks are this large, or as large as the one sentence they hold.
constexpr std::size_t text_block_size = 64 * 1024;

const char* padding_name(char padding) { return padding == ' ' ? "a space" : "NUL"; }

// The dictionary's entry of a tag a finding was made for because of it.
const dcm_full_entry& entry_of(std::uint32_t tag) {
    static const dcm_full_entry none{0, "", "", false, ""};
    const dcm_full_entry* entry = dcm_full_find(tag);
    return entry ? *entry : none;
}

}  // namespace

void dcm_findings::hold_text(dcm_finding& finding, std::string_view text) {
    if (m_text_blocks.empty() ||
        m_text_blocks.back().capacity() - m_text_blocks.back().size() < text.size()) {
        m_text_blocks.emplace_back();
        m_text_blocks.back().reserve(std::max(text_block_size, text.size()));
    }
    std::string& block = m_text_blocks.back();
    finding.form = dcm_message_form::text;
    finding.values[0] = (std::uint64_t(m_text_blocks.size() - 1) << 32) | block.size();
    finding.values[1] = text.size();
    block.append(text);
}

void dcm_findings::shrink_to_fit() {
    list.shrink_to_fit();
    if (!m_text_blocks.empty()) m_text_blocks.back().shrink_to_fit();
}

std::string dcm_findings::message(const dcm_finding& finding) const {
    std::string text;
    append_message(text, finding);
    return text;
}

void dcm_findings::append_message(std::string& out, const dcm_finding& f) const {
    const std::uint32_t tag = f.tag;
    switch (f.form) {
    case dcm_message_form::text: {
        const std::string& block = m_text_blocks[std::size_t(f.values[0] >> 32)];
        out.append(block, std::size_t(f.values[0] & 0xFFFFFFFFu), std::size_t(f.values[1]));
        return;
    }
    case dcm_message_form::odd_length:
        out += "Value length ";
        out += std::to_string(f.values[0]);
        out += " is odd; every value has an even length";
        return;
    case dcm_message_form::out_of_order:
        dcm_append_tag(out, tag);
        out += " comes after ";
        dcm_append_tag(out, std::uint32_t(f.values[0]));
        out += "; tags ascend within a data set or item";
        return;
    case dcm_message_form::duplicate:
        dcm_append_tag(out, tag);
        out += " appears a second time in the same data set or item";
        return;
    case dcm_message_form::no_private_creator:
        out += "Private element ";
        dcm_append_tag(out, tag);
        out += " has no private creator ";
        dcm_append_tag(out, (tag & 0xFFFF0000u) | ((tag & 0xFFFFu) >> 8));
        out += " in its data set or item (nor do the block's elements after it)";
        return;
    case dcm_message_form::retired_group_length:
        dcm_append_tag(out, tag);
        out += " Group Length is retired";
        return;
    case dcm_message_form::retired:
        dcm_append_tag(out, tag);
        out += ' ';
        out += entry_of(tag).name;
        out += " is retired";
        return;
    case dcm_message_form::multiplicity: {
        const dcm_full_entry& entry = entry_of(tag);
        dcm_append_tag(out, tag);
        out += ' ';
        out += entry.name;
        out += " holds ";
        out += std::to_string(f.values[0]);
        out += f.values[0] == 1 ? " value" : " values";
        out += "; the dictionary's multiplicity is ";
        out += entry.vm;
        return;
    }
    case dcm_message_form::padding: {
        const char code[2] = {char(f.values[0] >> 8), char(f.values[0] & 0xFF)};
        const char padding = char(f.values[1]);
        out.append(code, 2);
        out += " value is padded with ";
        out += padding_name(padding == '\0' ? ' ' : '\0');
        out += "; ";
        out.append(code, 2);
        out += " is padded with ";
        out += padding_name(padding);
        return;
    }
    }
}

}  // namespace velk
