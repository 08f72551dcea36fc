// The blocks in use in every heap of the process and their bytes: a leak of
// small allocations shows there long before it shows in the private bytes.
#pragma once

#include <windows.h>

#include <iterator>

namespace velk {

namespace test {

struct HeapInUse {
    long blocks = 0;
    double bytes = 0;
};

inline HeapInUse CountHeapInUse() {
    HeapInUse in_use;
    HANDLE heaps[256];
    const DWORD count = ::GetProcessHeaps(DWORD(std::size(heaps)), heaps);
    for (DWORD i = 0; i < count && i < std::size(heaps); ++i) {
        if (!::HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (::HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                ++in_use.blocks;
                in_use.bytes += double(entry.cbData);
            }
        ::HeapUnlock(heaps[i]);
    }
    return in_use;
}

}  // namespace test

}  // namespace velk
