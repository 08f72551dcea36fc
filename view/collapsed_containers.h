// The containers a user collapsed, told by where they begin, so that the same
// containers fold again when the file is listed anew in the other reading (the
// row numbers of the two readings differ; the elements' places do not).
// Portable: tested on the host through the row model.
#pragma once

#include <cstdint>
#include <vector>

#include "present/row_model.h"

namespace velk {

struct CollapsedContainer {
    std::uint64_t offset;  // the element's first byte
    std::uint32_t level;   // its nesting level
    bool inflated;         // the offset counts in a deflated data set's inflated bytes
};

std::vector<CollapsedContainer> CollapsedContainers(const dcm_row_model& rows);

// Collapses each container row of `rows` that begins where one of `containers`
// began, at the same level; those inside a container collapsed here go with it.
void CollapseAgain(dcm_row_model& rows, const std::vector<CollapsedContainer>& containers);

}  // namespace velk
