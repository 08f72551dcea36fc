// A visitor that records what the parser tells it, as readable lines, so that a
// test can compare the whole conversation with an expected list.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "parse/visitor.h"

namespace velk {

namespace test {

class recording_visitor : public dcm_element_visitor {
public:
    explicit recording_visitor(const void* base = nullptr)
        : m_base(static_cast<const char*>(base)) {}

    void set_base(const void* base) override {
        m_base = static_cast<const char*>(base);
        events.push_back("base");
    }

    bool enter(const void*, std::uint32_t length, std::uint32_t, dcm_syntax mode) override {
        events.push_back("enter " + length_text(length) + " mode " + std::to_string(int(mode)));
        return true;
    }

    bool leave(std::uint64_t consumed) override {
        events.push_back("leave " + std::to_string(consumed));
        return false;
    }

    // "@offset (gggg,eeee) VR length hHEADER [C] mMODE", VR "--" when there is none
    dcm_visit element(const void* start, dcm_syntax mode, std::uint32_t tag, const char* vr,
                      bool container, const void* value, std::uint32_t length) override {
        char line[96];
        std::snprintf(line, sizeof line, "@%ld (%04X,%04X) %s %s h%ld%s m%d",
                      long(static_cast<const char*>(start) - m_base), unsigned(tag >> 16),
                      unsigned(tag & 0xFFFF), vr ? std::string(vr, 2).c_str() : "--",
                      length_text(length).c_str(),
                      long(static_cast<const char*>(value) - static_cast<const char*>(start)),
                      container ? " C" : "", int(mode));
        events.push_back(line);
        const auto it = answers.find(tag);
        return it == answers.end() ? visit_descend : it->second;
    }

    std::vector<std::string> events;
    std::map<std::uint32_t, dcm_visit> answers;  // per-tag answers of element(); descend otherwise

private:
    static std::string length_text(std::uint32_t v) {
        char s[16];
        std::snprintf(s, sizeof s, v == 0xFFFFFFFFu ? "undef" : "%u", v);
        return s;
    }

    const char* m_base;
};

}  // namespace test

}  // namespace velk
