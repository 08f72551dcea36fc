// The interface through which the parser reports elements.
#pragma once

#include <cstdint>

namespace velk {

// Answers of dcm_element_visitor::element. Any other answer acts like visit_skip.
constexpr int visit_descend = 0;  // descend into the element if it is a container
constexpr int visit_skip = 1;     // step over the value
constexpr int visit_stop = 2;     // end the current level at once

// Abstract visitor, called through its virtual operations. It has no virtual
// destructor: visitors are never deleted through this interface.
struct dcm_element_visitor {
    // The first byte of the file; offsets are measured from it. Called by the
    // file entry before the first element, never by the parser.
    virtual void set_base(const void* base) = 0;
    // Just before the parser descends into a container. `mode` is the syntax
    // mode the nested level starts in, which a later re-parse of the container
    // needs (a cursor does not record it).
    virtual bool enter(const void* value, std::uint32_t length, std::uint32_t tag, int mode) = 0;
    // Just after the nested level returns `consumed` bytes.
    virtual bool leave(std::uint32_t consumed) = 0;
    // Once per element, delimiters included. `vr` is null for an element without
    // VR and points at two unterminated characters otherwise, valid during the call.
    virtual int element(const void* start, int mode, std::uint32_t tag, const char* vr,
                        bool container, const void* value, std::uint32_t length) = 0;

protected:
    ~dcm_element_visitor() = default;
};

// Answers skip to everything; called directly, not through the interface.
struct dcm_skip_visitor {
    bool enter(const void*, std::uint32_t, std::uint32_t, int) { return false; }
    bool leave(std::uint32_t) { return false; }
    int element(const void*, int, std::uint32_t, const char*, bool, const void*, std::uint32_t) {
        return visit_skip;
    }
};

}  // namespace velk
