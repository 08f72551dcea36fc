#include "allocation_meter.h"

#include <cstdlib>
#include <new>

namespace {

std::size_t largest_request = 0;
std::size_t total_requested = 0;
std::size_t refused_size = 0;  // 0: none refused

void* allocate(std::size_t n) noexcept {
    if (n > largest_request) largest_request = n;
    total_requested += n;
    if (refused_size && n >= refused_size) return nullptr;
    return std::malloc(n ? n : 1);
}

void* allocate_or_throw(std::size_t n) {
    if (void* p = allocate(n)) return p;
    throw std::bad_alloc();
}

}  // namespace

namespace allocation_meter {

void restart() {
    largest_request = 0;
    total_requested = 0;
}

std::size_t largest() { return largest_request; }

std::size_t total() { return total_requested; }

void refuse_from(std::size_t bytes) { refused_size = bytes; }

}  // namespace allocation_meter

// Every replaceable form that is not over-aligned, so that each pointer is freed
// by the allocator that made it.
void* operator new(std::size_t n) { return allocate_or_throw(n); }
void* operator new[](std::size_t n) { return allocate_or_throw(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return allocate(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return allocate(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
