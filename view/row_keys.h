// The keyboard's way to fold the element list, as in a tree view: on the focused
// row, Right or + expands a collapsed container, Left or - collapses an expanded
// one, and Left on any other nested row moves the focus to its container. Left
// and Right that do none of this are left to the list (it then scrolls); + and
// - never are (the list would take them as typed text and jump to a row).
// Portable: the decision is tested on the host, the list window acts on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace velk {

enum class RowKey { right, left, plus, minus };

// none: the key is the list's; ignore: the key is taken and does nothing.
enum class RowKeyAction { none, ignore, expand, collapse, focus_container };

struct RowKeyTarget {
    bool container;  // a sequence or item row
    bool collapsed;  // its nested rows hidden
    bool nested;     // below the top level of the data set
};

RowKeyAction ActionForRowKey(RowKey key, RowKeyTarget row);

// The container of row `row`: the nearest row above it with a lower nesting
// level, from the rows' levels. None for a top-level row or one out of range.
std::optional<std::size_t> ContainerRowOf(const std::vector<std::uint32_t>& levels,
                                          std::size_t row);

// The same over `count` rows whose levels `level_of(i)` answers (the row model's).
template <class LevelOf>
std::optional<std::size_t> ContainerRowOf(std::size_t row, std::size_t count, LevelOf level_of) {
    if (row >= count || level_of(row) == 0) return std::nullopt;
    for (std::size_t above = row; above-- > 0;) {
        if (level_of(above) < level_of(row)) return above;
    }
    return std::nullopt;
}

}  // namespace velk
