#include "view/row_keys.h"

namespace velk {

RowKeyAction ActionForRowKey(RowKey key, RowKeyTarget row) {
    const bool typed = key == RowKey::plus || key == RowKey::minus;
    const RowKeyAction nothing = typed ? RowKeyAction::ignore : RowKeyAction::none;
    const bool opens = key == RowKey::right || key == RowKey::plus;
    if (opens) return row.container && row.collapsed ? RowKeyAction::expand : nothing;
    if (row.container && !row.collapsed) return RowKeyAction::collapse;
    // Only Left climbs, as in a tree view; - on a row that cannot fold does nothing.
    return key == RowKey::left && row.nested ? RowKeyAction::focus_container : nothing;
}

std::optional<std::size_t> ContainerRowOf(const std::vector<std::uint32_t>& levels,
                                          std::size_t row) {
    return ContainerRowOf(row, levels.size(), [&](std::size_t i) { return levels[i]; });
}

}  // namespace velk
