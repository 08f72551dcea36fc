#include "view/collapsed_containers.h"

#include <algorithm>

namespace velk {

namespace {

bool SamePlace(const dcm_record& record, const CollapsedContainer& c) {
    return record.offset == c.offset && record.level == c.level && record.inflated == c.inflated;
}

}  // namespace

std::vector<CollapsedContainer> CollapsedContainers(const dcm_row_model& rows) {
    std::vector<CollapsedContainer> containers;
    for (int row : rows.collapsed()) {
        const dcm_record& record = rows.record(static_cast<std::size_t>(row));
        containers.push_back({record.offset, std::uint32_t(record.level), record.inflated});
    }
    return containers;
}

// Top down: a container collapsed takes the rows nested in it out of the walk.
void CollapseAgain(dcm_row_model& rows, const std::vector<CollapsedContainer>& containers) {
    if (containers.empty()) return;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const dcm_record& record = rows.record(row);
        if (!record.container || rows.is_collapsed(row)) continue;
        const auto here = [&](const CollapsedContainer& c) { return SamePlace(record, c); };
        if (std::any_of(containers.begin(), containers.end(), here)) rows.collapse(row);
    }
}

}  // namespace velk
