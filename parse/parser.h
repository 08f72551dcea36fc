// The element stream parser: walks a stream of data elements, reports each one to
// a visitor and descends into sequences, items and undefined-length values
// (PS3.5 section 7.5).
//
// Soundness on hostile input, on top of the walk itself:
// - `end` bounds every read. A header that does not fit ends its level. A value
//   that runs past end is reported with its declared length and the walk steps
//   to end, so every enclosing level ends there too.
// - Every element consumes at least its 8-byte header, so a walk is linear in the
//   bytes it is given and no input loops.
// - Nesting is guarded (dcm_max_nesting), and undefined-length values that are
//   stepped over are measured by an iterative scan, so neither path can exhaust
//   the stack.
#pragma once

#include <algorithm>
#include <cstdint>

#include "parse/header.h"
#include "parse/measure.h"
#include "parse/record.h"
#include "parse/visitor.h"

namespace velk {

// Containers at this nesting level and deeper are reported as plain elements and
// stepped over rather than descended into. Real files nest a few levels; deep
// structured reports reach a few dozen. 128 levels keeps that margin while one
// level costs a few hundred bytes of stack, far below a thread's stack.
constexpr unsigned dcm_max_nesting = 128;
static_assert(dcm_max_nesting < 256, "a record's level holds every level the walk reaches");

// The length a walk of a whole data set is given: it ends where the bytes do.
constexpr std::uint64_t dcm_to_the_end = UINT64_MAX;

// Where a walk first fell short, kept as it happens: the walk itself knows what
// it could not read, so nobody re-derives it afterwards.
struct dcm_walk_log {
    const char* base;  // the file's first byte, from which offsets count
    dcm_walk_result result;

    void note(dcm_walk_status status, std::uint32_t tag, const void* at) {
        if (result.status != dcm_walk_status::complete) return;
        result.status = status;
        result.tag = tag;
        result.offset = static_cast<std::uint64_t>(static_cast<const char*>(at) - base);
    }

    // Notes an element that starts where a record's offset cannot reach; true
    // then, and the walk ends there at every level, as every later element
    // starts further on.
    bool past_offset_limit(std::uint32_t tag, const void* at) {
        if (static_cast<std::uint64_t>(static_cast<const char*>(at) - base) <
            dcm_record_offset_limit)
            return false;
        note(dcm_walk_status::offset_too_large, tag, at);
        return true;
    }
};

// The container decision of one element at a level with the given recurse flag.
template <class Ptr>
bool dcm_is_container(const dcm_header<Ptr>& h, bool recurse, unsigned level) {
    if (level >= dcm_max_nesting) return false;
    if (h.length == undefined_length) return true;
    const bool nestable = dcm_vr_is(h.vr, "SQ") || h.tag == tag_item;
    return nestable && recurse && h.length != 0;
}

// A header that did not fit with bytes left: the file ends inside it. With no
// bytes left the shortfall is the enclosing value's, noted where it was declared.
template <class Ptr>
void dcm_note_cut(Ptr p, Ptr end, dcm_walk_log& log,
                  dcm_byte_order order = dcm_byte_order::little) {
    const std::uint64_t left = dcm_bytes_left(p, end);
    if (left == 0) return;
    std::uint32_t tag = 0;
    if (left >= 4) tag = dcm_load_tag(&*p, order);
    log.note(dcm_walk_status::header_cut, tag, &*p);
}

template <class Ptr>
void dcm_note_element(const dcm_header<Ptr>& h, bool container, bool recurse, unsigned level,
                      std::uint64_t level_length, Ptr end, dcm_walk_log& log) {
    if (dcm_is_delimiter(h.tag)) {
        if (level_length != undefined_length)
            log.note(dcm_walk_status::stray_delimiter, h.tag, &*h.start);
        return;
    }
    if (h.length != undefined_length && !dcm_fits(h.value, end, h.length))
        log.note(dcm_walk_status::value_past_end, h.tag, &*h.start);
    if (!container && level >= dcm_max_nesting && dcm_is_container(h, recurse, 0))
        log.note(dcm_walk_status::nesting_too_deep, h.tag, &*h.start);
}

// An undefined-length value whose walk took it to the end of the bytes without a
// delimiter as its last element.
template <class Ptr>
void dcm_note_undelimited(const dcm_header<Ptr>& h, std::uint64_t walked, Ptr end,
                          dcm_walk_log& log) {
    if (h.length != undefined_length || dcm_bytes_left(h.value + walked, end) != 0) return;
    if (walked >= 8) {
        const auto* last = &*h.value + (walked - 8);
        const std::uint32_t tag = dcm_load_tag(last, dcm_byte_order::little);
        if (dcm_is_delimiter(tag)) return;
    }
    log.note(dcm_walk_status::missing_delimiter, h.tag, &*h.start);
}

// Walks `length` bytes from `data` (or, for undefined_length, up to the first
// delimiter at this level; for dcm_to_the_end, up to `end`), never reading at or
// past `end`. `level` is the nesting level of `data`, 0 for a file's data set.
// Returns the bytes consumed at this level. Throws nothing of its own; a visitor's exception passes
// through.
template <class Ptr, class Visitor>
std::uint64_t dcm_parse(Ptr data, std::uint64_t length, Visitor& visitor, bool recurse,
                        dcm_syntax mode, bool stop_after_one, Ptr end, unsigned level = 0,
                        dcm_walk_log* log = nullptr) {
    std::uint64_t consumed = 0;
    // An undefined-length value may hold more than 4 GiB: its delimiter or the
    // end of the bytes ends it, never a count.
    const std::uint64_t limit = length == undefined_length ? dcm_to_the_end : length;
    Ptr p = data;
    while (consumed < limit) {
        dcm_header<Ptr> h;
        if (!dcm_decode_header(p, end, mode, h, consumed)) {
            if (log) dcm_note_cut(p, end, *log);
            break;
        }
        if (log && log->past_offset_limit(h.tag, &*h.start)) return consumed;
        const bool container = dcm_is_container(h, recurse, level);
        if (log) dcm_note_element(h, container, recurse, level, length, end, *log);
        const dcm_visit answer = visitor.element(
            &*h.start, mode, h.tag, h.explicit_vr ? h.vr : nullptr, container, &*h.value, h.length);
        // A delimiter's value is never stepped over, even when its length is not 0.
        if (answer == visit_stop || dcm_is_delimiter(h.tag)) return consumed;

        std::uint64_t step;
        if (container && answer == visit_descend) {
            visitor.enter(&*h.value, h.length, h.tag, mode);
            const bool nested_recurse = recurse && !dcm_is_opaque_vr(h.vr);
            const std::uint64_t n = dcm_parse(h.value, h.length, visitor, nested_recurse, mode,
                                              false, end, level + 1, log);
            visitor.leave(n);
            if (log) dcm_note_undelimited(h, n, end, *log);
            if (stop_after_one) return consumed;
            step = n;
        } else if (h.length == undefined_length) {
            step = dcm_measure_undefined(h.value, mode, end);
        } else {
            step = h.length;
        }
        // A value that runs past the end takes the walk to the end: nothing after it
        // exists, and the enclosing levels then end too.
        step = std::min<std::uint64_t>(step, dcm_bytes_left(h.value, end));
        p = h.value + step;
        consumed += step;
    }
    return consumed;
}

}  // namespace velk
