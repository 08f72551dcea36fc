// The file the element list is measured on: `rows` elements in all, mostly
// plain, one tenth of them in small sequences, and in the middle one sequence
// whose single item holds `big` nested rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "dicom_builder.h"

namespace velk {

struct view_bench_file {
    std::string bytes;
    std::size_t big_row = 0;           // the row of the big sequence
    std::size_t small_containers = 0;  // small sequences after it
};

inline view_bench_file make_view_bench_file(std::size_t rows = 100000, std::size_t big = 10000) {
    view_bench_file f;
    test::dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    std::size_t made = 1;
    // Ten rows at a time: ten plain elements, or (every tenth time) a sequence
    // holding one item of six elements.
    auto ten_rows = [&](std::size_t group) {
        if (group % 10 == 0) {
            b.sequence(0x0008, 0x1140).item();
            for (int i = 0; i < 6; ++i)
                b.explicit_element(0x0008, std::uint16_t(0x1150 + i), "UI", "1.2.3.4");
            b.item_end().sequence_end();
            if (f.big_row) ++f.small_containers;
        } else {
            for (int i = 0; i < 10; ++i)
                b.explicit_element(0x0020, std::uint16_t(0x0010 + i), "DS", "1.25");
        }
        made += 10;
    };
    std::size_t group = 0;
    while (made + 10 <= rows / 2) ten_rows(group++);
    f.big_row = made;
    b.sequence(0x0040, 0xA730).item();
    for (std::size_t i = 0; i + 3 < big; ++i)
        b.explicit_element(0x0040, 0xA160, "LT", "a nested text value");
    b.item_end().sequence_end();
    made += big + 1;
    while (made + 10 <= rows) ten_rows(group++);
    while (made < rows) {
        b.explicit_element(0x0010, 0x0010, "PN", "Doe^John");
        ++made;
    }
    f.bytes = b.bytes();
    return f;
}

}  // namespace velk
