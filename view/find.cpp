#include "view/find.h"

namespace velk {

dcm_find_order::dcm_find_order(int row_count, int mark, bool down)
    : m_count(row_count > 0 ? row_count : 0), m_start(0), m_down(down) {
    if (mark != -1) m_start = down ? std::int64_t(mark) + 1 : std::int64_t(mark) - 1;
}

int dcm_find_order::row(int i) const {
    if (m_count == 0) return -1;
    const std::int64_t step = m_down ? std::int64_t(i) : -std::int64_t(i);
    // A true modulo: the start may lie before row 0 (upward from mark 0) or past
    // the last row (a mark the list left beyond a shrunken count).
    std::int64_t r = (m_start + step) % m_count;
    if (r < 0) r += m_count;
    return int(r);
}

}  // namespace velk
