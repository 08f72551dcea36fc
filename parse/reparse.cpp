#include "parse/reparse.h"

#include <algorithm>
#include <cstring>

#include "parse/file.h"
#include "parse/parser.h"

namespace velk {

dcm_tracking_insert::dcm_tracking_insert(dcm_cursor_vector& cursors, int depth, const void* base,
                                         bool recurse,
                                         std::vector<dcm_container_context>& contexts,
                                         std::vector<std::uint32_t>* levels)
    : dcm_cursor_appender(std::back_inserter(cursors), depth, base),
      m_contexts(contexts),
      m_levels(levels),
      m_recurse{recurse} {}

bool dcm_tracking_insert::enter(const void* value, std::uint32_t length, std::uint32_t tag,
                                dcm_syntax mode) {
    const bool level_recurse = m_recurse.back();
    m_contexts.push_back({current.offset, static_cast<std::uint32_t>(depth),
                          static_cast<std::uint8_t>(mode), level_recurse});
    m_recurse.push_back(level_recurse && !dcm_is_opaque_vr(current.vr));
    return dcm_cursor_appender::enter(value, length, tag, mode);
}

bool dcm_tracking_insert::leave(std::uint32_t consumed) {
    if (m_recurse.size() > 1) m_recurse.pop_back();
    return dcm_cursor_appender::leave(consumed);
}

dcm_visit dcm_tracking_insert::element(const void* start, dcm_syntax mode, std::uint32_t tag, const char* vr,
                                 bool container, const void* value, std::uint32_t length) {
    if (m_levels) m_levels->push_back(static_cast<std::uint32_t>(depth));
    return dcm_cursor_appender::element(start, mode, tag, vr, container, value, length);
}

const dcm_container_context* dcm_find_context(const std::vector<dcm_container_context>& contexts,
                                              std::uint32_t offset) {
    auto it = std::lower_bound(
        contexts.begin(), contexts.end(), offset,
        [](const dcm_container_context& c, std::uint32_t o) { return c.offset < o; });
    return it != contexts.end() && it->offset == offset ? &*it : nullptr;
}

namespace {

// Stops the walk at once unless its first element is the expected container.
class checked_reparse : public dcm_tracking_insert {
public:
    checked_reparse(dcm_cursor_vector& cursors, const void* base, const dcm_cursor& row,
                    const dcm_container_context& context,
                    std::vector<dcm_container_context>& contexts,
                    std::vector<std::uint32_t>* levels)
        : dcm_tracking_insert(cursors, static_cast<int>(context.level), base, context.recurse,
                              contexts, levels),
          m_row(row) {}

    dcm_visit element(const void* start, dcm_syntax mode, std::uint32_t tag, const char* vr, bool container,
                const void* value, std::uint32_t length) override {
        if (!m_checked) {
            m_checked = true;
            const char none[2] = {0, 0};
            const char* actual = vr ? vr : none;
            m_matched = container && length == m_row.length &&
                        std::memcmp(actual, m_row.vr, 2) == 0;
            if (!m_matched) return visit_stop;
        }
        return dcm_tracking_insert::element(start, mode, tag, vr, container, value, length);
    }

    bool matched() const { return m_matched; }

private:
    const dcm_cursor& m_row;
    bool m_checked = false;
    bool m_matched = false;
};

}  // namespace

dcm_cursor_vector dcm_reparse_container(const char* begin, const char* end, const dcm_cursor& row,
                                        const dcm_container_context& context,
                                        std::vector<std::uint32_t>* levels,
                                        std::vector<dcm_container_context>* contexts) {
    dcm_cursor_vector cursors;
    if (!begin || !row.container) return cursors;
    const char* last = dcm_walk_end(begin, end);
    if (row.offset > dcm_bytes_left(begin, last)) return cursors;

    std::vector<dcm_container_context> nested;
    checked_reparse visitor(cursors, begin, row, context, contexts ? *contexts : nested,
                            levels);
    dcm_parse(begin + row.offset, row.length, visitor, context.recurse,
              static_cast<dcm_syntax>(context.mode), true, last,
              context.level);
    if (!visitor.matched()) cursors.clear();
    return cursors;
}

}  // namespace velk
