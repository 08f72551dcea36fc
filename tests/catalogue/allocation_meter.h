// Measures the heap requests of a stretch of code, so that a test can show that
// no allocation is sized by a length the file declares. Linking allocation_meter.cpp
// replaces the program's operator new and delete; single-threaded use only.
#pragma once

#include <cstddef>

namespace allocation_meter {

// Forgets what was measured so far.
void restart();

// The largest single request since the restart, in bytes.
std::size_t largest();

// The sum of all requests since the restart, in bytes.
std::size_t total();

// From now on every request of `bytes` or more fails as an exhausted heap
// fails; 0 lets every request through again.
void refuse_from(std::size_t bytes);

}  // namespace allocation_meter
