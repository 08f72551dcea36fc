// The interface through which the parser reports elements.
#pragma once

#include <cstdint>

#include "parse/header.h"

namespace velk {

// Answers of dcm_element_visitor::element.
enum dcm_visit : int {
    visit_descend = 0,  // descend into the element if it is a container
    visit_skip = 1,     // step over the value
    visit_stop = 2,     // end the current level at once
};

// Abstract visitor, called through its virtual operations. It has no virtual
// destructor: visitors are never deleted through this interface.
struct dcm_element_visitor {
    // The first byte of the file; offsets are measured from it. Called by the
    // file entry before the first element, never by the parser.
    virtual void set_base(const void* base) = 0;
    // Just before the parser descends into a container. `mode` is the syntax
    // mode the nested level starts in, which a later re-parse of the container
    // needs (a cursor does not record it).
    virtual bool enter(const void* value, std::uint32_t length, std::uint32_t tag,
                       dcm_syntax mode) = 0;
    // Just after the nested level returns `consumed` bytes.
    virtual bool leave(std::uint64_t consumed) = 0;
    // Once per element, delimiters included. `vr` is null for an element without
    // VR and points at two unterminated characters otherwise, valid during the call.
    virtual dcm_visit element(const void* start, dcm_syntax mode, std::uint32_t tag, const char* vr,
                              bool container, const void* value, std::uint32_t length) = 0;

protected:
    ~dcm_element_visitor() = default;
};

}  // namespace velk
