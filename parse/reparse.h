// Re-parsing one container on its own, as the list does when it expands a
// collapsed row. A cursor records neither the syntax mode nor the true nesting
// level, and both decide what a walk yields: the data set of an implicit VR file
// is implicit while every walk starts explicit, and the nesting guard counts
// levels from the top. So a load also keeps, for each container it descends
// into, the context needed to walk it again exactly as the load did.
#pragma once

#include <cstdint>
#include <iterator>
#include <vector>

#include "parse/cursor.h"
#include "parse/header.h"

namespace velk {

struct dcm_container_context {
    std::uint32_t offset;  // file offset of the container element
    std::uint32_t level;   // its nesting level, not reduced modulo 16
    std::uint8_t mode;     // syntax mode in force when it was met
    bool recurse;          // whether its level descends into sequences and items
};

using dcm_cursor_vector = std::vector<dcm_cursor>;
using dcm_cursor_appender = dcm_cursor_insert<std::back_insert_iterator<dcm_cursor_vector>>;

// The collecting visitor, which also records each container's context and,
// when asked, each element's true nesting level.
class dcm_tracking_insert : public dcm_cursor_appender {
public:
    dcm_tracking_insert(dcm_cursor_vector& cursors, int depth, const void* base, bool recurse,
                        std::vector<dcm_container_context>& contexts,
                        std::vector<std::uint32_t>* levels = nullptr);

    bool enter(const void* value, std::uint32_t length, std::uint32_t tag, dcm_syntax mode) override;
    bool leave(std::uint32_t consumed) override;
    dcm_visit element(const void* start, dcm_syntax mode, std::uint32_t tag, const char* vr, bool container,
                const void* value, std::uint32_t length) override;

private:
    std::vector<dcm_container_context>& m_contexts;
    std::vector<std::uint32_t>* m_levels;
    std::vector<bool> m_recurse;  // one flag per open level; bounded by the nesting guard
};

// The context recorded for the container at `offset`, or null. `contexts` is in
// file order, as a load records it.
const dcm_container_context* dcm_find_context(const std::vector<dcm_container_context>& contexts,
                                              std::uint32_t offset);

// Walks the container `row` of the file [begin, end) again with its recorded
// context. Returns the element itself followed by everything nested in it, in
// file order, with the depths the load gave them; `levels` and `contexts`, when
// given, are appended the true levels and the contexts of nested containers.
// Returns nothing when the bytes at the row's offset no longer hold that
// container (the file changed since the load).
dcm_cursor_vector dcm_reparse_container(const char* begin, const char* end, const dcm_cursor& row,
                                        const dcm_container_context& context,
                                        std::vector<std::uint32_t>* levels = nullptr,
                                        std::vector<dcm_container_context>* contexts = nullptr);

}  // namespace velk
