// The folding keys' decisions, and finding a row's container by the levels.
#include <gtest/gtest.h>

#include "view/row_keys.h"

namespace velk {

TEST(RowKeys, FoldOnlyWhatCanFoldAndClimbOnlyWithLeft) {
    const RowKeyTarget collapsed{true, true, true}, expanded{true, false, true},
        leaf{false, false, true}, top_leaf{false, false, false};
    EXPECT_EQ(ActionForRowKey(RowKey::right, collapsed), RowKeyAction::expand);
    EXPECT_EQ(ActionForRowKey(RowKey::plus, expanded), RowKeyAction::ignore);  // not typed text
    EXPECT_EQ(ActionForRowKey(RowKey::plus, leaf), RowKeyAction::ignore);
    EXPECT_EQ(ActionForRowKey(RowKey::right, leaf), RowKeyAction::none);
    EXPECT_EQ(ActionForRowKey(RowKey::minus, expanded), RowKeyAction::collapse);
    EXPECT_EQ(ActionForRowKey(RowKey::left, collapsed), RowKeyAction::focus_container);
    EXPECT_EQ(ActionForRowKey(RowKey::minus, leaf), RowKeyAction::ignore);
    EXPECT_EQ(ActionForRowKey(RowKey::left, top_leaf), RowKeyAction::none);  // the list scrolls
}

TEST(RowKeys, ContainerIsTheNearestShallowerRowAbove) {
    // SQ, item, element, nested SQ, its item, element, then the item's next element.
    const std::vector<std::uint32_t> levels{0, 1, 2, 2, 3, 4, 2, 0};
    EXPECT_EQ(ContainerRowOf(levels, 6), 1u);
    EXPECT_EQ(ContainerRowOf(levels, 5), 4u);
    EXPECT_EQ(ContainerRowOf(levels, 7), std::nullopt);
    EXPECT_EQ(ContainerRowOf(levels, 99), std::nullopt);
}

}  // namespace velk
