// Element cursors: one compact position record per parsed element, and the
// visitor that collects them. A cursor holds no value bytes; every later use of
// the element reads the file again from the cursor's offset.
#pragma once

#include <cstdint>

#include "parse/visitor.h"

namespace velk {

// A struct template over the pointer type of the parsed buffer, so that the
// record's layout stays independent of it; the system uses the untyped instance.
template <class Ptr>
struct dcm_basic_cursor {
    std::uint32_t offset;             // first byte of the element, from the file's start
    std::uint32_t length;             // declared value length (undefined_length kept)
    char vr[2];                       // as read; two zero bytes when there is none
    unsigned char depth : 4;          // nesting depth, modulo 16
    unsigned char header_length : 4;  // 8 or 12
    unsigned char container : 1;      // the parser's container decision
};

using dcm_cursor = dcm_basic_cursor<const void*>;

// Tens of thousands of cursors are held per document: keep the record small.
static_assert(sizeof(dcm_cursor) == 12, "a cursor is 12 bytes");

// Collects one cursor per reported element through an output iterator, and
// descends into every container.
template <class OutIt>
class dcm_cursor_insert : public dcm_element_visitor {
public:
    dcm_cursor_insert(OutIt out_, int depth_, const void* base_)
        : base(static_cast<const unsigned char*>(base_)), depth(depth_), current(), out(out_) {}

    void set_base(const void* base_) override { base = static_cast<const unsigned char*>(base_); }

    bool enter(const void*, std::uint32_t, std::uint32_t, dcm_syntax) override {
        ++depth;
        return true;
    }

    bool leave(std::uint64_t) override {
        --depth;
        return false;
    }

    dcm_visit element(const void* start, dcm_syntax, std::uint32_t, const char* vr, bool container_,
                      const void* value, std::uint32_t length) override {
        const auto* first = static_cast<const unsigned char*>(start);
        current.vr[0] = vr ? vr[0] : 0;
        current.vr[1] = vr ? vr[1] : 0;
        current.offset = static_cast<std::uint32_t>(first - base);
        current.header_length =
            static_cast<unsigned>(static_cast<const unsigned char*>(value) - first) & 0xFu;
        current.length = length;
        current.depth = static_cast<unsigned>(depth) & 0xFu;
        current.container = container_ ? 1u : 0u;
        *out = current;
        ++out;
        return visit_descend;
    }

    const unsigned char* base;
    int depth;
    dcm_cursor current;
    OutIt out;
};

}  // namespace velk
