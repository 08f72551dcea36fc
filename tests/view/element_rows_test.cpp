// The row bookkeeping of the element list: whatever the user collapses and
// expands, in whatever order, the visible rows are the rows of the load minus the
// nested rows of the collapsed containers, and the collapsed set names exactly
// those containers. Held against a model built from a full load.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "cursor_compare.h"
#include "dicom_builder.h"
#include "present/row_model.h"
#include "view/collapsed_containers.h"

namespace velk {

namespace {

using test::dicom_builder;

dcm_row_model loaded(const std::string& bytes) {
    dcm_row_model rows;
    rows.load({bytes.data(), bytes.data() + bytes.size()});
    return rows;
}

// What must hold whatever the file did: a collapsed row is a container with nothing nested after
// it.
void expect_consistent(const dcm_row_model& rows) {
    for (int r : rows.collapsed()) {
        ASSERT_GE(r, 0);
        ASSERT_LT(std::size_t(r), rows.size());
        EXPECT_TRUE(rows.records()[std::size_t(r)].container) << "row " << r;
        if (std::size_t(r) + 1 < rows.size()) {
            EXPECT_LE(rows.records()[std::size_t(r) + 1].level,
                      rows.records()[std::size_t(r)].level)
                << "row " << r;
        }
    }
}

// The rows a user should see: the full load without what is nested in the
// containers collapsed (named by offset), and the rows of those containers.
struct expected_view {
    std::vector<dcm_record> elements;
    std::set<int> collapsed;
};

expected_view model(const dcm_row_model& full, const std::set<std::uint64_t>& collapsed) {
    expected_view v;
    std::size_t i = 0;
    while (i < full.size()) {
        const dcm_record& c = full.records()[i];
        v.elements.push_back(c);
        std::size_t next = i + 1;
        if (collapsed.count(c.offset)) {
            v.collapsed.insert(int(v.elements.size() - 1));
            while (next < full.size() && full.records()[next].level > full.records()[i].level)
                ++next;
        }
        i = next;
    }
    return v;
}

void expect_matches(const dcm_row_model& rows, const expected_view& v) {
    expect_consistent(rows);
    EXPECT_EQ(rows.records(), v.elements);
    EXPECT_EQ(rows.collapsed(), v.collapsed);
}

// Offsets of the full load's rows nested in the row at `offset`.
std::set<std::uint64_t> nested_offsets(const dcm_row_model& full, std::uint64_t offset) {
    std::set<std::uint64_t> nested;
    std::size_t i = 0;
    while (full.records()[i].offset != offset) ++i;
    for (std::size_t e = i + 1;
         e < full.size() && full.records()[e].level > full.records()[i].level; ++e)
        nested.insert(full.records()[e].offset);
    return nested;
}

// Clicks containers at random and checks every step against the model.
void toggle_at_random(const std::string& bytes, int clicks, unsigned seed) {
    const dcm_row_model full = loaded(bytes);
    dcm_row_model rows = loaded(bytes);
    std::set<std::uint64_t> collapsed;
    std::mt19937 random(seed);
    for (int click = 0; click < clicks; ++click) {
        std::vector<std::size_t> containers;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows.records()[i].container) containers.push_back(i);
        ASSERT_FALSE(containers.empty());
        const std::size_t row = containers[random() % containers.size()];
        const std::uint64_t offset = rows.records()[row].offset;
        if (rows.is_collapsed(row)) {
            rows.expand(row, {bytes.data(), bytes.data() + bytes.size()});
            collapsed.erase(offset);
        } else {
            rows.collapse(row);
            for (std::uint64_t o : nested_offsets(full, offset)) collapsed.erase(o);
            collapsed.insert(offset);
        }
        SCOPED_TRACE("click " + std::to_string(click) + " on row " + std::to_string(row));
        expect_matches(rows, model(full, collapsed));
        if (testing::Test::HasFailure()) return;
    }
}

// ---------------------------------------------------------------- test files

// Sequences in sequences of defined and undefined lengths, items of both kinds,
// encapsulated pixel data and an unknown-VR value of undefined length.
std::string nested_file(bool implicit) {
    dicom_builder b;
    b.preamble().transfer_syntax(implicit ? test::implicit_le_uid() : test::explicit_le_uid());
    auto plain = [&](std::uint16_t g, std::uint16_t e, const char* vr, const std::string& v) {
        implicit ? b.implicit_element(g, e, v) : b.explicit_element(g, e, vr, v);
    };
    auto sequence = [&](std::uint16_t g, std::uint16_t e) {
        implicit ? b.implicit_header(g, e, test::undefined) : b.sequence(g, e);
    };
    plain(0x0008, 0x0060, "CS", "MR");
    sequence(0x0008, 0x1140);
    b.item();
    plain(0x0008, 0x1150, "UI", "1.23");
    sequence(0x0040, 0xA730);
    b.item();
    plain(0x0040, 0xA040, "CS", "TEXT");
    sequence(0x0040, 0xA731);
    b.item(12);
    plain(0x0040, 0xA160, "UT", "abcd");
    b.sequence_end();
    b.item_end().sequence_end();
    b.item_end();
    b.item(12);
    plain(0x0008, 0x1155, "UI", "1234");
    b.sequence_end();
    if (!implicit) {
        b.sequence(0x0008, 0x1111, 28).item(20);
        b.explicit_element(0x0008, 0x1150, "UI", "1.23");
        b.sequence(0x0008, 0x1199, 0);
        b.explicit_header(0x7FE0, 0x0010, "OB", test::undefined).item(0).item(4).raw("abcd");
        b.sequence_end();
        b.explicit_header(0x0009, 0x1010, "UN", test::undefined).item().item_end().sequence_end();
    }
    plain(0x0010, 0x0010, "PN", "Doe^");
    sequence(0x0040, 0x0275);  // the last top-level element is a container
    b.item();
    plain(0x0040, 0x0007, "LO", "last");
    b.item_end().sequence_end();
    return b.bytes();
}

// `levels` containers nested in each other: sequences holding one item, each
// item holding an element, the next sequence and another element.
std::string deep_file(int levels) {
    dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    for (int i = 0; i < levels; ++i) {
        if (i % 2 == 0) {
            b.sequence(0x0040, 0xA730);
        } else {
            b.item();
            b.explicit_element(0x0040, 0xA040, "CS", "TEXT");
        }
    }
    for (int i = levels - 1; i >= 0; --i) {
        if (i % 2 == 0) {
            b.sequence_end();
        } else {
            b.explicit_element(0x0040, 0xA160, "UT", "after");
            b.item_end();
        }
    }
    b.explicit_element(0x0010, 0x0010, "PN", "Doe^");
    return b.bytes();
}

// --------------------------------------------------------------------- tests

struct toggle_case {
    const char* name;
    std::string bytes;
    int clicks;
};

void PrintTo(const toggle_case& c, std::ostream* os) { *os << c.name; }

class RandomClicks : public ::testing::TestWithParam<toggle_case> {};

TEST_P(RandomClicks, KeepTheRowsOfTheLoadMinusCollapsedContainers) {
    for (unsigned seed = 1; seed <= 4 && !HasFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        toggle_at_random(GetParam().bytes, GetParam().clicks, seed);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, RandomClicks,
                         ::testing::Values(toggle_case{"Explicit", nested_file(false), 120},
                                           toggle_case{"Implicit", nested_file(true), 120},
                                           toggle_case{"Deep16", deep_file(16), 120},
                                           toggle_case{"Deep20", deep_file(20), 120},
                                           toggle_case{"Deep200", deep_file(200), 120}),
                         [](const auto& info) { return std::string(info.param.name); });

struct deep_case {
    const char* name;
    int levels;
};

void PrintTo(const deep_case& c, std::ostream* os) { *os << c.name; }

class DeepNesting : public ::testing::TestWithParam<deep_case> {};

TEST_P(DeepNesting, CollapsingTheOuterContainerHidesEveryNestedRow) {
    const std::string bytes = deep_file(GetParam().levels);
    dcm_row_model rows = loaded(bytes);
    const dcm_row_model full = loaded(bytes);
    std::size_t outer = 0;
    while (!rows.records()[outer].container) ++outer;

    // Past 16 levels the stored depth wraps: a nested row shows a depth no
    // greater than the container's, which a collapse by stored depth stops at.
    const bool wraps = std::any_of(
        rows.records().begin() + std::ptrdiff_t(outer) + 1, rows.records().end() - 1,
        [&](const dcm_record& c) { return c.depth() <= rows.records()[outer].depth(); });
    EXPECT_EQ(wraps, GetParam().levels >= 16);

    EXPECT_EQ(rows.collapse(outer), full.size() - outer - 2);  // all but the last element
    expect_matches(rows, model(full, {rows.records()[outer].offset}));
    EXPECT_EQ(rows.expand(outer, {bytes.data(), bytes.data() + bytes.size()}),
              full.size() - outer - 2);
    expect_matches(rows, model(full, {}));
}

TEST_P(DeepNesting, EveryContainerCollapsesAndExpandsBackToTheLoad) {
    const std::string bytes = deep_file(GetParam().levels);
    const dcm_row_model full = loaded(bytes);
    for (std::size_t i = 0; i < full.size(); ++i) {
        if (!full.records()[i].container) continue;
        dcm_row_model rows = loaded(bytes);
        rows.collapse(i);
        expect_matches(rows, model(full, {full.records()[i].offset}));
        rows.expand(i, {bytes.data(), bytes.data() + bytes.size()});
        expect_matches(rows, model(full, {}));
        if (HasFailure()) FAIL() << "row " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, DeepNesting,
                         ::testing::Values(deep_case{"Levels15", 15}, deep_case{"Levels16", 16},
                                           deep_case{"Levels20", 20}, deep_case{"Levels200", 200}),
                         [](const auto& info) { return std::string(info.param.name); });

// Row 2 with nested rows 3 to 5, and a collapsed row 10.
TEST(CollapsedSet, RenumbersRowsBelowACollapseAndBackOnExpand) {
    dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());  // row 0
    b.explicit_element(0x0008, 0x0060, "CS", "MR");         // row 1
    b.sequence(0x0008, 0x1140, 8 + 12 + 12).item(24);       // rows 2, 3
    b.explicit_element(0x0008, 0x1150, "UI", "1.23");       // row 4
    b.explicit_element(0x0008, 0x1155, "UI", "1234");       // row 5
    for (std::uint16_t e = 0x20; e < 0x24; ++e)             // rows 6 to 9
        b.explicit_element(0x0008, e, "DA", "20240101");
    b.sequence(0x0040, 0xA730).item();                 // rows 10, 11
    b.explicit_element(0x0040, 0xA040, "CS", "TEXT");  // row 12
    b.item_end().sequence_end();                       // rows 13, 14
    b.explicit_element(0x0010, 0x0010, "PN", "Doe^");  // row 15
    const std::string bytes = b.bytes();
    dcm_row_model rows = loaded(bytes);
    ASSERT_EQ(rows.size(), 16u);

    EXPECT_EQ(rows.collapse(10), 4u);
    EXPECT_EQ(rows.collapse(2), 3u);
    EXPECT_EQ(rows.collapsed(), (std::set<int>{2, 7}));
    EXPECT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows.records()[7].offset, loaded(bytes).records()[10].offset);

    EXPECT_EQ(rows.expand(2, {bytes.data(), bytes.data() + bytes.size()}), 3u);
    EXPECT_EQ(rows.collapsed(), (std::set<int>{10}));
    EXPECT_EQ(rows.size(), 12u);
}

TEST(CollapsedSet, AContainerCollapsedInsideComesBackExpanded) {
    const std::string bytes = nested_file(false);
    const dcm_row_model full = loaded(bytes);
    dcm_row_model rows = loaded(bytes);
    std::size_t sequence = 0;
    while (!rows.records()[sequence].container) ++sequence;
    const std::size_t item = sequence + 1;
    ASSERT_TRUE(rows.records()[item].container);

    rows.collapse(item);
    rows.collapse(sequence);
    EXPECT_EQ(rows.collapsed(), (std::set<int>{int(sequence)}));
    rows.expand(sequence, {bytes.data(), bytes.data() + bytes.size()});
    expect_matches(rows, model(full, {}));
    EXPECT_FALSE(rows.is_collapsed(item));
}

TEST(CollapsedSet, TheLastTopLevelContainerCollapsesToTheEnd) {
    const std::string bytes = nested_file(false);
    dcm_row_model rows = loaded(bytes);
    std::size_t last = rows.size() - 1;
    while (rows.records()[last].level != 0) --last;
    ASSERT_TRUE(rows.records()[last].container);
    EXPECT_EQ(rows.collapse(last), rows.size() - last - 1);
    EXPECT_EQ(rows.size(), last + 1);
    expect_consistent(rows);
}

TEST(CollapsedSet, OnlyContainersCollapseAndOnlyCollapsedRowsExpand) {
    const std::string bytes = nested_file(false);
    dcm_row_model rows = loaded(bytes);
    const std::size_t before = rows.size();
    std::size_t empty_sequence = 0;
    while (rows.records()[empty_sequence].length != 0 ||
           rows.records()[empty_sequence].vr[0] != 'S')
        ++empty_sequence;
    EXPECT_FALSE(rows.records()[empty_sequence].container);

    std::size_t container = 0;
    while (!rows.records()[container].container) ++container;
    const char* b = bytes.data();
    const char* e = b + bytes.size();
    EXPECT_EQ(rows.collapse(empty_sequence), 0u);   // an empty sequence is no container
    EXPECT_EQ(rows.collapse(0), 0u);                // a plain element
    EXPECT_EQ(rows.collapse(before), 0u);           // past the last row
    EXPECT_EQ(rows.expand(container, {b, e}), 0u);  // expanded already: no second copy
    EXPECT_EQ(rows.expand(before + 5, {b, e}), 0u);
    EXPECT_EQ(rows.size(), before);
    EXPECT_TRUE(rows.collapsed().empty());
    EXPECT_GT(rows.collapse(container), 0u);
    EXPECT_EQ(rows.collapse(container), 0u);  // collapsed already
    expect_consistent(rows);
}

TEST(CollapsedSet, AContainerOfTenThousandRows) {
    dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    b.sequence(0x0040, 0xA730).item();
    for (int i = 0; i < 9997; ++i) b.explicit_element(0x0040, 0xA040, "CS", "TEXT");
    b.item_end().sequence_end();
    b.sequence(0x0008, 0x1140).item().item_end().sequence_end();
    const std::string bytes = b.bytes();
    const dcm_row_model full = loaded(bytes);
    dcm_row_model rows = loaded(bytes);
    const std::size_t later = full.size() - 4;
    ASSERT_TRUE(rows.records()[later].container);

    rows.collapse(later);
    EXPECT_EQ(rows.collapse(1), 10000u);
    EXPECT_EQ(rows.collapsed(), (std::set<int>{1, int(later - 10000)}));
    EXPECT_EQ(rows.expand(1, {bytes.data(), bytes.data() + bytes.size()}), 10000u);
    expect_matches(rows, model(full, {full.records()[later].offset}));
}

// ------------------------------------------------- the file changed meanwhile

class ChangedFile : public ::testing::Test {
protected:
    void SetUp() override {
        bytes = nested_file(false);
        full = loaded(bytes);
        rows = loaded(bytes);
        while (!rows.records()[sequence].container) ++sequence;
        rows.collapse(sequence);
        collapsed_size = rows.size();
    }

    std::string bytes;
    dcm_row_model full;
    dcm_row_model rows;
    std::size_t sequence = 0;
    std::size_t collapsed_size = 0;
};

TEST_F(ChangedFile, AVanishedFileInsertsNothingAndALaterExpandTriesAgain) {
    EXPECT_EQ(rows.expand(sequence, {nullptr, nullptr}), 0u);
    EXPECT_EQ(rows.size(), collapsed_size);
    EXPECT_FALSE(rows.is_collapsed(sequence));
    expect_consistent(rows);

    EXPECT_EQ(rows.collapse(sequence), 0u);  // nothing is nested any more
    EXPECT_TRUE(rows.is_collapsed(sequence));
    rows.expand(sequence, {bytes.data(), bytes.data() + bytes.size()});  // the file is back
    expect_matches(rows, model(full, {}));
}

TEST_F(ChangedFile, AShrunkFileGivesOnlyTheRowsThatStillExist) {
    const std::size_t cut = full.records()[sequence + 4].offset;
    const std::size_t added = rows.expand(sequence, {bytes.data(), bytes.data() + cut});
    EXPECT_EQ(added, 3u);  // the item, its first element, and the header before the cut
    for (std::size_t i = sequence + 1; i <= sequence + added; ++i) {
        const dcm_record& c = rows.records()[i];
        EXPECT_LE(std::uint64_t(c.offset) + c.header_length, cut) << "row " << i;
    }
    expect_consistent(rows);
    EXPECT_EQ(rows.collapse(sequence), added);  // exactly what came in goes again
    EXPECT_EQ(rows.size(), collapsed_size);
}

TEST_F(ChangedFile, AnotherElementAtTheOffsetInsertsNothing) {
    std::string changed = bytes;
    changed[rows.records()[sequence].offset + 4] = 'L';  // "SQ" becomes "LQ"
    EXPECT_EQ(rows.expand(sequence, {changed.data(), changed.data() + changed.size()}), 0u);
    EXPECT_EQ(rows.size(), collapsed_size);
    expect_consistent(rows);
}

TEST_F(ChangedFile, NewContentIsListedAndItsNewContainersToggle) {
    // The sequence's first item now holds a sequence where a UI element was: the
    // same bytes up to there, then a nested container the load never saw.
    const std::uint64_t at = full.records()[sequence + 2].offset;
    dicom_builder inserted;
    inserted.sequence(0x0008, 0x1199).item().explicit_element(0x0008, 0x1150, "UI", "12");
    inserted.item_end().sequence_end();
    std::string changed = bytes.substr(0, at) + inserted.bytes() + bytes.substr(at);

    const std::size_t added =
        rows.expand(sequence, {changed.data(), changed.data() + changed.size()});
    EXPECT_GT(added, nested_offsets(full, full.records()[sequence].offset).size());
    expect_consistent(rows);
    const std::size_t fresh = sequence + 2;
    ASSERT_TRUE(rows.records()[fresh].container);
    EXPECT_EQ(rows.collapse(fresh), 4u);
    EXPECT_EQ(rows.expand(fresh, {changed.data(), changed.data() + changed.size()}), 4u);
    expect_consistent(rows);
    EXPECT_EQ(rows.collapse(sequence), added);
    EXPECT_EQ(rows.size(), collapsed_size);
}

TEST(Load, NoMarkerNoFileOrAnEmptyPathGiveNoRows) {
    dicom_builder b;
    b.raw(std::string(128, '\0')).raw("DICX").explicit_element(0x0008, 0x0060, "CS", "MR");
    dcm_row_model rows = loaded(nested_file(false));
    rows.collapse(2);
    rows.load({b.bytes().data(), b.bytes().data() + b.size()});
    EXPECT_EQ(rows.size(), 0u);
    EXPECT_TRUE(rows.collapsed().empty());
    rows.load({nullptr, nullptr});
    EXPECT_EQ(rows.size(), 0u);
    EXPECT_EQ(rows.walk_result().status, dcm_walk_status::not_part10);
    rows.load_file("/nonexistent/velk/file.dcm");
    EXPECT_EQ(rows.size(), 0u);
    EXPECT_EQ(rows.load_facts().open, dcm_open_failure::not_found);
    rows.load_file("");
    EXPECT_EQ(rows.size(), 0u);
}

// What the status bar reads of a load: the syntax, the size, and where a cut
// file's walk stopped. A fold keeps them.
TEST(Load, KeepsTheSyntaxTheSizeAndWhereTheWalkStopped) {
    const std::string whole = nested_file(false);
    dcm_row_model rows = loaded(whole);
    EXPECT_EQ(rows.load_facts().transfer_syntax, test::explicit_le_uid());
    EXPECT_EQ(rows.load_facts().file_size, whole.size());
    EXPECT_TRUE(rows.walk_result().complete());

    const std::string cut = whole.substr(0, whole.size() - 1);
    rows.load({cut.data(), cut.data() + cut.size()});
    rows.collapse(2);
    EXPECT_FALSE(rows.walk_result().complete());
    EXPECT_LT(rows.walk_result().offset, cut.size());
    EXPECT_EQ(rows.load_facts().file_size, cut.size());
    EXPECT_EQ(rows.load_facts().transfer_syntax, test::explicit_le_uid());
}

// The rows a filter shows: those listed, up to the first past the end, with the
// load's facts and nothing collapsed.
TEST(Load, OnlyTheListedRowsKeepTheLoadsFacts) {
    const std::string whole = nested_file(false);
    dcm_row_model rows = loaded(whole);
    rows.collapse(2);
    const dcm_row_model kept = rows.only_rows({0, 2, 99, 1});
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept.record(1).offset, rows.record(2).offset);
    EXPECT_TRUE(kept.collapsed().empty());
    EXPECT_EQ(kept.load_facts().file_size, whole.size());
    EXPECT_EQ(kept.reading().kind(), rows.reading().kind());
}

}  // namespace

}  // namespace velk

namespace velk {

// View > Interpret lists the file anew: the containers the user collapsed are
// collapsed again, those left open stay open, whatever rows the other reading has.
TEST(CollapsedContainers, FoldAgainInTheOtherReading) {
    dicom_builder b;  // rows 1-5: a sequence; 6-14: a sequence whose item holds the sequence at 8
    b.preamble().explicit_element(0x0008, 0x0060, "CS", "MR").sequence(0x0008, 0x1140).item();
    b.explicit_element(0x0008, 0x1150, "UI", "1.2")
        .item_end()
        .sequence_end()
        .sequence(0x0040, 0xA730)
        .item();
    b.sequence(0x0040, 0xA043).item().explicit_element(0x0010, 0x0010, "PN", "Doe^J ").item_end();
    b.sequence_end().item_end().sequence_end();
    const std::string bytes = b.bytes();
    const dcm_bytes file{bytes.data(), bytes.data() + bytes.size()};
    dcm_row_model standard(dcm_reading::standard);
    standard.load(file);
    standard.collapse(8);  // the inner sequence first, then the first sequence above it
    standard.collapse(1);

    dcm_row_model interpret(dcm_reading::interpret);
    interpret.load(file);
    CollapseAgain(interpret, CollapsedContainers(standard));
    EXPECT_EQ(interpret.collapsed(), (std::set<int>{1, 4}));
    EXPECT_EQ(interpret.size(), standard.size());
}

}  // namespace velk
